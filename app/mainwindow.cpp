// Construction, wiring, initial state, page switching and window events.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/importkeeper.h"
#include "data/receivethread.h"
#include "link/transport.h"
#include "link/winusbmanager.h"

// [series-pages-language]

// [stored-data]

// [result-pages]
#include "app/resultpage.h"

// [settings-exports]

// [insight]

// [infra]

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QSizePolicy>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QThread>
#include <QTimer>

#include <iterator>
#include <utility>

namespace {

const char* const kToolBarSpacerName = "toolBarPageSpacer";

// Moves every row with its items (texts, alignment, stored ids) in order; the
// empty cells of a damaged stored record stay empty.
void takeRowsOver(QStandardItemModel& from, QStandardItemModel& to)
{
    QList<QList<QStandardItem*>> rows;
    while (from.rowCount() > 0)
        rows.prepend(from.takeRow(from.rowCount() - 1));
    for (const QList<QStandardItem*>& row : rows)
        to.appendRow(row);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : MainWindow([] { return new WinUSBManager; }, WindowTiming(), parent)
{
}

MainWindow::MainWindow(std::unique_ptr<transport::Transport> transport, const LinkTiming& linkTiming,
                       const WindowTiming& windowTiming, QWidget* parent)
    : MainWindow([&] { return new WinUSBManager(std::move(transport), linkTiming); }, windowTiming,
                 parent)
{
}

MainWindow::MainWindow(const std::function<WinUSBManager*()>& makeManager,
                       const WindowTiming& windowTiming, QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::MainWindow),
      sampleInterval(windowTiming.sampleIntervalMs),
      pageSwitchPauseMs(windowTiming.pageSwitchPauseMs),
      keyLockPauseMs(windowTiming.keyLockPauseMs),
      countdownTickMs(windowTiming.countdownTickMs),
      importRefreshMs(windowTiming.importRefreshMs)
{
    ui->setupUi(this);
    createResultPages();
    initUi();
    openResultStore();
    setUpInsight();
    ui->stackedWidget->setCurrentIndex(kDcPage);
    ui->actionDc_resistance_test->setChecked(true);

    realTimeTimer = new QTimer(this);
    countdownTimer = new QTimer(this);
    realTimeTimer->setObjectName(QStringLiteral("realTimeTimer"));
    countdownTimer->setObjectName(QStringLiteral("countdownTimer"));

    usbThread = new QThread;
    usbManager = makeManager();
    usbManager->moveToThread(usbThread);

    receiveThread = new QThread;
    receiver = new ReceiveThread;
    receiver->moveToThread(receiveThread);

    connect(usbThread, &QThread::finished, usbThread, &QObject::deleteLater);
    connect(receiveThread, &QThread::finished, receiveThread, &QObject::deleteLater);
    connect(this, &MainWindow::detectDeviceSignal, usbManager, &WinUSBManager::detectDevice);
    connect(usbManager, &WinUSBManager::detectedDeviceSignal, this, &MainWindow::detectedDeviceSlot);
    connect(this, &MainWindow::connectUsbSignal, usbManager, &WinUSBManager::connectUsb);
    connect(usbManager, &WinUSBManager::finishUsbDetection, this, &MainWindow::usbStatus);
    connect(usbManager, &WinUSBManager::upperSwitchOnSignal, this, &MainWindow::upperSwitchOnSlot);
    connect(this, &MainWindow::disConnectSignal, usbManager, &WinUSBManager::disConnect);
    connect(realTimeTimer, &QTimer::timeout, this, &MainWindow::queuePoll);
    connect(this, &MainWindow::changeReadTypeSignal, usbManager, &WinUSBManager::changeReadType);
    connect(usbManager, &WinUSBManager::finishReadRealTime, receiver, &ReceiveThread::parseRealTimeData);
    connect(receiver, &ReceiveThread::finishReadRealTimeData, this, &MainWindow::showRealTimeData);
    connect(this, &MainWindow::startReadStoreTotalNum, usbManager, &WinUSBManager::readStoreTotalNum);
    connect(usbManager, &WinUSBManager::finishReadStorageNumSignal, this, &MainWindow::showReadBackStorageNum);
    connect(this, &MainWindow::startReadReadBackData, usbManager, &WinUSBManager::readReadBackData);
    connect(usbManager, &WinUSBManager::finishReadReadBack, receiver, &ReceiveThread::parseReadBackData);
    connect(receiver, &ReceiveThread::finishReadReadBackData, this, &MainWindow::showReadBackData);
    connect(usbManager, &WinUSBManager::readBackEnded, receiver, &ReceiveThread::endReadBack);
    connect(receiver, &ReceiveThread::readBackEnded, this, &MainWindow::readOutEnded);
    connect(usbManager, &WinUSBManager::stateProcessing, this, &MainWindow::stateProcessingSlot);
    connect(receiver, &ReceiveThread::stateProcessing, this, &MainWindow::stateProcessingSlot);
    connect(this, &MainWindow::startTestingSignal, usbManager, &WinUSBManager::startTesting);
    connect(this, &MainWindow::stopTestingSignal, usbManager, &WinUSBManager::stopTesting);
    connect(this, &MainWindow::updateTestSettingSignal, usbManager, &WinUSBManager::updateTestSetting);
    connect(this, &MainWindow::cancelUiUpdateSignal, usbManager, &WinUSBManager::cancelUiUpdate);
    connect(this, &MainWindow::keyLockSignal, usbManager, &WinUSBManager::keyLock);
    connect(this, &MainWindow::keyUnlockSignal, usbManager, &WinUSBManager::keyUnlock);
    connect(this, &MainWindow::stopCirculationSignal, usbManager, &WinUSBManager::stopCirculation);
    connect(this, &MainWindow::informUpperOpenSignal, usbManager, &WinUSBManager::informUpperOpen);

    // [series-pages-language]

    // [stored-data]

    // [result-pages]

    // [settings-exports]

    // [insight]

    // [infra]

}

MainWindow::~MainWindow()
{
    if (keeperOfImports)
        keeperOfImports->flush();
    // The link's thread ends after the requests already queued to it (the
    // upper close and key unlock of an import ended on closing).
    if (usbThread && usbThread->isRunning())
        QMetaObject::invokeMethod(usbManager, [thread = usbThread] { thread->quit(); }, Qt::QueuedConnection);
    for (QThread* thread : {usbThread, receiveThread}) {
        if (!thread)
            continue;
        if (thread != usbThread)
            thread->quit();
        thread->wait();
        delete thread;
    }
    delete usbManager;
    delete receiver;
    discardPendingStoredRows();
    delete ui;
}

void MainWindow::initUi()
{
    setWindowTitle(tr("10A 直流电阻测试仪"));
    addPageButtonsToToolBar();
    createLanguageMenu();
    createHistoryAction();

    setSettingWidgetsEnabled(false);
    setDataActionsEnabled(false);
    setPageActionsEnabled(true);
    ui->actionStorage->setEnabled(true);
    ui->pushButton_Change->setEnabled(false);
    ui->pushButton_Test->setEnabled(false);
    ui->pushButton_Change_2->setEnabled(false);
    ui->pushButton_Test_2->setEnabled(false);

    setLabelTexts();

    const QString blank = QStringLiteral(" ");
    ui->spinBox_ConductorNoValue_3->setSpecialValueText(blank);
    ui->doubleSpinBox_ConductorTempValue_3->setSpecialValueText(blank);
    ui->spinBox_TappingValue_3->setSpecialValueText(blank);
    ui->spinBox_ConductorNoValue_4->setSpecialValueText(blank);
    ui->spinBox_SampleNoValue_4->setSpecialValueText(blank);
    ui->doubleSpinBox_StandardValue_4->setSpecialValueText(blank);

    createTableModels();

    ui->progressBar->setValue(0);
    ui->textEdit_Remark->clear();
    ui->textEdit_Remark_2->clear();
    ui->statusbar->clearMessage();
}

// The three page buttons sit at the right end of the tool bar, behind one
// expanding spacer. Adding an action the bar already holds moves it to the
// end, so repeated calls keep the arrangement; the spacer is made only once.
void MainWindow::addPageButtonsToToolBar()
{
    if (!ui->toolBar->findChild<QWidget*>(QLatin1String(kToolBarSpacerName))) {
        auto* spacer = new QWidget(ui->toolBar);
        spacer->setObjectName(QLatin1String(kToolBarSpacerName));
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        ui->toolBar->addWidget(spacer);
    }
    ui->toolBar->addAction(ui->actionDc_resistance_test);
    ui->toolBar->addAction(ui->actionConductor_length_test);
    ui->toolBar->addAction(ui->actionStorage);
}

void MainWindow::setLabelTexts()
{
    dcPage->setCaptions();
    lengthPage->setCaptions();
}

// Every call gives the three views new models with headers in the language
// now in force. The rows move over from the replaced models, which are freed:
// a language change keeps every result and every imported record.
void MainWindow::createTableModels()
{
    QStandardItemModel* const replaced[] = {resTestModel, lengthTestModel, storedModel};
    createResultModels();
    createStoredModel();
    QStandardItemModel* const fresh[] = {resTestModel, lengthTestModel, storedModel};
    for (std::size_t i = 0; i < std::size(fresh); ++i) {
        if (!replaced[i])
            continue;
        takeRowsOver(*replaced[i], *fresh[i]);
        replaced[i]->deleteLater();
    }
    followResultModels();
}

void MainWindow::setSettingWidgetsEnabled(bool e)
{
    dcPage->setSettingWidgetsEnabled(e);
    lengthPage->setSettingWidgetsEnabled(e);
}

void MainWindow::clearDisplayedValues()
{
    dcPage->clearValues();
    lengthPage->clearValues();
}

void MainWindow::setDataActionsEnabled(bool e)
{
    ui->actionImport_storage->setEnabled(e);
    ui->actionExportToExcel->setEnabled(e);
    ui->actionExportToPDF->setEnabled(e);
    ui->actionAutomatic_measurement->setEnabled(e);
}

void MainWindow::setPageActionsEnabled(bool e)
{
    ui->actionDc_resistance_test->setEnabled(e);
    ui->actionConductor_length_test->setEnabled(e);
}

void MainWindow::setLanguageMenuEnabled(bool e)
{
    ui->menuLanguage->setEnabled(e);
}

void MainWindow::lockActionsForAutoTest()
{
    setPageActionsEnabled(false);
    setDataActionsEnabled(false);
    setLanguageMenuEnabled(false);
}

// --- pages -------------------------------------------------------------------

void MainWindow::on_actionDc_resistance_test_triggered()
{
    switchToTestPage(kDcPage);
}

void MainWindow::on_actionConductor_length_test_triggered()
{
    switchToTestPage(kLengthPage);
}

void MainWindow::on_actionStorage_triggered()
{
    if (pageSwitchTarget >= 0 || ui->stackedWidget->currentIndex() == kStoredPage) {
        checkPageAction(ui->stackedWidget->currentIndex());
        return;
    }
    ui->stackedWidget->setCurrentIndex(kStoredPage);
    ui->statusbar->clearMessage();
    if (isConnected) {
        ui->actionImport_storage->setEnabled(true);
        ui->actionExportToExcel->setEnabled(true);
        ui->actionExportToPDF->setEnabled(false);
        ui->actionAutomatic_measurement->setEnabled(false);
    }
}

// While connected the instrument is told about the new page: the read type of
// that page, one on-demand reading with it, then polling again. The steps are
// spaced by pageSwitchPauseMs. A switch in progress ignores further page
// choices, as a blocking switch would have made them wait.
void MainWindow::switchToTestPage(int index)
{
    if (pageSwitchTarget >= 0 || ui->stackedWidget->currentIndex() == index) {
        checkPageAction(ui->stackedWidget->currentIndex());
        return;
    }
    if (!isConnected) {
        finishPageSwitch(index);
        return;
    }
    pageSwitchTarget = index;
    checkPageAction(ui->stackedWidget->currentIndex());
    endImport();
    continuePageSwitch(index, 1, ++pageSwitchGeneration);
}

void MainWindow::continuePageSwitch(int index, int step, std::uint64_t generation)
{
    QTimer::singleShot(pageSwitchPauseMs, this, [this, index, step, generation] {
        if (generation != pageSwitchGeneration)
            return;
        if (!isConnected) {  // the link went away meanwhile: only the page changes
            finishPageSwitch(index);
            return;
        }
        switch (step) {
        case 1:
            emit changeReadTypeSignal(index);
            continuePageSwitch(index, 2, generation);
            break;
        case 2:
            emit cancelUiUpdateSignal();
            continuePageSwitch(index, 3, generation);
            break;
        default:
            startPolling();
            ui->statusbar->clearMessage();
            setDataActionsEnabled(true);
            finishPageSwitch(index);
            break;
        }
    });
}

void MainWindow::finishPageSwitch(int index)
{
    pageSwitchTarget = -1;
    ui->stackedWidget->setCurrentIndex(index);
    checkPageAction(ui->stackedWidget->currentIndex());
    if (QPushButton* pressed = std::exchange(changePressedDuringSwitch, nullptr); pressed && isConnected)
        pressChangeButton(pressed);
}

void MainWindow::on_stackedWidget_currentChanged(int index)
{
    checkPageAction(index);
}

// The page actions are checkable without forming a group: this keeps exactly
// the action of the page on screen checked.
void MainWindow::checkPageAction(int index)
{
    if (index < kDcPage || index > kStoredPage)
        return;
    ui->actionDc_resistance_test->setChecked(index == kDcPage);
    ui->actionConductor_length_test->setChecked(index == kLengthPage);
    ui->actionStorage->setChecked(index == kStoredPage);
}

// --- window events -----------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (isConnected)
        endImport();
    QCoreApplication::quit();
    e->accept();
}

void MainWindow::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::LanguageChange:
        ui->retranslateUi(this);
        clearDisplayedValues();
        initUi();
        fillSettingComboBoxes();
        if (isConnected) {
            // The imported records stay on screen: polling, which would leave
            // their page at the next reading, restarts with a test page.
            if (ui->stackedWidget->currentIndex() == kStoredPage && !realTimeTimer->isActive())
                restoreActionsAfterImport(true);
            else
                usbStatus(true);
            ui->actionConnect->setText(tr("断开连接"));
            // initUi disabled the buttons of the not-connected window; without
            // this no test could be started until the next connect.
            setPageButtonsEnabled(true);
        }
        break;
    case QEvent::LocaleChange:
        loadLanguage(systemLanguageCode());
        break;
    default:
        QWidget::changeEvent(e);
        break;
    }
}
