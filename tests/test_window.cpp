// The main window driven against simulated instruments in the same process:
// start-up state, connecting (one device, several, cancelled), live readings on
// both pages, test states, danger picture, status reports, disconnecting and
// link failures, page switching and the language change.

#include "chinesefonts.h"
#include "mainwindow.h"
#include "windowstyles.h"

#include "instrument.h"
#include "settingsframes.h"
#include "simtransport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>
#include <vector>

namespace {

const char* const kConnectedText = "断开连接";
const char* const kDisconnectedText = "连接";
constexpr int kWait = 5000;  // ms: bound of every QTRY wait

// A window over one or more simulated instruments that share a hand-moved clock.
struct Rig {
    explicit Rig(int instrumentCount = 1, sim::InstrumentOptions options = {},
                 WindowTiming windowTiming = {5, 30})
        : clock(std::make_shared<sim::ManualClock>())
    {
        for (int i = 0; i < instrumentCount; ++i)
            instruments.push_back(std::make_shared<sim::Instrument>(options, clock));
        auto simulator = std::make_unique<sim::SimulatorTransport>(instruments);
        transport = simulator.get();
        LinkTiming timing;
        timing.transferTimeoutMs = 400;  // long enough for a busy machine, short for a failure test
        timing.pollPauseMs = 2;
        timing.retryPauseMs = 2;
        timing.wakeUpPauseMs = 2;
        timing.flushPauseMs = 1;
        window = std::make_unique<MainWindow>(std::move(simulator), timing, windowTiming);
        window->show();
    }

    template <class T>
    T* get(const char* name) const
    {
        T* widget = window->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no child named %s", name);
        return widget;
    }
    QAction* action(const char* name) const { return get<QAction>(name); }
    QString status() const { return window->statusBar()->currentMessage(); }
    QStandardItemModel* model(const char* viewName) const
    {
        return qobject_cast<QStandardItemModel*>(get<QTableView>(viewName)->model());
    }
    bool pollingTimerActive() const
    {
        for (QTimer* timer : window->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (timer->isActive())
                return true;
        }
        return false;
    }

    bool connectAndWait()
    {
        action("actionConnect")->trigger();
        return waitFor([this] { return action("actionConnect")->text() == QString::fromUtf8(kConnectedText); });
    }
    // Waits until the instrument has answered `polls` more requests and the
    // window has taken its events since.
    bool waitForPolls(int polls, int index = 0)
    {
        const std::size_t target = instruments.at(index)->requestCount() + std::size_t(polls);
        const bool done = waitFor([&] { return instruments.at(index)->requestCount() >= target; });
        QCoreApplication::processEvents();
        return done;
    }
    template <class Predicate>
    static bool waitFor(Predicate predicate)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (!predicate()) {
            if (elapsed.elapsed() > kWait)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

    std::shared_ptr<sim::ManualClock> clock;
    std::vector<std::shared_ptr<sim::Instrument>> instruments;
    sim::SimulatorTransport* transport = nullptr;  // owned by the window's link
    std::unique_ptr<MainWindow> window;
};

// Answers the next warning box with OK and keeps its text.
class WarningBoxCatcher : public QObject
{
public:
    WarningBoxCatcher()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    text = box->text();
                    title = box->windowTitle();
                    buttons = box->standardButtons();
                    box->button(QMessageBox::Ok)->click();
                    timer.stop();
                    ++seen;
                }
            }
        });
        timer.start(10);
    }
    QTimer timer;
    QString text;
    QString title;
    QMessageBox::StandardButtons buttons;
    int seen = 0;
};

// The language change reaches the window as a posted event; deliver it now,
// before any reading can be shown.
void deliverLanguageChange()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

bool drawsInk(const QFont& font, const QString& text)
{
    QImage image(80, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    painter.end();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return true;
        }
    }
    return false;
}

bool sameImage(const QPixmap* shown, const char* resource)
{
    return shown && !shown->isNull() && shown->toImage() == QPixmap(QLatin1String(resource)).toImage();
}

const char* const kSettingWidgets[] = {
    "spinBox_ConductorNoValue_3", "doubleSpinBox_ConductorTempValue_3", "comboBox_ConductorMaterialValue_3",
    "comboBox_CurrentSettingValue_3", "comboBox_ConvertedTempValue_3", "spinBox_TappingValue_3",
    "comboBox_PhaseTypeValue_3", "comboBox_WindingValue_3", "spinBox_ConductorNoValue_4",
    "comboBox_CurrentSettingValue_4", "spinBox_SampleNoValue_4", "comboBox_WireSquareValue_4",
    "comboBox_StandardSettingValue_4", "doubleSpinBox_StandardValue_4", "comboBox_StandardUnitValue_4",
};
const char* const kDataActions[] = {"actionImport_storage", "actionExportToExcel", "actionExportToPDF",
                                    "actionAutomatic_measurement"};
