#include "app/windowkeys.h"
#include "ui_mainwindow.h"

#include "app/windowparts.h"

#include <QEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QTextBrowser>

namespace {

struct ActionKey {
    const char* action;
    int key;
};

// Every shortcut of the window.
const ActionKey kActionKeys[] = {
    {"actionStartStopTest", Qt::Key_F5},
    {"actionSaveTable", Qt::CTRL | Qt::Key_S},
    {"actionExportToPDF", Qt::CTRL | Qt::Key_P},
    {"actionImport_storage", Qt::CTRL | Qt::Key_I},
    {"actionHelp", Qt::Key_F1},
    {"actionQuit", Qt::CTRL | Qt::Key_Q},
};

const char* const kGuideZh = "qrc:/help/help_zh.html";
const char* const kGuideEn = "qrc:/help/help_en.html";

}  // namespace

WindowKeys::WindowKeys(QMainWindow* window, Ui::MainWindow* ui, std::function<bool()> english)
    : QObject(window), window(window), ui(ui), english(std::move(english))
{
    startStop = addAction("actionStartStopTest", [this] { startOrStopTest(); });
    ui->menuLive_data->insertAction(ui->actionExportToPDF, startStop);
    saveTable = addAction("actionSaveTable", [this] { saveShownTable(); });
    quit = addAction("actionQuit", [this] { this->window->close(); });
    ui->menuDevice->addAction(saveTable);
    ui->menuDevice->addSeparator();
    ui->menuDevice->addAction(quit);
    for (const ActionKey& key : kActionKeys)
        window->findChild<QAction*>(QLatin1String(key.action))->setShortcut(QKeySequence(key.key));
    connect(ui->actionHelp, &QAction::triggered, this, &WindowKeys::showGuide);
    connect(ui->actionAbout, &QAction::triggered, this, &WindowKeys::showAbout);
    retranslate();
    window->installEventFilter(this);
}

QAction* WindowKeys::addAction(const char* objectName, const std::function<void()>& run)
{
    auto* action = new QAction(window);
    action->setObjectName(QLatin1String(objectName));
    window->addAction(action);
    connect(action, &QAction::triggered, this, run);
    return action;
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window && event->type() == QEvent::LanguageChange)
        retranslate();
    return false;
}

void WindowKeys::retranslate()
{
    startStop->setText(tr("开始/停止测试"));
    saveTable->setText(tr("保存表格"));
    quit->setText(tr("退出"));
    if (guide) {
        guide->setSource(QUrl(QLatin1String(english() ? kGuideEn : kGuideZh)));
        guide->setWindowTitle(guide->documentTitle());
    }
}

// As a press of the test button of the page on screen, when it can be pressed.
void WindowKeys::startOrStopTest()
{
    const int page = ui->stackedWidget->currentIndex();
    if (page == kDcPage)
        ui->pushButton_Test->click();
    else if (page == kLengthPage)
        ui->pushButton_Test_2->click();
}

void WindowKeys::saveShownTable()
{
    switch (ui->stackedWidget->currentIndex()) {
    case kDcPage: ui->pushButton_save->click(); break;
    case kLengthPage: ui->pushButton_save2->click(); break;
    default: ui->actionExportToExcel->trigger(); break;
    }
}

void WindowKeys::showGuide()
{
    if (!guide) {
        guide = new QTextBrowser(window);
        guide->setObjectName(QStringLiteral("userGuide"));
        guide->setWindowFlag(Qt::Window);
        guide->setAttribute(Qt::WA_DeleteOnClose);
        guide->resize(640, 560);
        guide->setOpenExternalLinks(true);
    }
    retranslate();
    guide->show();
    guide->raise();
}

void WindowKeys::showAbout()
{
    QMessageBox::about(window, tr("关于"),
                       tr("<b>10A 直流电阻测试仪</b><br>版本 %1<br>Qt %2（运行）/ %3（编译）")
                           .arg(QStringLiteral(TESTER_VERSION), QString::fromLatin1(qVersion()),
                                QStringLiteral(QT_VERSION_STR)));
}
