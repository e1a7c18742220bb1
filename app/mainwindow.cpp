// Construction, wiring, initial state, page actions and window events.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/accessiblemenuitem.h"
#include "app/accessiblenames.h"
#include "app/baselinecomparison.h"
#include "app/importkeeper.h"
#include "app/keptdcsessions.h"
#include "app/windowkeys.h"
#include "app/windowparts.h"
#include "data/receivethread.h"
#include "link/statuscodes.h"
#include "link/transport.h"
#include "link/winusbmanager.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <utility>

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
      parts(std::make_unique<WindowParts>())
{
    accessiblemenuitem::install();
    // The form is built in the language kept from the last run.
    parts->languages.load(LanguageSwitcher::rememberedLanguage());
    parts->languages.takeTextsOutdated();
    ui->setupUi(this);
    createResultPages();
    setUpStoredData(windowTiming);
    initUi();
    parts->resultKeeper->open(store::ResultStore::defaultPath());
    parts->teamLink->start(store::ResultStore::defaultPath());
    ui->stackedWidget->setCurrentIndex(kDcPage);
    ui->actionDc_resistance_test->setChecked(true);

    auto* pollTimer = new QTimer(this);
    pollTimer->setObjectName(QStringLiteral("realTimeTimer"));
    link = new LinkSession(makeManager(), pollTimer, windowTiming.sampleIntervalMs, this);
    WinUSBManager* usbManager = link->manager();
    ReceiveThread* receiver = link->decoder();

    connect(this, &MainWindow::detectDeviceSignal, usbManager, &WinUSBManager::detectDevice);
    connect(usbManager, &WinUSBManager::detectedDeviceSignal, this, &MainWindow::detectedDeviceSlot);
    connect(this, &MainWindow::connectUsbSignal, usbManager, &WinUSBManager::connectUsb);
    connect(usbManager, &WinUSBManager::finishUsbDetection, this, &MainWindow::usbStatus);
    connect(usbManager, &WinUSBManager::upperSwitchOnSignal, this, &MainWindow::upperSwitchOnSlot);
    connect(this, &MainWindow::disConnectSignal, usbManager, &WinUSBManager::disConnect);
    connect(this, &MainWindow::changeReadTypeSignal, usbManager, &WinUSBManager::changeReadType);
    connect(receiver, &ReceiveThread::finishReadRealTimeData, this, &MainWindow::showRealTimeData);
    connect(this, &MainWindow::startReadStoreTotalNum, usbManager, &WinUSBManager::readStoreTotalNum);
    connect(usbManager, &WinUSBManager::finishReadStorageNumSignal, this, &MainWindow::showReadBackStorageNum);
    connect(this, &MainWindow::startReadReadBackData, usbManager, &WinUSBManager::readReadBackData);
    connect(receiver, &ReceiveThread::finishReadReadBackData, this, &MainWindow::showReadBackData);
    connect(receiver, &ReceiveThread::readBackEnded, this, &MainWindow::readOutEnded);
    connect(usbManager, &WinUSBManager::stateProcessing, this, &MainWindow::stateProcessingSlot);
    connect(usbManager, &WinUSBManager::connectionLost, this,
            [this] { stateProcessingSlot(QString(), linkstatus::LinkFailed); });
    connect(receiver, &ReceiveThread::stateProcessing, this, &MainWindow::stateProcessingSlot);
    connect(this, &MainWindow::startTestingSignal, usbManager, &WinUSBManager::startTesting);
    connect(this, &MainWindow::stopTestingSignal, usbManager, &WinUSBManager::stopTesting);
    connect(this, &MainWindow::updateTestSettingSignal, usbManager, &WinUSBManager::updateTestSetting);
    connect(this, &MainWindow::cancelUiUpdateSignal, usbManager, &WinUSBManager::cancelUiUpdate);
    connect(this, &MainWindow::keyLockSignal, usbManager, &WinUSBManager::keyLock);
    connect(this, &MainWindow::keyUnlockSignal, usbManager, &WinUSBManager::keyUnlock);
    connect(this, &MainWindow::stopCirculationSignal, usbManager, &WinUSBManager::stopCirculation);
    connect(this, &MainWindow::informUpperOpenSignal, usbManager, &WinUSBManager::informUpperOpen);

    setUpAutoSeries(windowTiming.countdownTickMs);
    parts->pageSwitcher = new PageSwitcher(
        ui->stackedWidget, {ui->actionDc_resistance_test, ui->actionConductor_length_test, ui->actionStorage},
        windowTiming.pageSwitchPauseMs, [this] { return isConnected; }, this);
    connect(parts->pageSwitcher, &PageSwitcher::switchStarting, this, &MainWindow::endImport);
    connect(parts->pageSwitcher, &PageSwitcher::readTypeDue, this, &MainWindow::changeReadTypeSignal);
    connect(parts->pageSwitcher, &PageSwitcher::uiUpdateCancelDue, this, &MainWindow::cancelUiUpdateSignal);
    connect(parts->pageSwitcher, &PageSwitcher::pollingDue, this, [this] {
        startPolling();
        ui->statusbar->clearMessage();
        windowactions::setDataActionsEnabled(*ui, true);
    });
    connect(parts->pageSwitcher, &PageSwitcher::changePressDue, this, &MainWindow::pressChangeButton);

    parts->settingsEditor = new SettingsEditor(ui, [this] { return isConnected; }, this);
    connect(parts->settingsEditor, &SettingsEditor::settingsFrame, this, &MainWindow::updateTestSettingSignal);
    connect(parts->settingsEditor, &SettingsEditor::statusMessage, this,
            [this](const QString& message) { ui->statusbar->showMessage(message); });
    // The window's side of the edit mode: polling paused and the widgets open.
    connect(parts->settingsEditor, &SettingsEditor::editModeChanged, this, [this](bool editing) {
        if (editing) {
            stopPolling();
            link->startLinkThread();
            link->startDecoderThread();
            for (ResultPage* page : parts->pages())
                page->setSettingWidgetsEnabled(true);
            windowactions::setPageActionsEnabled(*ui, true);
        } else {
            startPolling();
            for (ResultPage* page : parts->pages())
                page->setSettingWidgetsEnabled(false);
        }
    });
    parts->fileExports = new FileExports(this, ui->stackedWidget, ui->statusbar, [this] { return reportContent(); });
    connect(parts->fileExports, &FileExports::warning, this,
            [this](const QString& title, const QString& text) { parts->messages->warn(this, title, text); });

    const std::array<InsightPageWidgets, 2> insightPages{{
        {ui->page_0, ui->toolButton_record, ui->groupBox_MeasurementSetting_3, ui->Page1, ui->label_testStatus,
         ui->tableView_resTest},
        {ui->page_1, ui->toolButton_record2, ui->groupBox_MeasurementSetting_4, ui->Page1_2, ui->label_testStatus_2,
         ui->tableView_lengthTest},
    }};
    parts->insight = std::make_unique<InsightController>(insightPages, parts->dcPage->resultModel());
    parts->insight->setResultStore(parts->resultKeeper->store());
    // The object's fields sit beside the table's fold button, the trend's fold button after them.
    parts->objectBar = new TestObjectBar(this);
    parts->objectBar->placeAfter(ui->page_0, ui->toolButton_record);
    parts->objectBar->placeAfter(ui->page_1, ui->toolButton_record2);
    parts->objectBar->setStore(parts->resultKeeper->store());
    parts->resultKeeper->setObjectSource([this] { return parts->objectBar->currentObjectId(); });
    connect(parts->resultKeeper, &ResultKeeper::sessionObjectLoaded, parts->objectBar, &TestObjectBar::showObject);
    parts->fileExports->setObjectSource([this] { return parts->objectBar->currentObject(); });
    parts->insight->setSessionSource(std::make_unique<KeptDcSessions>(parts->resultKeeper));
    new WindowKeys(this, ui, [this] { return parts->languages.isEnglish(); });
    accessiblenames::apply(this);
    connect(parts->insight.get(), &InsightController::warningRequested, this, &MainWindow::showWarningBox);
    connect(parts->dcPage, &ResultPage::rowsCleared, this, [this] { parts->insight->clearTrend(kDcPage); });
    connect(parts->lengthPage, &ResultPage::rowsCleared, this, [this] { parts->insight->clearTrend(kLengthPage); });
    BaselineComparison* baseline = parts->insight->baselineComparison();
    baseline->setObject(parts->objectBar->currentObjectId());
    connect(parts->objectBar, &TestObjectBar::objectChanged, baseline, &BaselineComparison::setObject);
    connect(baseline, &BaselineComparison::messageShown, this, [this](const QString& text) { ui->statusbar->showMessage(text); });
    connect(ui->actionImportBaseline, &QAction::triggered, this,
            [this, baseline] { baseline->importBaseline(this, parts->fileExports->desktop()); });
    connect(parts->insight.get(), &InsightController::balanceExportRequested, this,
            [this](const QString& caption, const reports::TextTable& table) {
                parts->fileExports->exportWorkbook(caption, table, this);
            });
}

