#pragma once
// The main window: the hub between the operator, the link thread and the
// parser thread. One class, written over several files by subsystem:
//   mainwindow.cpp            construction, wiring, pages, window events
//   mainwindow_connection.cpp connecting, polling, live readings, status reports
//   mainwindow_language.cpp   language menu and translators
//   mainwindow_pages.cpp      setting lists and result tables of the two test pages
//   mainwindow_settings.cpp   settings edit mode, sending the settings, the test buttons
//   mainwindow_import.cpp     reading the instrument's stored records into the stored-data table
//   mainwindow_reports.cpp    the PDF report and the Excel workbooks of the tables
//   mainwindow_auto.cpp       automatic test series and the sampling interval
//   mainwindow_store.cpp      keeping the tables' rows in the local results store

#include "app/desktopfiles.h"
#include "link/linktiming.h"
#include "dialogs/pdfsettingdata.h"
#include "data/receivedata.h"
#include "reports/reportcontent.h"
#include "store/resultstore.h"

// [series-pages-language]

// [stored-data]

// [result-pages]

// [settings-exports]

// [insight]

// [infra]

#include <QByteArray>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTranslator>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace Ui {
class MainWindow;
}
namespace transport {
class Transport;
}

// [series-pages-language]

// [stored-data]

// [result-pages]

// [settings-exports]

// [insight]
class InsightController;
namespace reports {
struct TextTable;
}

// [infra]

class AutoTestDialog;
class DeviceSelectionDialog;
class PdfSettingDialog;
class QAbstractItemModel;
class QAction;
class QCloseEvent;
class QComboBox;
class QEvent;
class QLabel;
class QPushButton;
class QStackedWidget;
class ImportKeeper;
class QStandardItem;
class QStandardItemModel;
class QTableView;
class QThread;
class QTimer;
class QToolButton;
class ReceiveThread;
class SampleIntervalDialog;
class WinUSBManager;

// Waits of the window itself. The defaults are the program's; tests shrink them.
struct WindowTiming {
    int pageSwitchPauseMs = 200;  // between the steps of a test-page switch while connected
    int sampleIntervalMs = 500;   // polling interval until the operator chooses another
    int keyLockPauseMs = 200;     // after the key lock, before the stored records are asked for
    int countdownTickMs = 1000;   // one second of the pause between two automatic tests
    int importRefreshMs = 30;     // stored records arriving meanwhile enter the table together
};

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    // Uses the given transport for the link instead of the platform's.
    MainWindow(std::unique_ptr<transport::Transport> transport, const LinkTiming& linkTiming,
               const WindowTiming& windowTiming = WindowTiming(), QWidget* parent = nullptr);
    ~MainWindow() override;
    // Replaces the save dialogs and the desktop opener (tests answer without dialogs).
    void setDesktopFiles(std::unique_ptr<DesktopFiles> files);
signals:
    void detectDeviceSignal();
    void connectUsbSignal(QString path);
    void disConnectSignal();
    void cancelUiUpdateSignal();
    void changeReadTypeSignal(int type);
    void startReadStoreTotalNum();
    void startReadReadBackData();
    void startTestingSignal(bool isLengthTest);
    void stopTestingSignal(bool isLengthTest);
    void updateTestSettingSignal(QByteArray data);
    void keyLockSignal();
    void keyUnlockSignal();
    void stopCirculationSignal(bool stop);
    void informUpperOpenSignal();

public slots:
    void detectedDeviceSlot(QStringList paths);
    void usbStatus(bool isConnected);
    void upperSwitchOnSlot();
    void showRealTimeData(const ReceiveData& rd);
    void updateLogMessage(QString logMessage);
    void stateProcessingSlot(QString logMessage, int errorType);
    void showReadBackStorageNum(int totalNum);
    void showReadBackData(const ReceiveData& rd, int readedNum);
    void pdfSettingSlot(PdfSettingData pdfS);
    void startAutoTestSlot(int count, int intervalMs);
    void stopAutoTest();
    void autoMeasurement(bool isLengthTest);
    void sampleIntervalSlot(int ms);

protected slots:
    void slotLanguageChanged(QAction* action);