const char* const kButtons[] = {"pushButton_Change", "pushButton_Test", "pushButton_Change_2",
                                "pushButton_Test_2"};

}  // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startsDisconnectedOnTheDcPage();
    void oneDeviceConnectsWithoutDialog();
    void severalDevicesAreOfferedInTheDialog_data();
    void severalDevicesAreOfferedInTheDialog();
    void connectedStateIsBuiltOnce();
    void readingsFollowTheInstrumentsScreen();
    void testCycleDrivesButtonsStatusAndResultRow();
    void overRangeHoldsOnlyWhileATestRuns();
    void dangerShowsThePictureAndEmptiesTheStatusBar();

    void statusReportsShowTheirMessage_data();
    void statusReportsShowTheirMessage();
    void invalidReadingBlanksTheValues();
    void storedDataProblemReopensTheActions_data();
    void storedDataProblemReopensTheActions();
    void refusedRequestResumesPollingOnlyWhenConnected();
    void linkFailureReportFallsBackToDisconnected();

    void disconnectReturnsToTheInitialState();
    void lostLinkReturnsToTheDisconnectedState_data();
    void lostLinkReturnsToTheDisconnectedState();

    void pageSwitchWhileDisconnectedOnlyChangesThePage();
    void pageSwitchWhileConnectedTellsTheInstrumentInOrder();
    void storagePageLeavesOnlyItsActionChecked();

    void languageChangeRetranslatesAndRestartsPolling();
    void chineseUiFontsMapToAnInstalledFamily();
};

void TestWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
    qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
    qRegisterMetaType<ReceiveData>("ReceiveData");
}

// --- start-up and connecting -------------------------------------------------

void TestWindow::startsDisconnectedOnTheDcPage()
{
    Rig rig;
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
    QVERIFY(rig.action("actionDc_resistance_test")->isChecked());
    QVERIFY(!rig.action("actionConductor_length_test")->isChecked());
    QVERIFY(!rig.action("actionStorage")->isChecked());
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget_Res")->currentIndex(), 1);
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget_Len")->currentIndex(), 1);

    for (const char* name : kSettingWidgets)
        QVERIFY2(!rig.get<QWidget>(name)->isEnabled(), name);
    for (const char* name : kDataActions)
        QVERIFY2(!rig.action(name)->isEnabled(), name);
    for (const char* name : kButtons)
        QVERIFY2(!rig.get<QPushButton>(name)->isEnabled(), name);
    QVERIFY(rig.action("actionDc_resistance_test")->isEnabled());
    QVERIFY(rig.action("actionConductor_length_test")->isEnabled());
    QVERIFY(rig.action("actionStorage")->isEnabled());
    QCOMPARE(rig.action("actionConnect")->text(), QString::fromUtf8(kDisconnectedText));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("10A 直流电阻测试仪"));

    QCOMPARE(rig.model("tableView_resTest")->columnCount(), 15);
    QCOMPARE(rig.model("tableView_lengthTest")->columnCount(), 13);
    QCOMPARE(rig.model("tableView")->columnCount(), 16);
    QCOMPARE(rig.model("tableView")->headerData(7, Qt::Horizontal).toString(),
             QStringLiteral("1米导线标称截面积"));
    QCOMPARE(rig.get<QTableView>("tableView")->columnWidth(1), 150);

    // Neither worker runs: nothing is polled and nothing reaches the instrument.
    QVERIFY(!rig.pollingTimerActive());
    QCoreApplication::processEvents();
    QCOMPARE(rig.instruments[0]->requestCount(), std::size_t(0));
}