MainWindow::~MainWindow()
{
    parts->storedImport->keeper()->flush();
    parts->resultKeeper->keepWhatIsLeft();
    parts->teamLink->stop(TeamLink::Wait::Briefly);
    delete link;  // its threads end before the window's parts go
    delete ui;
}

void MainWindow::initUi()
{
    setWindowTitle(tr("10A 直流电阻测试仪"));
    windowactions::addPageButtonsToToolBar(*ui);
    if (QActionGroup* group = parts->languages.fillMenu(ui->menuLanguage))
        connect(group, &QActionGroup::triggered, this, &MainWindow::slotLanguageChanged);
    parts->resultKeeper->placeHistoryAction(ui->menuView);
    parts->resultKeeper->placeStatusMark(ui->statusbar);
    if (parts->objectBar)
        parts->objectBar->retranslate();
    parts->teamLink->placeAction(ui->menuSetting);
    parts->teamLink->placeStatusMark(ui->statusbar);

    for (ResultPage* page : parts->pages())
        page->setSettingWidgetsEnabled(false);
    windowactions::setDataActionsEnabled(*ui, false);
    windowactions::setPageActionsEnabled(*ui, true);
    ui->actionStorage->setEnabled(true);
    ui->pushButton_Change->setEnabled(false);
    ui->pushButton_Test->setEnabled(false);
    ui->pushButton_Change_2->setEnabled(false);
    ui->pushButton_Test_2->setEnabled(false);

    parts->dcPage->setCaptions();
    parts->lengthPage->setCaptions();

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

// Every call gives the tables models with headers in the language now in
// force; a language change keeps every result and every imported record.
void MainWindow::createTableModels()
{
    parts->dcPage->createModel();
    parts->lengthPage->createModel();
    parts->storedImport->retranslateTable();
    if (parts->insight)
        parts->insight->followResultModels(parts->dcPage->resultModel());
}

// --- pages -------------------------------------------------------------------

void MainWindow::on_actionDc_resistance_test_triggered()
{
    parts->pageSwitcher->switchToTestPage(kDcPage);
}

void MainWindow::on_actionConductor_length_test_triggered()
{
    parts->pageSwitcher->switchToTestPage(kLengthPage);
}

void MainWindow::on_actionStorage_triggered()
{
    if (!parts->pageSwitcher->showAtOnce(kStoredPage))
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
    parts->pageSwitcher->checkPageAction(index);
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
    parts->languages.choose(action);
}

void MainWindow::changeEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::LanguageChange:
        if (!parts->languages.takeTextsOutdated())
            break;  // a translator of another window, or the one the form was built with
        ui->retranslateUi(this);
        for (ResultPage* page : parts->pages())
            page->clearValues();
        initUi();
        for (ResultPage* page : parts->pages())
            page->fillSettingLists();
        if (isConnected) {
            // The imported records stay on screen: polling, which would leave
            // their page at the next reading, restarts with a test page.
            if (ui->stackedWidget->currentIndex() == kStoredPage && !link->isPolling())
                windowactions::restoreAfterImport(*ui, true);
            else
                usbStatus(true);
            ui->actionConnect->setText(tr("断开连接"));
            // initUi disabled the buttons of the not-connected window; without
            // this no test could be started until the next connect.
            windowactions::setPageButtonsEnabled(*ui, true);
        }
        accessiblenames::apply(this);
        break;
    case QEvent::LocaleChange:
        parts->languages.followSystemLanguage();
        break;
    default:
        QWidget::changeEvent(e);
        break;
    }
}
