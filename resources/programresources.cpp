#include "resources/programresources.h"

#include "data/receivedata.h"

#include <QMetaType>

#include <vector>

// At global namespace: Q_INIT_RESOURCE declares the initialisers it calls in
// the enclosing one.
void registerProgramResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
    qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
    qRegisterMetaType<ReceiveData>("ReceiveData");
}