void TestWindow::oneDeviceConnectsWithoutDialog()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    QVERIFY(!rig.window->findChild<QDialog*>());
    QVERIFY(rig.instruments[0]->upperOpen());

    for (const char* name : kDataActions)
        QVERIFY2(rig.action(name)->isEnabled(), name);
    QVERIFY(!rig.action("actionStorage")->isEnabled());
    QVERIFY(rig.pollingTimerActive());
    for (const char* name : {"pushButton_Change", "pushButton_Change_2"}) {
        QVERIFY(rig.get<QPushButton>(name)->isEnabled());
        QCOMPARE(rig.get<QPushButton>(name)->styleSheet(), QLatin1String(windowstyle::kUpdateButton));
    }
    for (const char* name : {"pushButton_Test", "pushButton_Test_2"}) {
        QVERIFY(rig.get<QPushButton>(name)->isEnabled());
        QCOMPARE(rig.get<QPushButton>(name)->styleSheet(), QLatin1String(windowstyle::kIdleTestButton));
    }
    // Settings stay read-only while polling; the lists are filled.
    for (const char* name : kSettingWidgets)
        QVERIFY2(!rig.get<QWidget>(name)->isEnabled(), name);
    QCOMPARE(rig.get<QComboBox>("comboBox_CurrentSettingValue_3")->count(), 22);
    QCOMPARE(rig.get<QComboBox>("comboBox_CurrentSettingValue_4")->count(), 21);
    QCOMPARE(rig.get<QComboBox>("comboBox_WireSquareValue_4")->count(), 19);
    QCOMPARE(rig.get<QComboBox>("comboBox_CurrentSettingValue_4")->itemText(20), QStringLiteral("AUTO"));
    QCOMPARE(rig.get<QComboBox>("comboBox_StandardUnitValue_4")->itemText(0), QStringLiteral("μΩ"));
}

void TestWindow::severalDevicesAreOfferedInTheDialog_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("chosen");
    QTest::newRow("OK on the second path") << true << 1;
    QTest::newRow("OK on the first path") << true << 0;
    QTest::newRow("Cancel") << false << -1;
}

void TestWindow::severalDevicesAreOfferedInTheDialog()
{
    QFETCH(bool, accept);
    QFETCH(int, chosen);
    Rig rig(2);
    rig.action("actionConnect")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(rig.window->findChild<QDialog*>(), kWait);
    QDialog* dialog = rig.window->findChild<QDialog*>();
    auto* paths = dialog->findChild<QComboBox*>();
    QCOMPARE(paths->count(), 2);
    QCOMPARE(paths->itemText(0), QStringLiteral("sim:0"));
    QCOMPARE(paths->itemText(1), QStringLiteral("sim:1"));
    QCOMPARE(rig.instruments[0]->requestCount() + rig.instruments[1]->requestCount(), std::size_t(0));

    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (!accept) {
        buttons->button(QDialogButtonBox::Cancel)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->findChild<QDialog*>(), kWait);
        // A second detection is queued behind anything the first dialog might
        // have sent; once its dialog shows, nothing can be on its way any more.
        rig.action("actionConnect")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->findChild<QDialog*>(), kWait);
        QCOMPARE(rig.instruments[0]->requestCount() + rig.instruments[1]->requestCount(), std::size_t(0));
        QCOMPARE(rig.action("actionConnect")->text(), QString::fromUtf8(kDisconnectedText));
        return;
    }
    paths->setCurrentIndex(chosen);
    buttons->button(QDialogButtonBox::Ok)->click();
    QTRY_COMPARE_WITH_TIMEOUT(rig.action("actionConnect")->text(), QString::fromUtf8(kConnectedText), kWait);
    QVERIFY(rig.instruments[chosen]->upperOpen());
    QCOMPARE(rig.instruments[1 - chosen]->requestCount(), std::size_t(0));
}

void TestWindow::connectedStateIsBuiltOnce()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    auto* convertedTemp = rig.get<QComboBox>("comboBox_ConvertedTempValue_3");
    QTRY_COMPARE_WITH_TIMEOUT(convertedTemp->currentText(), QStringLiteral("75℃"), kWait);
    rig.window->statusBar()->showMessage(QStringLiteral("marker"));
    // No events in between: only the slot itself could change anything.
    rig.window->upperSwitchOnSlot();
    QCOMPARE(rig.status(), QStringLiteral("marker"));
    QCOMPARE(convertedTemp->currentText(), QStringLiteral("75℃"));
}

// --- live readings ---------------------------------------------------------------