private slots:
    void on_actionConnect_triggered();
    void on_actionDc_resistance_test_triggered();
    void on_actionConductor_length_test_triggered();
    void on_actionStorage_triggered();
    void on_actionImport_storage_triggered();
    void on_actionAutomatic_measurement_triggered();
    void on_actionSample_interval_triggered();
    void on_stackedWidget_currentChanged(int index);
    void on_actionExportToPDF_triggered();
    void on_actionExportToExcel_triggered();
    void on_pushButton_save_clicked();
    void on_pushButton_save2_clicked();
    void readOutEnded(int readedNum);

    // Display rules of the setting widgets; they send nothing.
    void on_spinBox_TappingValue_3_valueChanged(int arg1);
    void on_doubleSpinBox_ConductorTempValue_3_valueChanged(double arg1);
    void on_comboBox_StandardSettingValue_4_currentIndexChanged(int index);
    void on_comboBox_StandardUnitValue_4_currentIndexChanged(int index);

    // Edit mode, settings sent by the operator's edits, test start and stop.
    void on_pushButton_Change_clicked();
    void on_pushButton_Change_2_clicked();
    void on_pushButton_Test_clicked();
    void on_pushButton_Test_2_clicked();
    void on_spinBox_ConductorNoValue_3_editingFinished();
    void on_doubleSpinBox_ConductorTempValue_3_editingFinished();
    void on_spinBox_TappingValue_3_editingFinished();
    void on_comboBox_WindingValue_3_activated(int index);
    void on_comboBox_ConductorMaterialValue_3_activated(int index);
    void on_comboBox_CurrentSettingValue_3_activated(int index);
    void on_comboBox_ConvertedTempValue_3_activated(int index);
    void on_comboBox_PhaseTypeValue_3_activated(int index);
    void on_spinBox_ConductorNoValue_4_editingFinished();
    void on_spinBox_SampleNoValue_4_editingFinished();
    void on_comboBox_WireSquareValue_4_activated(int index);
    void on_comboBox_CurrentSettingValue_4_activated(int index);
    void on_comboBox_StandardSettingValue_4_activated(int index);
    void on_doubleSpinBox_StandardValue_4_editingFinished();
    void on_comboBox_StandardUnitValue_4_activated(int index);

    // Result tables: show or hide, delete the selected rows, clear.
    void on_toolButton_record_clicked();
    void on_toolButton_record2_clicked();
    void on_pushButton_delete_clicked();
    void on_pushButton_delete2_clicked();
    void on_pushButton_clear_clicked();
    void on_pushButton_clear2_clicked();

    void closeEvent(QCloseEvent* e) override;

protected:
    void changeEvent(QEvent* e) override;

