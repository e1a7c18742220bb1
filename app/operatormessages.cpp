#include "app/operatormessages.h"

#include <QMessageBox>

namespace {

class WarningBoxes : public OperatorMessages {
public:
    void warn(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    }
};

}  // namespace

std::unique_ptr<OperatorMessages> makeWarningBoxes()
{
    return std::make_unique<WarningBoxes>();
}
