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

// [settings-exports]

// [insight]
#include "app/insightcontroller.h"
#include "reports/exportpaths.h"
#include "reports/workbookwriter.h"

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
    initUi();
    openResultStore();
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
    const std::array<InsightPageWidgets, 2> insightPages{{
        {ui->page_0, ui->toolButton_record, ui->groupBox_MeasurementSetting_3, ui->Page1, ui->label_testStatus,
         ui->tableView_resTest},
        {ui->page_1, ui->toolButton_record2, ui->groupBox_MeasurementSetting_4, ui->Page1_2, ui->label_testStatus_2,
         ui->tableView_lengthTest},
    }};
    insight = std::make_unique<InsightController>(insightPages, resTestModel);
    connect(insight.get(), &InsightController::warningRequested, this, &MainWindow::showWarningBox);
    connect(insight.get(), &InsightController::balanceExportRequested, this, &MainWindow::saveBalanceWorkbook);

    // [infra]

}

// The result row of a test that has just ended takes the test's trace.
QByteArray MainWindow::takeFinishedTrace(int page)
{
    return insight ? insight->takeFinishedTrace(page) : QByteArray();
}

void MainWindow::saveBalanceWorkbook(const QString& caption, const reports::TextTable& table)
{
    const QString proposed = reports::proposedExportPath(reports::exportFolder(), QDateTime::currentDateTime(),
                                                         QStringLiteral("xlsx"));
    const QString path = desktopFiles->saveFileName(this, caption, proposed, QStringLiteral("Excel(*.xlsx)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!reports::writeWorkbook(path, table, &error)) {
        showUnwrittenFileWarning(caption, path, error);
        return;
    }
    desktopFiles->openWithDefaultApplication(path);
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
    ui->label_ConductorNo_3->setText(tr("试品编号"));
    ui->label_ConductorTemp_3->setText(tr("试品温度"));
    ui->label_TestedCurrent->setText(tr("测试电流"));
    ui->label_ConvertedResistance->setText(tr("折算电阻"));
    ui->label_EnvironmentTemp->setText(tr("环境温度："));
    ui->label_ConductorMaterial_3->setText(tr("试品材质"));
    ui->label_CurrentSetting_3->setText(tr("电流设置"));
    ui->label_ConvertedTemp_3->setText(tr("折算温度"));
    ui->label_Tapping_3->setText(tr("分接"));
    ui->label_PhaseType_3->setText(tr("相别"));
    ui->label_Winding_3->setText(tr("绕组"));
    ui->groupBox_MeasurementSetting_3->setTitle(tr("直流电阻测量设置"));
    ui->groupBox_Remark->setTitle(tr("备注"));
    ui->label_ConductorNo_4->setText(tr("试品编号"));
    ui->label_TestedCurrent_2->setText(tr("测试电流"));
    ui->label_EnvironmentTemp_2->setText(tr("环境温度："));
    ui->label_CurrentSetting_4->setText(tr("电流设置"));
    ui->label_SampleNo_4->setText(tr("样品编号"));
    ui->label_WireSquareValue_4->setText(tr("1米导线标称截面积"));
    ui->label_StandardSetting_4->setText(tr("标准值设置"));
    ui->label_StandardValue_4->setText(tr("标准值"));
    ui->label_StandardUnit_4->setText(tr("标准值单位"));
    ui->groupBox_MeasurementSetting_4->setTitle(tr("导体长度测量设置"));
    ui->groupBox_Remark_2->setTitle(tr("备注"));
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
    if (insight)
        insight->followResultModels(resTestModel);
}

void MainWindow::setSettingWidgetsEnabled(bool e)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->spinBox_ConductorNoValue_3, ui->doubleSpinBox_ConductorTempValue_3,
             ui->comboBox_ConductorMaterialValue_3, ui->comboBox_CurrentSettingValue_3,
             ui->comboBox_ConvertedTempValue_3, ui->spinBox_TappingValue_3,
             ui->comboBox_PhaseTypeValue_3, ui->comboBox_WindingValue_3,
             ui->spinBox_ConductorNoValue_4, ui->comboBox_CurrentSettingValue_4,
             ui->spinBox_SampleNoValue_4, ui->comboBox_WireSquareValue_4,
             ui->comboBox_StandardSettingValue_4})
        w->setEnabled(e);
    // A measured standard value is the instrument's own: never editable.
    const bool standardEditable = e && ui->comboBox_StandardSettingValue_4->currentIndex() != 1;
    ui->doubleSpinBox_StandardValue_4->setEnabled(standardEditable);
    ui->comboBox_StandardUnitValue_4->setEnabled(standardEditable);
}

void MainWindow::clearDisplayedValues()
{
    setSettingWidgetsEnabled(false);
    for (QSpinBox* box : {ui->spinBox_ConductorNoValue_3, ui->spinBox_TappingValue_3,
                          ui->spinBox_ConductorNoValue_4, ui->spinBox_SampleNoValue_4})
        box->setValue(-1);
    ui->doubleSpinBox_ConductorTempValue_3->setValue(-40.1);

    dcResistanceShowsReading = false;
    for (QLabel* label : {ui->label_TestedCurrentValue, ui->label_ConvertedResistanceValue,
                          ui->label_TestedResistanceValue, ui->label_EnvironmentTempValue,
                          ui->label_testStatus, ui->label_TestedCurrentValue_2,
                          ui->label_TestedResistanceValue_2, ui->label_ConductorLengthValue_2,
                          ui->label_EnvironmentTempValue_2, ui->label_testStatus_2})
        label->clear();

    for (QComboBox* box : {ui->comboBox_ConductorMaterialValue_3, ui->comboBox_CurrentSettingValue_3,
                           ui->comboBox_ConvertedTempValue_3, ui->comboBox_PhaseTypeValue_3,
                           ui->comboBox_WindingValue_3, ui->comboBox_CurrentSettingValue_4,
                           ui->comboBox_WireSquareValue_4})
        box->setCurrentIndex(-1);

    // In μΩ with a set value the blank value of the standard is 99, else -1.
    const bool microOhmSetValue = ui->comboBox_StandardSettingValue_4->currentIndex() == 0
        && ui->comboBox_StandardUnitValue_4->currentIndex() == 0;
    ui->doubleSpinBox_StandardValue_4->setValue(microOhmSetValue ? 99.0 : -1.0);
    ui->comboBox_StandardSettingValue_4->setCurrentIndex(-1);
    ui->comboBox_StandardUnitValue_4->setCurrentIndex(-1);
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