void TestWindow::readingsFollowTheInstrumentsScreen()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    auto* pages = rig.get<QStackedWidget>("stackedWidget");
    QTRY_VERIFY_WITH_TIMEOUT(!rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(), kWait);
    QCOMPARE(pages->currentIndex(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QSpinBox>("spinBox_ConductorNoValue_3")->value(), 1, kWait);
    QCOMPARE(rig.get<QSpinBox>("spinBox_TappingValue_3")->text(), QStringLiteral("01"));
    QCOMPARE(rig.get<QComboBox>("comboBox_PhaseTypeValue_3")->currentText(), QStringLiteral("A0"));
    QCOMPARE(rig.get<QComboBox>("comboBox_CurrentSettingValue_3")->currentText(), QStringLiteral("10A"));
    QCOMPARE(rig.get<QComboBox>("comboBox_ConductorMaterialValue_3")->currentText(), QStringLiteral("铜"));
    QCOMPARE(rig.get<QDoubleSpinBox>("doubleSpinBox_ConductorTempValue_3")->value(), 20.0);
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget_Res")->currentIndex(), 0);
    QVERIFY(!rig.get<QLabel>("label_EnvironmentTempValue")->text().isEmpty());

    rig.instruments[0]->setScreen(sim::Screen::LengthTest);
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), 1, kWait);
    QVERIFY(rig.action("actionConductor_length_test")->isChecked());
    QVERIFY(!rig.action("actionDc_resistance_test")->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QComboBox>("comboBox_WireSquareValue_4")->currentText(),
                              QStringLiteral("2.5平方"), kWait);
    QCOMPARE(rig.get<QComboBox>("comboBox_CurrentSettingValue_4")->currentText(), QStringLiteral("1A"));
    QCOMPARE(rig.get<QComboBox>("comboBox_StandardSettingValue_4")->currentIndex(), 0);
    QCOMPARE(rig.get<QComboBox>("comboBox_StandardUnitValue_4")->currentText(), QStringLiteral("mΩ"));
    QCOMPARE(rig.get<QDoubleSpinBox>("doubleSpinBox_StandardValue_4")->value(), 6.9);
    QVERIFY(!rig.get<QLabel>("label_TestedCurrentValue_2")->text().isEmpty());
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget_Len")->currentIndex(), 0);

    rig.instruments[0]->setScreen(sim::Screen::DcTest);
    QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), 0, kWait);
    QVERIFY(rig.action("actionDc_resistance_test")->isChecked());
}

