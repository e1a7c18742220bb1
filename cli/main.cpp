// resistance-tester-cli: the instrument from the command line, for test
// benches and scripts. Its messages, the instrument's texts and the link's
// follow the system's language: Chinese, or else English.

#include "cli/commands.h"
#include "cli/stopsignals.h"
#include "resources/programresources.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("resistance-tester"));
    QCoreApplication::setApplicationName(QStringLiteral("resistance-tester"));
    // The link's debug notes (pipe numbers and the like) are not for the command's user.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    registerProgramResources();
    QTranslator english;
    if (!QLocale::system().name().startsWith(QLatin1String("zh")) && english.load(QStringLiteral(":/lang_en.qm")))
        QCoreApplication::installTranslator(&english);
    cli::installStopHandlers();
    return cli::run(QCoreApplication::arguments());
}
