#include "app/chinesefonts.h"
#include "app/mainwindow.h"
#include "resources/programresources.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before the application starts, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("resistance-tester %s\n", TESTER_VERSION);
        return 0;
    }
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    // The settings files go to a folder of these names (~/.local/share/resistance-tester/resistance-tester).
    QCoreApplication::setOrganizationName(QStringLiteral("resistance-tester"));
    QCoreApplication::setApplicationName(QStringLiteral("resistance-tester"));
    registerProgramResources();
    installChineseFontSubstitutes();

    MainWindow window;
    window.show();
    return app.exec();
}