private:
    MainWindow(const std::function<WinUSBManager*()>& makeManager, const WindowTiming& windowTiming,
               QWidget* parent);

    void initUi();
    void addPageButtonsToToolBar();
    void setLabelTexts();
    void createTableModels();
    void createResultModels();
    void createStoredModel();
    void setSettingWidgetsEnabled(bool e);
    void clearDisplayedValues();
    void setDataActionsEnabled(bool e);
    void setPageActionsEnabled(bool e);
    void setLanguageMenuEnabled(bool e);
    void lockActionsForAutoTest();

    void switchToTestPage(int index);
    void continuePageSwitch(int index, int step, std::uint64_t generation);
    void finishPageSwitch(int index);
    void checkPageAction(int index);

    void setDisconnectedState();
    void setPageButtonsEnabled(bool e);
    void stopPolling();
    void startPolling();
    void queuePoll();
    void preparePagesForPolling();
    void startTest(bool isLengthTest);
    void endImport();
    void startThreadIfIdle(QThread* thread);

    void showDcReading(const ReceiveData& rd);
    void showLengthReading(const ReceiveData& rd);
    void showDanger(bool danger, QStackedWidget* live, QLabel* picture);
    void followTestState(const ReceiveData& rd);
    void showTestStatus(QLabel* label, const ReceiveData& rd);
    void showWarningBox(const QString& message);

    static QString systemLanguageCode();
    void createLanguageMenu();
    void loadLanguage(const QString& code);
    void switchTranslator(QTranslator& translator, const QString& fileName);

    void fillSettingComboBoxes();
    void appendDcResultRow();
    void appendLengthResultRow();
    void deleteSelectedRows(QTableView* view);
    void toggleResultTable(bool& shown, QTableView* view, QToolButton* button);

    void pressChangeButton(QPushButton* button);
    void toggleSettingEdit();
    void pressTestButton(bool isLengthTest);
    void sendDcTestSettings();
    void sendLengthTestSettings();
    bool reportUnselectedList(std::initializer_list<std::pair<QComboBox*, QLabel*>> lists);
    void emitSettingsFrame(const std::vector<unsigned char>& frame);
    void updateStandardMinimum();

    void cancelPageSwitch();
    void restoreActionsAfterImport(bool importUsable);
    void requestReadOut();
    void showPendingStoredRows();
    void discardPendingStoredRows();
    void finishImport(const QString& message);

    void exportTableToExcel(QStandardItemModel* model);
    reports::ReportContent reportContent() const;
    reports::ReportHeader reportHeader() const;
    reports::DataSection currentDataSection() const;
    QVector<reports::DataSection> recordSections() const;
    void showUnwrittenFileWarning(const QString& caption, const QString& path, const QString& reason);
    void openResultStore();
    QStandardItemModel* modelOf(store::TableKind kind) const;
    int showKeptRows(store::TableKind kind);
    int showRows(store::TableKind kind, const QList<store::Row>& rows);
    void keepStoredRow(int row, QStringList texts);
    void padKeptRows(int end);
    ImportKeeper* importKeeper();
    void returnFreedMemory();
    qint64 keepResultRow(store::TableKind kind, const QStringList& texts, const QByteArray& trace);
    void forgetKeptRows(const QAbstractItemModel& model, const std::vector<int>& rows);
    void forgetKeptTable(store::TableKind kind);
    void reportStoreFailure();
    void createHistoryAction();
    QString tableName(store::TableKind kind) const;
    void showHistory();
    void loadSession(qint64 id);
    void exportSession(qint64 id);

    void countFinishedAutoTest();
    void countdownTick(QLabel* progress, QLabel* countdown);
    void startNextAutoTest();

    // Pages of stackedWidget.
    static constexpr int kDcPage = 0;
    static constexpr int kLengthPage = 1;
    static constexpr int kStoredPage = 2;

    Ui::MainWindow* ui;
    WinUSBManager* usbManager = nullptr;
    QThread* usbThread = nullptr;
    QTimer* realTimeTimer = nullptr;
    QThread* receiveThread = nullptr;
    ReceiveThread* receiver = nullptr;
    AutoTestDialog* autoTestDialog = nullptr;
    QPointer<QWidget> autoTestPanel;  // deletes itself when closed
    QTimer* countdownTimer = nullptr;
    QStandardItemModel* resTestModel = nullptr;
    QStandardItemModel* lengthTestModel = nullptr;
    QStandardItemModel* storedModel = nullptr;
    SampleIntervalDialog* sampleIntervalDialog = nullptr;
    PdfSettingDialog* pdfSettingDialog = nullptr;
    PdfSettingData pdfSettingData;
    std::unique_ptr<DesktopFiles> desktopFiles = makeSystemDesktopFiles();
    bool isConnected = false;
    int sampleInterval = 500;
    int storedTotal = 0;
    bool isImporting = false;
    double savedStandardValue = 100.0;
    int savedStandardUnitIndex = 0;
    bool isTesting = false;
    int lastCharging = 0;
    bool isEditing = false;
    bool isAutoTesting = false;
    int testingFrameCount = 0;
    int autoTestInterval = 1;
    int countdownSeconds = 0;
    int autoTestCount = 1;
    int autoTestDone = 0;
    bool isCountingDown = false;
    QString lastTestedResistance;
    // The DC resistance label shows a measured value (not a placeholder or an
    // over-range text): only such a value is held while a test is over range.
    bool dcResistanceShowsReading = false;
    QPointer<DeviceSelectionDialog> deviceDialog;  // at most one open at a time
    bool resTableShown = true;
    bool lengthTableShown = true;
    QTranslator appTranslator;
    QTranslator qtTranslator;
    QString currentLanguage = QStringLiteral("zh");
    QString languagePath;
    bool isEnglish = false;

    // Page switches while connected run as a chain of timed steps so that the
    // GUI keeps painting; a chain in progress holds its target page here.
    int pageSwitchPauseMs = 200;
    int pageSwitchTarget = -1;
    std::uint64_t pageSwitchGeneration = 0;
    // A change button pressed while a switch runs acts when the switch ends,
    // so that the switch's restart of polling does not undo it.
    QPushButton* changePressedDuringSwitch = nullptr;

    // The read-out request follows the key lock after keyLockPauseMs; an
    // import that ended meanwhile (or was replaced) asks for nothing.
    int keyLockPauseMs = 200;
    std::uint64_t importGeneration = 0;

    int countdownTickMs = 1000;
    std::unique_ptr<store::ResultStore> resultStore;
    bool storeFailureReported = false;
    QAction* historyAction = nullptr;
    // Decoded stored records wait here, as prepared table items, until the
    // next refresh of the stored-data page puts them into the table together.
    QVector<int> pendingStoredRows;
    QVector<QStandardItem*> pendingStoredItems;  // one per pending row
    int lastPendingRecord = 0;
    QTimer* importRefreshTimer = nullptr;
    ImportKeeper* keeperOfImports = nullptr;  // the import goes to the results store as it arrives
    int rowsHandedToKeeper = 0;
    int importRefreshMs = 30;
    // Read-outs requested and ended, in the link's order, and this import's own.
    std::uint64_t readOutsRequested = 0;
    std::uint64_t readOutsEnded = 0;
    std::uint64_t importReadOut = 0;

    // A poll queued to the link and not yet started; ticks meanwhile queue nothing.
    std::atomic<bool> pollQueued{false};

    // [series-pages-language]

    // [stored-data]

    // [result-pages]

    // [settings-exports]

    // [insight]
    // Live trend, kept traces and three-phase balance of the test pages.
    std::unique_ptr<InsightController> insight;
    QByteArray takeFinishedTrace(int page);
    void saveBalanceWorkbook(const QString& caption, const reports::TextTable& table);

    // [infra]

};
