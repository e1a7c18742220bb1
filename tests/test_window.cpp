// The main window driven against simulated instruments in the same process:
// start-up state, connecting, live readings, test states, danger picture,
// status reports, losing the link, page switches and the language change.

#include "app/chinesefonts.h"
#include "testsupport/windowrig.h"
#include "app/windowstyles.h"

using namespace windowtest;

namespace {

const char* const kButtons[] = {"pushButton_Change", "pushButton_Test", "pushButton_Change_2", "pushButton_Test_2"};
// What a status report leaves behind.
enum Effect { Box = 1, ValuesShown = 2, RestartsPolling = 4, StaysConnected = 8, ImportEnabled = 16, PdfEnabled = 32 };

QString testButtonStyle(const Rig& rig) { return rig.get<QPushButton>("pushButton_Test")->styleSheet(); }

// Not connected: no polling, data actions and buttons disabled, the stored-data
// page open; connected and idle: the reverse. The settings stay read-only either way.
void verifyEnabled(const Rig& rig, bool connected)
{
    QCOMPARE(rig.pollingTimerActive(), connected);
    for (const char* name : kDataActions)
        QVERIFY2(rig.action(name)->isEnabled() == connected, name);
    for (const char* name : kButtons)
        QVERIFY2(rig.get<QPushButton>(name)->isEnabled() == connected, name);
    const QRegularExpression settingWidget(QStringLiteral("^(comboBox|spinBox|doubleSpinBox)_.*Value_[34]$"));
    const auto settings = rig.window->findChildren<QWidget*>(settingWidget);
    QCOMPARE(settings.size(), 15);
    for (QWidget* w : settings)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QCOMPARE(rig.action("actionStorage")->isEnabled(), !connected);
    QVERIFY(rig.action("actionConductor_length_test")->isEnabled());
}

bool valuesShown(const Rig& rig)
{
    auto* phase = rig.get<QComboBox>("comboBox_PhaseTypeValue_3");
    return !rig.text("label_TestedCurrentValue").isEmpty() && phase->currentIndex() >= 0;
}

}  // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    // --- start-up and connecting ---
    void startsNotConnectedOnTheDcPage()
    {
        Rig rig;
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
        QVERIFY(rig.action("actionDc_resistance_test")->isChecked());
        verifyEnabled(rig, false);
        QCOMPARE(rig.action("actionConnect")->text(), disconnectedText());

        // Page switches only change the page; the page shown stays checked.
        rig.action("actionConductor_length_test")->trigger();
        rig.action("actionConductor_length_test")->trigger();
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 1);
        QVERIFY(rig.action("actionConductor_length_test")->isChecked());
        rig.action("actionStorage")->trigger();
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 2);
        QVERIFY(!rig.action("actionConductor_length_test")->isChecked());
        QCoreApplication::processEvents();
        QCOMPARE(rig.instruments[0]->requestCount(), std::size_t(0));
    }

    void oneDeviceConnectsWithoutDialogOnce()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(!rig.window->findChild<QDialog*>());
        QVERIFY(rig.instruments[0]->upperOpen());
        verifyEnabled(rig, true);
        QCOMPARE(testButtonStyle(rig), QLatin1String(windowstyle::kIdleTestButton));

        // A second connected answer changes nothing: the state is built once.
        auto* convertedTemp = rig.get<QComboBox>("comboBox_ConvertedTempValue_3");
        QTRY_COMPARE_WITH_TIMEOUT(convertedTemp->currentText(), QStringLiteral("75℃"), kWait);
        rig.window->statusBar()->showMessage(QStringLiteral("marker"));
        rig.window->upperSwitchOnSlot();  // no events in between: only the slot could change anything
        QCOMPARE(rig.status(), QStringLiteral("marker"));
        QCOMPARE(convertedTemp->currentText(), QStringLiteral("75℃"));
    }

    void severalDevicesAreOfferedInTheDialog_data()
    {
        QTest::addColumn<int>("chosen");  // -1: Cancel
        QTest::newRow("OK on the second path") << 1;
        QTest::newRow("Cancel") << -1;
    }
    void severalDevicesAreOfferedInTheDialog()
    {
        QFETCH(int, chosen);
        Rig rig(2);
        auto requests = [&] { return rig.instruments[0]->requestCount() + rig.instruments[1]->requestCount(); };
        auto dialog = [&] { return rig.window->findChild<QDialog*>(); };
        rig.action("actionConnect")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(dialog(), kWait);
        auto* paths = dialog()->findChild<QComboBox*>();
        QCOMPARE(paths->count(), 2);
        QCOMPARE(paths->itemText(1), QStringLiteral("sim:1"));
        QCOMPARE(requests(), std::size_t(0));
        if (chosen < 0) {
            dialog()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog(), kWait);
            // A second detection is queued behind anything the first dialog
            // might have sent; once its dialog shows, nothing is on its way.
            rig.action("actionConnect")->trigger();
            QTRY_VERIFY_WITH_TIMEOUT(dialog(), kWait);
            QCOMPARE(requests(), std::size_t(0));
            return;
        }
        rig.action("actionConnect")->trigger();  // one dialog at a time
        rig.window->detectedDeviceSlot({QStringLiteral("sim:0"), QStringLiteral("sim:1")});
        QTest::qWait(100);
        QCOMPARE(rig.window->findChildren<QDialog*>().size(), 1);
        paths->setCurrentIndex(chosen);
        dialog()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(rig.waitForConnectText(connectedText()));
        QCOMPARE(rig.window->findChildren<QDialog*>().size(), 0);
        QVERIFY(rig.instruments[chosen]->upperOpen());
        QCOMPARE(rig.instruments[1 - chosen]->requestCount(), std::size_t(0));
    }

    // --- live readings and tests ---
    void pageFollowsTheInstrumentAndTheOperator()
    {
        Rig rig;
        QVERIFY(rig.connect());
        auto* pages = rig.get<QStackedWidget>("stackedWidget");

        rig.instruments[0]->setScreen(sim::Screen::LengthTest);
        QTRY_COMPARE_WITH_TIMEOUT(pages->currentIndex(), 1, kWait);
        QVERIFY(rig.action("actionConductor_length_test")->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(rig.get<QComboBox>("comboBox_WireSquareValue_4")->currentText(),
                                  QStringLiteral("2.5平方"), kWait);

        // The operator's page choice is told to the instrument step by step.
        QStringList steps;
        MainWindow* w = rig.window.get();
        connect(w, &MainWindow::changeReadTypeSignal, w, [&](int t) { steps << QStringLiteral("type %1").arg(t); });
        connect(w, &MainWindow::cancelUiUpdateSignal, w, [&] { steps << QStringLiteral("one reading"); });
        connect(w, &MainWindow::informUpperOpenSignal, w, [&] { steps << QStringLiteral("upper open"); });
        rig.action("actionConductor_length_test")->trigger();  // already shown: nothing
        rig.action("actionDc_resistance_test")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 4, kWait);
        QCOMPARE(steps.join(QLatin1Char(',')), QStringLiteral("type 0,one reading,upper open,type 2"));
        QTRY_VERIFY_WITH_TIMEOUT(rig.instruments[0]->screen() == sim::Screen::DcTest, kWait);
        QVERIFY(rig.waitForPolls(3));  // the window stays with the instrument's DC screen
        QCOMPARE(pages->currentIndex(), 0);
        QVERIFY(rig.action("actionDc_resistance_test")->isChecked());
    }

    // Idle, testing, dangerous discharge and finished follow the readings; the
    // danger picture is the one of the interface language, fitted to the live
    // values' place, and (in Chinese) moves nothing.
    void testCycleFollowsTheReadings_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Chinese") << QStringLiteral("zh");
        QTest::newRow("English") << QStringLiteral("en");
    }
    void testCycleFollowsTheReadings()
    {
        QFETCH(QString, language);
        Rig rig;
        rig.instruments[0]->setDangerWhileDischarging(true);
        QVERIFY(rig.connect());
        rig.chooseLanguage(language);
        auto* status = rig.get<QLabel>("label_testStatus");
        QTRY_VERIFY_WITH_TIMEOUT(valuesShown(rig), kWait);
        QVERIFY(status->text().isEmpty());  // idle: no test state to tell
        auto* settings = rig.get<QWidget>("groupBox_MeasurementSetting_3");
        auto* table = rig.get<QWidget>("tableView_resTest");
        const QRect settingsBefore = settings->geometry(), tableBefore = table->geometry();

        emit rig.window->startTestingSignal(false);
        QTRY_COMPARE_WITH_TIMEOUT(testButtonStyle(rig), QLatin1String(windowstyle::kRunningTestButton), kWait);
        QVERIFY(!status->text().isEmpty());
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(210, 0, 22));
        QVERIFY(!rig.get<QPushButton>("pushButton_Change")->isEnabled());
        QVERIFY(!rig.action("actionConductor_length_test")->isEnabled());
        for (const char* name : kDataActions)
            QVERIFY2(!rig.action(name)->isEnabled(), name);
        QStandardItemModel* rows = rig.model("tableView_resTest");

        // Over range while the test runs: the last value in range stays.
        rig.clock->advanceMs(10'000);  // charged
        QTRY_VERIFY_WITH_TIMEOUT(rig.text("label_TestedResistanceValue").contains(QStringLiteral("mΩ")), kWait);
        rig.instruments[0]->setDcSampleOhms(50.0);  // far above the 10 A range
        QTRY_VERIFY_WITH_TIMEOUT(rig.text("label_ConvertedResistanceValue").startsWith(QLatin1Char('-')), kWait);
        const QString held = rig.text("label_TestedResistanceValue");
        QVERIFY2(held.contains(QStringLiteral("mΩ")) && !held.startsWith(QLatin1Char('>')), qPrintable(held));
        QVERIFY(rig.waitForPolls(3));
        QCOMPARE(rig.text("label_TestedResistanceValue"), held);

        emit rig.window->stopTestingSignal(false);  // 10 A discharging: dangerous
        auto* live = rig.get<QStackedWidget>("stackedWidget_Res");
        QTRY_COMPARE_WITH_TIMEOUT(live->currentIndex(), 1, kWait);
        auto* label = rig.get<QLabel>("label_Danger");
        const QPixmap shown = label->pixmap(Qt::ReturnByValue);
        const char* picture = language == QLatin1String("en") ? windowstyle::kDangerPictureEnglish
                                                               : windowstyle::kDangerPictureChinese;
        const QPixmap fitted = QPixmap(QLatin1String(picture))
                                   .scaled(label->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QVERIFY(!shown.isNull() && shown.toImage() == fitted.toImage());
        QCoreApplication::processEvents();  // in the live values' place: nothing else moves
        if (language == QLatin1String("zh")) {  // the English texts widen the live values as the test runs
            QCOMPARE(settings->geometry(), settingsBefore);
            QCOMPARE(table->geometry(), tableBefore);
        }
        QVERIFY(rig.status().isEmpty());

        rig.clock->advanceMs(100'000);  // discharged
        QTRY_COMPARE_WITH_TIMEOUT(testButtonStyle(rig), QLatin1String(windowstyle::kIdleTestButton), kWait);
        QCOMPARE(live->currentIndex(), 0);
        verifyEnabled(rig, true);
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->item(0, 13)->text(), held);  // the row copies the labels of the first idle reading
        QVERIFY(rig.waitForPolls(10));
        QCOMPARE(rows->rowCount(), 1);  // further idle readings append nothing
        QVERIFY(rig.text("label_TestedResistanceValue").startsWith(QLatin1Char('>')));  // idle: shown as it comes
        rig.chooseLanguage(QStringLiteral("zh"));
    }

    // --- status reports and losing the link ---
    void statusReportsReactByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("effects");
        const int idle = StaysConnected | ImportEnabled | PdfEnabled;  // polling goes on
        QTest::newRow("0 information") << 0 << true << (idle | ValuesShown);
        QTest::newRow("1 reading failed") << 1 << true << idle;
        QTest::newRow("2 stored data") << 2 << true << (Box | ValuesShown | StaysConnected | ImportEnabled);
        QTest::newRow("2 not connected") << 2 << false << int(Box);
        QTest::newRow("3 refused") << 3 << true << (idle | ValuesShown | RestartsPolling);
        QTest::newRow("3 not connected") << 3 << false << 0;
        QTest::newRow("4 link failed") << 4 << true << 0;
        QTest::newRow("5 stored record") << 5 << true << (idle | ValuesShown | Box);
        QTest::newRow("9 unknown") << 9 << true << (idle | ValuesShown);
    }
    void statusReportsReactByType()
    {
        QFETCH(int, type);
        QFETCH(bool, connected);
        QFETCH(int, effects);
        Rig rig;
        if (connected)
            QVERIFY(rig.connect());
        QSignalSpy upperOpen(rig.window.get(), &MainWindow::informUpperOpenSignal);
        rig.window->stateProcessingSlot(QStringLiteral("message"), type);
        QCOMPARE(rig.status(), type == 4 ? QStringLiteral("未连接") : QStringLiteral("message"));  // replaced on 4
        const bool box = effects & Box;
        QCOMPARE(rig.boxTexts, box ? QStringList{QStringLiteral("message")} : QStringList());
        QCOMPARE(rig.boxTitles, box ? QStringList{QString()} : QStringList());
        QCOMPARE(valuesShown(rig), bool(effects & ValuesShown));
        QCOMPARE(upperOpen.count(), effects & RestartsPolling ? 1 : 0);
        const bool staysConnected = effects & StaysConnected;
        QCOMPARE(rig.action("actionConnect")->text(), staysConnected ? connectedText() : disconnectedText());
        QCOMPARE(rig.pollingTimerActive(), staysConnected);
        QCOMPARE(rig.action("actionImport_storage")->isEnabled(), bool(effects & ImportEnabled));
        QCOMPARE(rig.action("actionExportToPDF")->isEnabled(), bool(effects & PdfEnabled));
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
        if (staysConnected)  // the next valid reading fills the values (again)
            QTRY_VERIFY_WITH_TIMEOUT(valuesShown(rig), kWait);
    }

    void losingTheLinkReturnsToNotConnected_data()
    {
        QTest::addColumn<bool>("silence");  // else the operator disconnects
        QTest::addColumn<QString>("status");
        QTest::newRow("disconnect") << false << QStringLiteral("设备未连接");
        QTest::newRow("instrument stops answering") << true << QStringLiteral("未连接");
    }
    void losingTheLinkReturnsToNotConnected()
    {
        QFETCH(bool, silence);
        QFETCH(QString, status);
        Rig rig;
        QVERIFY(rig.connect());
        sim::Faults faults;
        faults.silent = silence;
        rig.instruments[0]->setFaults(faults);
        if (!silence)
            rig.action("actionConnect")->trigger();
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), status, kWait);
        QVERIFY(rig.text("label_TestedCurrentValue").isEmpty());
        verifyEnabled(rig, false);
        QCOMPARE(testButtonStyle(rig), QLatin1String(windowstyle::kIdleTestButton));
        if (!silence)
            QVERIFY(rig.connect());  // the threads still run
    }

    // --- languages ---
    void languageChangeRetranslatesAndRestartsPolling()
    {
        Rig rig;
        QVERIFY(rig.connect());

        QSignalSpy upperOpen(rig.window.get(), &MainWindow::informUpperOpenSignal);
        rig.chooseLanguage(QStringLiteral("en"));
        QCOMPARE(rig.action("actionConnect")->text(), QStringLiteral("Disconnect"));
        QVERIFY(rig.text("label_TestedCurrentValue").isEmpty());  // blanked ...
        QCOMPARE(rig.get<QComboBox>("comboBox_WireSquareValue_4")->itemText(3), QStringLiteral("2.5mm²"));
        QCOMPARE(upperOpen.count(), 1);  // ... polling restarted ...
        QTRY_VERIFY_WITH_TIMEOUT(valuesShown(rig), kWait);  // ... and refilled
        verifyEnabled(rig, true);

        rig.chooseLanguage(QStringLiteral("zh"));
        QCOMPARE(rig.action("actionConnect")->text(), connectedText());
        QCOMPARE(rig.get<QToolBar>("toolBar")->actions().count(rig.action("actionStorage")), 1);  // not added twice
    }

    // The families the forms name map to the installed Chinese family.
    void chineseFormFontsMapToAnInstalledFamily()
    {
        const QString family = installChineseFontSubstitutes();
        if (family.isEmpty())
            QSKIP("no font for Simplified Chinese installed");
        Rig rig;
        const QString named = rig.get<QLabel>("label_TestedCurrentValue")->font().family();
        QVERIFY(QFont::substitutes(named).contains(family, Qt::CaseInsensitive));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
