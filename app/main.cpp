#include "chinesefonts.h"
#include "mainwindow.h"

#include <QApplication>
#include <QMetaType>

#include <vector>

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    // The settings files go to a folder of these names (~/.local/share/resistance-tester/resistance-tester).
    QCoreApplication::setOrganizationName(QStringLiteral("resistance-tester"));
    QCoreApplication::setApplicationName(QStringLiteral("resistance-tester"));
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
    installChineseFontSubstitutes();

    MainWindow window;
    window.show();
    qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
    qRegisterMetaType<ReceiveData>("ReceiveData");
    return app.exec();
}