void TestWindow::testCycleDrivesButtonsStatusAndResultRow()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    auto* test = rig.get<QPushButton>("pushButton_Test");
    auto* change = rig.get<QPushButton>("pushButton_Change");
    auto* status = rig.get<QLabel>("label_testStatus");
    const QColor red(210, 0, 22);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QSpinBox>("spinBox_ConductorNoValue_3")->value(), 1, kWait);
    QCOMPARE(status->text(), QString());  // idle: no test state to tell

    emit rig.window->startTestingSignal(false);
    QTRY_COMPARE_WITH_TIMEOUT(test->styleSheet(), QLatin1String(windowstyle::kRunningTestButton), kWait);
    QVERIFY(!status->text().isEmpty());
    QCOMPARE(status->palette().color(QPalette::WindowText), red);
    QVERIFY(!change->isEnabled());
    QVERIFY(test->isEnabled());
    QVERIFY(!rig.action("actionDc_resistance_test")->isEnabled());
    QVERIFY(!rig.action("actionConductor_length_test")->isEnabled());
    for (const char* name : kDataActions)
        QVERIFY2(!rig.action(name)->isEnabled(), name);
    QCOMPARE(rig.model("tableView_resTest")->rowCount(), 0);

    rig.clock->advanceMs(10'000);  // charging done: testing
    emit rig.window->stopTestingSignal(false);
    QTRY_VERIFY_WITH_TIMEOUT(rig.instruments[0]->phase() == sim::Phase::Discharging, kWait);
    rig.clock->advanceMs(100'000);  // discharged: complete
    QTRY_COMPARE_WITH_TIMEOUT(test->styleSheet(), QLatin1String(windowstyle::kIdleTestButton), kWait);
    QVERIFY(change->isEnabled());
    QVERIFY(rig.action("actionDc_resistance_test")->isEnabled());
    for (const char* name : kDataActions)
        QVERIFY2(rig.action(name)->isEnabled(), name);
    QTRY_COMPARE_WITH_TIMEOUT(status->palette().color(QPalette::WindowText), QColor(Qt::black), kWait);

    QStandardItemModel* rows = rig.model("tableView_resTest");
    QCOMPARE(rows->rowCount(), 1);
    QCOMPARE(rows->item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(rows->item(0, 13)->text(), rig.get<QLabel>("label_TestedResistanceValue")->text());
    QCOMPARE(rows->item(0, 7)->text(), QStringLiteral("01"));
    QVERIFY(!rows->item(0, 5)->isEditable());
    QCOMPARE(rows->item(0, 5)->textAlignment(), Qt::AlignCenter);
    QVERIFY(rig.waitForPolls(10));
    QCOMPARE(rows->rowCount(), 1);  // further idle readings append nothing
}

void TestWindow::overRangeHoldsOnlyWhileATestRuns()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    auto* resistance = rig.get<QLabel>("label_TestedResistanceValue");
    emit rig.window->startTestingSignal(false);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QPushButton>("pushButton_Test")->styleSheet(),
                              QLatin1String(windowstyle::kRunningTestButton), kWait);
    rig.clock->advanceMs(10'000);
    QTRY_VERIFY_WITH_TIMEOUT(resistance->text().contains(QStringLiteral("mΩ")), kWait);

    rig.instruments[0]->setDcSampleOhms(50.0);  // far above the 10 A range
    auto* converted = rig.get<QLabel>("label_ConvertedResistanceValue");
    QTRY_VERIFY_WITH_TIMEOUT(converted->text().startsWith(QStringLiteral("------")), kWait);
    const QString held = resistance->text();
    QVERIFY2(held.contains(QStringLiteral("mΩ")) && !held.startsWith(QLatin1Char('>')), qPrintable(held));
    QVERIFY(rig.waitForPolls(3));
    QCOMPARE(resistance->text(), held);

    // Once the test has ended the over-range reading is shown as it comes.
    emit rig.window->stopTestingSignal(false);
    QTRY_VERIFY_WITH_TIMEOUT(rig.instruments[0]->phase() == sim::Phase::Discharging, kWait);
    rig.clock->advanceMs(100'000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QPushButton>("pushButton_Test")->styleSheet(),
                              QLatin1String(windowstyle::kIdleTestButton), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(resistance->text().startsWith(QLatin1Char('>')), kWait);
}

void TestWindow::dangerShowsThePictureAndEmptiesTheStatusBar()
{
    sim::InstrumentOptions options;
    options.dangerWhileDischarging = true;
    Rig rig(1, options);
    QVERIFY(rig.connectAndWait());
    emit rig.window->startTestingSignal(false);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QPushButton>("pushButton_Test")->styleSheet(),
                              QLatin1String(windowstyle::kRunningTestButton), kWait);
    rig.clock->advanceMs(10'000);
    emit rig.window->stopTestingSignal(false);  // 10 A discharging: dangerous
    auto* live = rig.get<QStackedWidget>("stackedWidget_Res");
    QTRY_COMPARE_WITH_TIMEOUT(live->currentIndex(), 1, kWait);
    QVERIFY(sameImage(rig.get<QLabel>("label_Danger")->pixmap(), windowstyle::kDangerPictureChinese));
    QVERIFY(rig.status().isEmpty());

    rig.clock->advanceMs(100'000);
    QTRY_COMPARE_WITH_TIMEOUT(live->currentIndex(), 0, kWait);
}

// --- status reports ----------------------------------------------------------------

void TestWindow::statusReportsShowTheirMessage_data()
{
    QTest::addColumn<int>("errorType");
    QTest::addColumn<bool>("warningBox");
    QTest::addColumn<QString>("status");
    QTest::newRow("0 information") << 0 << false << QStringLiteral("message");
    QTest::newRow("1 reading failed") << 1 << false << QStringLiteral("message");
    QTest::newRow("2 stored data") << 2 << true << QStringLiteral("message");
    QTest::newRow("3 refused") << 3 << false << QStringLiteral("message");
    QTest::newRow("4 link failed") << 4 << false << QStringLiteral("未连接");
    QTest::newRow("5 stored record") << 5 << true << QStringLiteral("message");
    QTest::newRow("unknown type") << 9 << false << QStringLiteral("message");
}

void TestWindow::statusReportsShowTheirMessage()
{
    QFETCH(int, errorType);
    QFETCH(bool, warningBox);
    QFETCH(QString, status);
    Rig rig;
    WarningBoxCatcher catcher;
    rig.window->stateProcessingSlot(QStringLiteral("message"), errorType);
    QCOMPARE(rig.status(), status);
    QCOMPARE(catcher.seen, warningBox ? 1 : 0);
    if (warningBox) {
        QCOMPARE(catcher.text, QStringLiteral("message"));
        QVERIFY(catcher.title.isEmpty());
        QCOMPARE(catcher.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

void TestWindow::invalidReadingBlanksTheValues()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    auto* current = rig.get<QLabel>("label_TestedCurrentValue");
    auto* phase = rig.get<QComboBox>("comboBox_PhaseTypeValue_3");
    auto* number = rig.get<QSpinBox>("spinBox_ConductorNoValue_3");
    QTRY_VERIFY_WITH_TIMEOUT(!current->text().isEmpty() && phase->currentIndex() == 0, kWait);

    rig.window->stateProcessingSlot(QStringLiteral("bad"), 1);
    QVERIFY(current->text().isEmpty());
    QCOMPARE(phase->currentIndex(), -1);
    QCOMPARE(number->value(), -1);
    QCOMPARE(number->text(), QStringLiteral(" "));
    QCOMPARE(rig.get<QDoubleSpinBox>("doubleSpinBox_ConductorTempValue_3")->text(), QStringLiteral(" "));
    // The next valid reading fills them again.
    QTRY_VERIFY_WITH_TIMEOUT(!current->text().isEmpty() && phase->currentIndex() == 0, kWait);
}

void TestWindow::storedDataProblemReopensTheActions_data()
{
    QTest::addColumn<bool>("connected");
    QTest::newRow("connected") << true;
    QTest::newRow("not connected") << false;
}

void TestWindow::storedDataProblemReopensTheActions()
{
    QFETCH(bool, connected);
    Rig rig;
    if (connected)
        QVERIFY(rig.connectAndWait());
    WarningBoxCatcher catcher;
    rig.window->stateProcessingSlot(QStringLiteral("无存储数据"), 2);
    QCOMPARE(catcher.seen, 1);
    QCOMPARE(rig.action("actionImport_storage")->isEnabled(), connected);
    QCOMPARE(rig.action("actionExportToExcel")->isEnabled(), connected);
    QVERIFY(!rig.action("actionExportToPDF")->isEnabled());
    QVERIFY(!rig.action("actionAutomatic_measurement")->isEnabled());
    QVERIFY(rig.action("actionDc_resistance_test")->isEnabled());
    QVERIFY(rig.action("actionStorage")->isEnabled());
    QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
}

void TestWindow::refusedRequestResumesPollingOnlyWhenConnected()
{
    Rig rig;
    QSignalSpy upperOpen(rig.window.get(), &MainWindow::informUpperOpenSignal);
    rig.window->stateProcessingSlot(QStringLiteral("refused"), 3);
    QCOMPARE(upperOpen.count(), 0);
    QVERIFY(!rig.pollingTimerActive());

    QVERIFY(rig.connectAndWait());
    upperOpen.clear();
    rig.window->stateProcessingSlot(QStringLiteral("refused"), 3);
    QCOMPARE(upperOpen.count(), 1);
    QVERIFY(rig.pollingTimerActive());
}

void TestWindow::linkFailureReportFallsBackToDisconnected()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    rig.window->stateProcessingSlot(QStringLiteral("读取实时数据失败"), 4);
    QCOMPARE(rig.status(), QStringLiteral("未连接"));
    QCOMPARE(rig.action("actionConnect")->text(), QString::fromUtf8(kDisconnectedText));
    QVERIFY(!rig.pollingTimerActive());
    for (const char* name : kButtons)
        QVERIFY2(!rig.get<QPushButton>(name)->isEnabled(), name);
    for (const char* name : kDataActions)
        QVERIFY2(!rig.action(name)->isEnabled(), name);
    QVERIFY(rig.action("actionStorage")->isEnabled());
}

// --- disconnecting ---------------------------------------------------------------

void TestWindow::disconnectReturnsToTheInitialState()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(), kWait);
    rig.action("actionConnect")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(rig.action("actionConnect")->text(), QString::fromUtf8(kDisconnectedText), kWait);
    QCOMPARE(rig.status(), QStringLiteral("设备未连接"));
    QVERIFY(!rig.pollingTimerActive());
    QVERIFY(rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty());
    for (const char* name : kButtons) {
        QVERIFY2(!rig.get<QPushButton>(name)->isEnabled(), name);
    }
    QCOMPARE(rig.get<QPushButton>("pushButton_Test")->styleSheet(), QLatin1String(windowstyle::kIdleTestButton));
    for (const char* name : kDataActions)
        QVERIFY2(!rig.action(name)->isEnabled(), name);
    QVERIFY(rig.action("actionStorage")->isEnabled());

    // Connecting again works on the running threads.
    QVERIFY(rig.connectAndWait());
}

void TestWindow::lostLinkReturnsToTheDisconnectedState_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("instrument stops answering") << true;
    QTest::newRow("connection drops") << false;
}

void TestWindow::lostLinkReturnsToTheDisconnectedState()
{
    QFETCH(bool, silent);
    Rig rig;
    QVERIFY(rig.connectAndWait());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(), kWait);
    sim::Faults faults;
    if (silent)
        faults.silent = true;
    else
        faults.dropAfterRequests = 1;
    rig.instruments[0]->setFaults(faults);
    QTRY_COMPARE_WITH_TIMEOUT(rig.action("actionConnect")->text(), QString::fromUtf8(kDisconnectedText), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(rig.status(), QStringLiteral("未连接"), kWait);
    QVERIFY(!rig.pollingTimerActive());
    QVERIFY(rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty());
    QVERIFY(!rig.get<QPushButton>("pushButton_Test")->isEnabled());
    QVERIFY(!rig.action("actionExportToPDF")->isEnabled());
}

// --- pages -------------------------------------------------------------------------

void TestWindow::pageSwitchWhileDisconnectedOnlyChangesThePage()
{
    Rig rig;
    QSignalSpy readType(rig.window.get(), &MainWindow::changeReadTypeSignal);
    QSignalSpy oneReading(rig.window.get(), &MainWindow::cancelUiUpdateSignal);
    rig.action("actionConductor_length_test")->trigger();
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    QVERIFY(rig.action("actionConductor_length_test")->isChecked());
    QVERIFY(!rig.action("actionDc_resistance_test")->isChecked());
    // Choosing the page on screen leaves its action checked.
    rig.action("actionConductor_length_test")->trigger();
    QVERIFY(rig.action("actionConductor_length_test")->isChecked());
    rig.action("actionDc_resistance_test")->trigger();
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(readType.count(), 0);
    QCOMPARE(oneReading.count(), 0);
}

void TestWindow::pageSwitchWhileConnectedTellsTheInstrumentInOrder()
{
    const int pause = 40;
    Rig rig(1, {}, WindowTiming{pause, 30});
    QVERIFY(rig.connectAndWait());
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QSpinBox>("spinBox_ConductorNoValue_3")->value(), 1, kWait);

    QStringList steps;
    QList<qint64> times;
    QElapsedTimer clock;
    clock.start();
    auto record = [&](const QString& step) {
        steps << step;
        times << clock.elapsed();
    };
    MainWindow* w = rig.window.get();
    connect(w, &MainWindow::changeReadTypeSignal, w, [&](int t) { record(QStringLiteral("type %1").arg(t)); });
    connect(w, &MainWindow::cancelUiUpdateSignal, w, [&] { record(QStringLiteral("one reading")); });
    connect(w, &MainWindow::informUpperOpenSignal, w, [&] { record(QStringLiteral("upper open")); });

    rig.action("actionDc_resistance_test")->trigger();  // already shown: nothing
    QVERIFY(rig.action("actionDc_resistance_test")->isChecked());
    rig.action("actionConductor_length_test")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 4, kWait);
    QCOMPARE(steps, QStringList({QStringLiteral("type 1"), QStringLiteral("one reading"),
                                 QStringLiteral("upper open"), QStringLiteral("type 2")}));
    QVERIFY(times[0] >= pause - 1);
    QVERIFY(times[1] - times[0] >= pause - 1);
    QVERIFY(times[2] - times[1] >= pause - 1);
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    // The instrument went to its length screen and the window stays there.
    QTRY_VERIFY_WITH_TIMEOUT(rig.instruments[0]->screen() == sim::Screen::LengthTest, kWait);
    QVERIFY(rig.waitForPolls(3));
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    QVERIFY(rig.action("actionConductor_length_test")->isChecked());
    QVERIFY(rig.pollingTimerActive());
}

