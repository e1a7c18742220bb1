#pragma once
// The main window: the hub between the operator, the link thread and the
// parser thread. One class, written over several files by subsystem:
//   mainwindow.cpp            construction, wiring, pages, window events
//   mainwindow_connection.cpp connecting, polling, live readings, status reports
//   mainwindow_pages.cpp      setting lists and result tables of the two test pages
//   mainwindow_settings.cpp   slots of the setting widgets (the SettingsEditor's), the test buttons
//   mainwindow_import.cpp     the stored-data table, its import and the results store
//   mainwindow_reports.cpp    the texts of the PDF report; FileExports writes it and the workbooks
//   mainwindow_auto.cpp       menu entries of the automatic test series and the sampling interval

#include "app/desktopfiles.h"
#include "link/linktiming.h"
#include "dialogs/pdfsettingdata.h"
#include "data/receivedata.h"
#include "reports/reportcontent.h"
#include "store/resultstore.h"

// [series-pages-language]
#include "app/languageswitcher.h"

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
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
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
class AutoSeries;
class PageSwitcher;

// [stored-data]
class ResultKeeper;
class StoredImport;
class StoredRecordsModel;

// [result-pages]
class ResultPage;

// [settings-exports]
class FileExports;
class SettingsEditor;

// [insight]
class InsightController;
namespace reports {
struct TextTable;
}

// [infra]

class DeviceSelectionDialog;
class QAbstractItemModel;
class QAction;
class QCloseEvent;
class QEvent;
class QLabel;
class QPushButton;
class QStackedWidget;
class QStandardItemModel;
class QThread;
class QTimer;
class ReceiveThread;
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
    void followTestState(const ReceiveData& rd);
    void showWarningBox(const QString& message);

    void fillSettingComboBoxes();
    void appendDcResultRow();
    void appendLengthResultRow();

    void pressChangeButton(QPushButton* button);
    void pressTestButton(bool isLengthTest);

    void restoreActionsAfterImport(bool importUsable);

    reports::ReportContent reportContent() const;
    reports::DataSection currentDataSection() const;
    QVector<reports::DataSection> recordSections() const;
    qint64 keepResultRow(store::TableKind kind, const QStringList& texts, const QByteArray& trace);
    void forgetKeptRows(const QAbstractItemModel& model, const std::vector<int>& rows);
    void forgetKeptTable(store::TableKind kind);

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
    QStandardItemModel* resTestModel = nullptr;
    QStandardItemModel* lengthTestModel = nullptr;
    bool isConnected = false;
    int sampleInterval = 500;
    bool isTesting = false;
    int lastCharging = 0;
    QString lastTestedResistance;
    QPointer<DeviceSelectionDialog> deviceDialog;  // at most one open at a time


    // A poll queued to the link and not yet started; ticks meanwhile queue nothing.
    std::atomic<bool> pollQueued{false};

    // [series-pages-language]
    void setUpAutoSeries(int countdownTickMs);
    AutoSeries* autoSeries = nullptr;
    PageSwitcher* pageSwitcher = nullptr;
    LanguageSwitcher languages;

    // [stored-data]
    void setUpStoredData(const WindowTiming& timing);
    void releaseInstrumentAfterImport();
    void importFinished(const QString& message);
    void keepActionsWhileImporting();
    StoredRecordsModel* storedModel = nullptr;
    StoredImport* storedImport = nullptr;
    ResultKeeper* resultKeeper = nullptr;

    // [result-pages]
    ResultPage* dcPage = nullptr;
    ResultPage* lengthPage = nullptr;
    void createResultPages();
    const ResultPage* resultPageOnScreen() const;  // nullptr on the stored-data page

    // [settings-exports]
    SettingsEditor* settingsEditor = nullptr;
    FileExports* fileExports = nullptr;
    void followEditMode(bool editing);

    // [insight]
    // Live trend, kept traces and three-phase balance of the test pages.
    std::unique_ptr<InsightController> insight;
    QByteArray takeFinishedTrace(int page);

    // [infra]

};
