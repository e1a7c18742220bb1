#pragma once
// The main window: a shell over the form, the link (LinkSession) and the small classes that do the work
// (WindowParts). It keeps the slots and signals through which the instrument, the tests and outside checks reach it.

#include "app/windowtiming.h"  // with LinkTiming
#include "data/receivedata.h"
#include "dialogs/pdfsettingdata.h"
#include "reports/reportcontent.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui { class MainWindow; }
namespace transport { class Transport; }
class DesktopFiles;
class DeviceSelectionDialog;
class LinkSession;
class OperatorMessages;
class QAction;
class QPushButton;
struct WindowParts;
class WinUSBManager;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    // Uses the given transport for the link instead of the platform's.
    MainWindow(std::unique_ptr<transport::Transport> transport, const LinkTiming& linkTiming,
               const WindowTiming& windowTiming = WindowTiming(), QWidget* parent = nullptr);
    ~MainWindow() override;
    // Replace the save dialogs, the desktop opener and the warning boxes (tests answer without dialogs).
    void setDesktopFiles(std::unique_ptr<DesktopFiles> files);
    void setOperatorMessages(std::unique_ptr<OperatorMessages> messages);
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
    void on_spinBox_TappingValue_3_valueChanged(int arg1);
    void on_doubleSpinBox_ConductorTempValue_3_valueChanged(double arg1);
    void on_comboBox_StandardSettingValue_4_currentIndexChanged(int index);
    void on_comboBox_StandardUnitValue_4_currentIndexChanged(int index);
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
    void createResultPages();
    void setUpStoredData(const WindowTiming& timing);
    void setUpAutoSeries(int countdownTickMs);
    void createTableModels();
    void setDisconnectedState();
    void startPolling();
    void stopPolling();
    void preparePagesForPolling();
    void followTestState(const ReceiveData& rd);
    void pressChangeButton(QPushButton* button);
    void pressTestButton(bool isLengthTest);
    void endImport();
    reports::ReportContent reportContent() const;
    void showWarningBox(const QString& message);

    Ui::MainWindow* ui;
    std::unique_ptr<WindowParts> parts;
    LinkSession* link = nullptr;
    bool isConnected = false;
    bool isTesting = false;
    int lastCharging = 0;
    QPointer<DeviceSelectionDialog> deviceDialog;  // at most one open at a time
};