void TestWindow::storagePageLeavesOnlyItsActionChecked()
{
    Rig rig;
    QVERIFY(rig.connectAndWait());
    rig.action("actionStorage")->trigger();
    QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 2);
    QVERIFY(rig.action("actionStorage")->isChecked());
    QVERIFY(!rig.action("actionDc_resistance_test")->isChecked());
    QVERIFY(!rig.action("actionConductor_length_test")->isChecked());
    QVERIFY(rig.action("actionImport_storage")->isEnabled());
    QVERIFY(rig.action("actionExportToExcel")->isEnabled());
    QVERIFY(!rig.action("actionExportToPDF")->isEnabled());
    QVERIFY(!rig.action("actionAutomatic_measurement")->isEnabled());
}

// --- languages ---------------------------------------------------------------------

void TestWindow::languageChangeRetranslatesAndRestartsPolling()
{
    sim::InstrumentOptions options;
    options.dangerWhileDischarging = true;
    Rig rig(1, options);
    QVERIFY(rig.connectAndWait());
    auto* current = rig.get<QLabel>("label_TestedCurrentValue");
    QTRY_VERIFY_WITH_TIMEOUT(!current->text().isEmpty(), kWait);

    QMenu* menu = rig.get<QMenu>("menuLanguage");
    QCOMPARE(menu->actions().size(), 2);
    QAction* english = nullptr;
    QAction* chinese = nullptr;
    for (QAction* a : menu->actions())
        (a->data().toString() == QLatin1String("en") ? english : chinese) = a;
    QVERIFY(english && chinese);
    QCOMPARE(chinese->text(), QStringLiteral("简体中文"));

    QSignalSpy upperOpen(rig.window.get(), &MainWindow::informUpperOpenSignal);
    english->trigger();
    deliverLanguageChange();
    QCOMPARE(rig.action("actionConnect")->text(), QStringLiteral("Disconnect"));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("10A DC Resistance Tester"));
    QVERIFY(current->text().isEmpty());  // blanked ...
    QCOMPARE(rig.get<QComboBox>("comboBox_WireSquareValue_4")->itemText(3), QStringLiteral("2.5mm²"));
    QCOMPARE(upperOpen.count(), 1);  // ... polling restarted ...
    for (const char* name : kButtons)  // ... and a test can still be started
        QVERIFY2(rig.get<QPushButton>(name)->isEnabled(), name);
    QVERIFY(rig.pollingTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(!current->text().isEmpty(), kWait);  // ... and refilled
    QCOMPARE(rig.model("tableView_resTest")->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));

    // The danger picture follows the chosen language.
    emit rig.window->startTestingSignal(false);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QPushButton>("pushButton_Test")->styleSheet(),
                              QLatin1String(windowstyle::kRunningTestButton), kWait);
    rig.clock->advanceMs(10'000);
    emit rig.window->stopTestingSignal(false);
    QTRY_COMPARE_WITH_TIMEOUT(rig.get<QStackedWidget>("stackedWidget_Res")->currentIndex(), 1, kWait);
    QVERIFY(sameImage(rig.get<QLabel>("label_Danger")->pixmap(), windowstyle::kDangerPictureEnglish));
    rig.clock->advanceMs(100'000);

    // Choosing the language in force changes nothing.
    upperOpen.clear();
    english->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(upperOpen.count(), 0);

    chinese->trigger();
    deliverLanguageChange();
    QCOMPARE(rig.action("actionConnect")->text(), QStringLiteral("断开连接"));
    english->trigger();
    deliverLanguageChange();
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(rig.action("actionConnect")->text(), QStringLiteral("Disconnect"));

    // One spacer and the page buttons last on the tool bar.
    QToolBar* bar = rig.get<QToolBar>("toolBar");
    const QList<QAction*> entries = bar->actions();
    QVERIFY(entries.size() >= 4);
    QVERIFY(bar->widgetForAction(entries.at(entries.size() - 4))
            == bar->findChild<QWidget*>(QStringLiteral("toolBarPageSpacer")));
    QCOMPARE(entries.at(entries.size() - 3), rig.action("actionDc_resistance_test"));
    QCOMPARE(entries.at(entries.size() - 1), rig.action("actionStorage"));
    QCOMPARE(bar->findChildren<QWidget*>(QStringLiteral("toolBarPageSpacer")).size(), 1);

    chinese->trigger();  // leave the application in its source language
    deliverLanguageChange();
    QLocale::setDefault(QLocale::c());
}

void TestWindow::chineseUiFontsMapToAnInstalledFamily()
{
    const QString family = installChineseFontSubstitutes();
    if (family.isEmpty())
        QSKIP("no font for Simplified Chinese installed");
    QVERIFY(QFontDatabase().families(QFontDatabase::SimplifiedChinese).contains(family));
    for (const char* named : {"Microsoft YaHei UI", "Microsoft YaHei", "Microsoft Yahei"})
        QVERIFY2(QFont::substitutes(QLatin1String(named)).contains(family, Qt::CaseInsensitive), named);

    // Chinese text and the unit signs both leave ink with the forms' font.
    for (const QString& text : {QStringLiteral("电阻"), QStringLiteral("℃"), QStringLiteral("Ω"),
                                QStringLiteral("μ")})
        QVERIFY2(drawsInk(QFont(QStringLiteral("Microsoft YaHei UI"), 20), text), qPrintable(text));
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
