// Construction, wiring, initial state, page actions and window events.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "data/receivethread.h"
#include "link/transport.h"
#include "link/winusbmanager.h"

// [series-pages-language]
#include "app/pageswitcher.h"
#include <QActionGroup>

// [stored-data]
#include "app/importkeeper.h"
#include "app/resultkeeper.h"
#include "app/storedimport.h"
#include "data/storedrecordsmodel.h"

// [result-pages]
#include "app/resultpage.h"

// [settings-exports]
#include "app/fileexports.h"
#include "app/settingseditor.h"
#include <QMessageBox>

// [insight]
#include "app/insightcontroller.h"

#include <QDateTime>

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

// Moves every row with its items (texts, alignment, stored ids) in order.
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
      sampleInterval(windowTiming.sampleIntervalMs)
{
    ui->setupUi(this);
    createResultPages();
    setUpStoredData(windowTiming);
    initUi();
    resultKeeper->open(store::ResultStore::defaultPath());
    ui->stackedWidget->setCurrentIndex(kDcPage);
    ui->actionDc_resistance_test->setChecked(true);

    realTimeTimer = new QTimer(this);
    realTimeTimer->setObjectName(QStringLiteral("realTimeTimer"));

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
    setUpAutoSeries(windowTiming.countdownTickMs);
    pageSwitcher = new PageSwitcher(
        ui->stackedWidget, {ui->actionDc_resistance_test, ui->actionConductor_length_test, ui->actionStorage},
        windowTiming.pageSwitchPauseMs, [this] { return isConnected; }, this);
    connect(pageSwitcher, &PageSwitcher::switchStarting, this, &MainWindow::endImport);
    connect(pageSwitcher, &PageSwitcher::readTypeDue, this, &MainWindow::changeReadTypeSignal);
    connect(pageSwitcher, &PageSwitcher::uiUpdateCancelDue, this, &MainWindow::cancelUiUpdateSignal);
    connect(pageSwitcher, &PageSwitcher::pollingDue, this, [this] {
        startPolling();
        ui->statusbar->clearMessage();
        setDataActionsEnabled(true);
    });
    connect(pageSwitcher, &PageSwitcher::changePressDue, this, &MainWindow::pressChangeButton);

    // [stored-data]

    // [result-pages]

    // [settings-exports]
    settingsEditor = new SettingsEditor(ui, [this] { return isConnected; }, this);
    connect(settingsEditor, &SettingsEditor::settingsFrame, this, &MainWindow::updateTestSettingSignal);
    connect(settingsEditor, &SettingsEditor::statusMessage, this,
            [this](const QString& message) { ui->statusbar->showMessage(message); });
    connect(settingsEditor, &SettingsEditor::editModeChanged, this, &MainWindow::followEditMode);
    fileExports = new FileExports(this, ui->stackedWidget, [this] { return reportContent(); });
    connect(fileExports, &FileExports::warning, this,
            [this](const QString& title, const QString& text) { QMessageBox::warning(this, title, text); });

    // [insight]
    const std::array<InsightPageWidgets, 2> insightPages{{
        {ui->page_0, ui->toolButton_record, ui->groupBox_MeasurementSetting_3, ui->Page1, ui->label_testStatus,
         ui->tableView_resTest},
        {ui->page_1, ui->toolButton_record2, ui->groupBox_MeasurementSetting_4, ui->Page1_2, ui->label_testStatus_2,
         ui->tableView_lengthTest},
    }};
    insight = std::make_unique<InsightController>(insightPages, resTestModel);
    connect(insight.get(), &InsightController::warningRequested, this, &MainWindow::showWarningBox);
    connect(insight.get(), &InsightController::balanceExportRequested, this,
            [this](const QString& caption, const reports::TextTable& table) {
                fileExports->exportWorkbook(caption, table, this);
            });

    // [infra]

}

// The result row of a test that has just ended takes the test's trace.
QByteArray MainWindow::takeFinishedTrace(int page)
{
    return insight ? insight->takeFinishedTrace(page) : QByteArray();
}

MainWindow::~MainWindow()
{
    storedImport->keeper()->flush();
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
    delete ui;
}

void MainWindow::initUi()
{
    setWindowTitle(tr("10A 直流电阻测试仪"));
    addPageButtonsToToolBar();
    if (QActionGroup* group = languages.fillMenu(ui->menuLanguage))
        connect(group, &QActionGroup::triggered, this, &MainWindow::slotLanguageChanged);
    resultKeeper->placeHistoryAction(ui->menuView);

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

// Every call gives the result views new models with headers in the language
// now in force. The rows move over from the replaced models, which are freed;
// the stored-data table is retranslated in place: a language change keeps
// every result and every imported record.
void MainWindow::createTableModels()
{
    QStandardItemModel* const replaced[] = {resTestModel, lengthTestModel};
    createResultModels();
    createStoredModel();
    QStandardItemModel* const fresh[] = {resTestModel, lengthTestModel};
    for (std::size_t i = 0; i < std::size(fresh); ++i) {
        if (!replaced[i])
            continue;
        takeRowsOver(*replaced[i], *fresh[i]);
        replaced[i]->deleteLater();
    }
    if (insight)
        insight->followResultModels(resTestModel);
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

// --- pages -------------------------------------------------------------------

void MainWindow::on_actionDc_resistance_test_triggered()
{
    pageSwitcher->switchToTestPage(kDcPage);
}

void MainWindow::on_actionConductor_length_test_triggered()
{
    pageSwitcher->switchToTestPage(kLengthPage);
}

void MainWindow::on_actionStorage_triggered()
{
    if (!pageSwitcher->showAtOnce(kStoredPage))
        return;
    ui->statusbar->clearMessage();
    if (isConnected) {
        ui->actionImport_storage->setEnabled(true);
        ui->actionExportToExcel->setEnabled(true);
        ui->actionExportToPDF->setEnabled(false);
        ui->actionAutomatic_measurement->setEnabled(false);
    }
}

void MainWindow::on_stackedWidget_currentChanged(int index)
{
    pageSwitcher->checkPageAction(index);
}

// --- window events -----------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (isConnected)
        endImport();
    QCoreApplication::quit();
    e->accept();
}

void MainWindow::slotLanguageChanged(QAction* action)
{
    languages.choose(action);
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
        languages.load(LanguageSwitcher::systemLanguageCode());
        break;
    default:
        QWidget::changeEvent(e);
        break;
    }
}
