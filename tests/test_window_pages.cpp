// The two test pages driven as an operator drives them, against the simulated
// instrument in the same process: edit mode, the settings each edit sends, the
// standard value rules, start and stop, the result tables' buttons, and the
// page layout.

#include "link/settingsframes.h"
#include "testsupport/windowrig.h"
#include "app/windowstyles.h"

#include <QTextEdit>

using namespace windowtest;
using protocol::Bytes;

namespace {

const QString kAccepted = QStringLiteral("更新测量设置成功");
const QString kNotConnected = QStringLiteral("设备未连接");

struct PagesRig : Rig {
    QPushButton* button(const char* name) const { return get<QPushButton>(name); }

    // The settings frames the instrument received for one page, oldest first.
    std::vector<Bytes> settingsFrames(bool lengthPage) const
    {
        std::vector<Bytes> frames;
        const auto action = lengthPage ? protocol::GroupAction::LengthSettings : protocol::GroupAction::DcSettings;
        for (const Bytes& r : instrument().requestLog())
            if (r.size() > 6 && r[4] == quint8(protocol::Command::Group) && r[5] == quint8(action))
                frames.push_back(r);
        return frames;
    }
    bool connectOnPage(bool lengthPage) { return connect() && (!lengthPage || toPage(true)); }
    bool editing(bool lengthPage) const
    {
        const char* change = lengthPage ? "pushButton_Change_2" : "pushButton_Change";
        return button(change)->styleSheet() == QLatin1String(windowstyle::kEditingUpdateButton)
               && get<QWidget>("comboBox_CurrentSettingValue_3")->isEnabled()
               && get<QWidget>("spinBox_SampleNoValue_4")->isEnabled() && !pollingTimerActive();
    }
    // A press during a page switch acts when the switch ends.
    bool enterEditMode(bool lengthPage)
    {
        button(lengthPage ? "pushButton_Change_2" : "pushButton_Change")->click();
        return QTest::qWaitFor([&] { return editing(lengthPage); }, kWait);
    }
    // What the operator's choice of an entry does: the index changes, then activated.
    void choose(const char* list, int index) const
    {
        auto* box = get<QComboBox>(list);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Starts a test with the page's button and waits until the instrument runs it.
    bool startTest(bool lengthPage)
    {
        button(lengthPage ? "pushButton_Test_2" : "pushButton_Test")->click();
        return QTest::qWaitFor([this] { return instrument().phase() == sim::Phase::Charging; }, kWait)
               && QTest::qWaitFor([&] { return testRunningShown(lengthPage); }, kWait);
    }
    bool testRunningShown(bool lengthPage) const
    {
        return button(lengthPage ? "pushButton_Test_2" : "pushButton_Test")->styleSheet()
               == QLatin1String(windowstyle::kRunningTestButton);
    }
    // Start, charge, stop with the button, discharge: one finished test.
    bool finishTest(bool lengthPage)
    {
        if (!startTest(lengthPage))
            return false;
        clock->advanceMs(10'000);
        button(lengthPage ? "pushButton_Test_2" : "pushButton_Test")->click();
        if (!QTest::qWaitFor([this] { return instrument().phase() == sim::Phase::Discharging; }, kWait))
            return false;
        clock->advanceMs(100'000);
        return QTest::qWaitFor([&] { return !testRunningShown(lengthPage); }, kWait);
    }
};

QStandardItemModel* resultModel(const Rig& rig, bool lengthPage)
{
    return rig.model(lengthPage ? "tableView_lengthTest" : "tableView_resTest");
}

void clickCell(QTableView* view, int row, int column)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, column)).center());
}

}  // namespace

class TestWindowPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    // --- edit mode ---
    void editModeOpensTheSettingsAndPausesPolling_data()
    {
        QTest::addColumn<bool>("lengthPage");
        QTest::addColumn<int>("leaveBy");  // 0 the change button, 1 the test button, 2 disconnecting
        QTest::newRow("DC, change button") << false << 0;
        QTest::newRow("DC, test start") << false << 1;
        QTest::newRow("length, change button") << true << 0;
        QTest::newRow("length, test start") << true << 1;
        QTest::newRow("DC, disconnect") << false << 2;
    }
    void editModeOpensTheSettingsAndPausesPolling()
    {
        QFETCH(bool, lengthPage);
        QFETCH(int, leaveBy);
        PagesRig rig;
        QVERIFY(rig.connectOnPage(lengthPage));
        rig.window->statusBar()->showMessage(QStringLiteral("old message"));
        QVERIFY(rig.enterEditMode(lengthPage));
        QVERIFY(rig.status().isEmpty());
        QVERIFY(rig.action("actionDc_resistance_test")->isEnabled());
        // The standard value follows its setting: editable only as a set value.
        QVERIFY(rig.get<QWidget>("doubleSpinBox_StandardValue_4")->isEnabled());

        const char* change = lengthPage ? "pushButton_Change_2" : "pushButton_Change";
        switch (leaveBy) {
        case 0:
            rig.button(change)->click();
            break;
        case 1:
            QVERIFY(rig.startTest(lengthPage));
            QVERIFY(!rig.button(change)->isEnabled());
            break;
        default:
            QVERIFY(rig.disconnect());
            break;
        }
        QCOMPARE(rig.button(change)->styleSheet(), QLatin1String(windowstyle::kUpdateButton));
        QVERIFY(!rig.get<QWidget>("comboBox_CurrentSettingValue_3")->isEnabled());
        QVERIFY(!rig.get<QWidget>("doubleSpinBox_StandardValue_4")->isEnabled());
        QCOMPARE(rig.pollingTimerActive(), leaveBy != 2);
        if (leaveBy == 2)
            return;
        // A spin box that had the focus loses it as the mode ends: that is no edit.
        QCOMPARE(rig.settingsFrames(false).size() + rig.settingsFrames(true).size(), std::size_t(0));
    }

    // Without an instrument every button and edit only says so.
    void pressesWhileNotConnectedChangeNothing_data()
    {
        QTest::addColumn<QString>("slot");
        for (const char* slot : {"on_pushButton_Change_clicked", "on_pushButton_Change_2_clicked",
                                 "on_pushButton_Test_clicked", "on_pushButton_Test_2_clicked",
                                 "on_spinBox_ConductorNoValue_3_editingFinished",
                                 "on_doubleSpinBox_StandardValue_4_editingFinished",
                                 "on_spinBox_SampleNoValue_4_editingFinished"})
            QTest::newRow(slot) << QString::fromLatin1(slot);
    }
    void pressesWhileNotConnectedChangeNothing()
    {
        QFETCH(QString, slot);
        PagesRig rig;
        const QString changeStyle = rig.button("pushButton_Change")->styleSheet();
        QSignalSpy starts(rig.window.get(), &MainWindow::startTestingSignal);
        QSignalSpy stops(rig.window.get(), &MainWindow::stopTestingSignal);
        QSignalSpy frames(rig.window.get(), &MainWindow::updateTestSettingSignal);
        QSignalSpy polling(rig.window.get(), &MainWindow::informUpperOpenSignal);
        QVERIFY(QMetaObject::invokeMethod(rig.window.get(), qPrintable(slot)));
        QCOMPARE(rig.status(), kNotConnected);
        QCOMPARE(starts.count() + stops.count() + frames.count() + polling.count(), 0);
        for (const char* name : {"pushButton_Change", "pushButton_Change_2"})
            QCOMPARE(rig.button(name)->styleSheet(), changeStyle);
        QVERIFY(!rig.get<QWidget>("spinBox_ConductorNoValue_3")->isEnabled());
        QVERIFY(!rig.pollingTimerActive());
        QCoreApplication::processEvents();
        QCOMPARE(rig.instrument().requestCount(), std::size_t(0));
    }

    // --- sending the settings ---
    // The first frame an edit of the DC page sends, byte for byte, and its
    // arrival as the instrument's settings once polling resumes.
    void dcEditSendsTheWholePageAndTheInstrumentTakesIt()
    {
        PagesRig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.enterEditMode(false));
        rig.choose("comboBox_ConductorMaterialValue_3", 1);
        rig.choose("comboBox_ConvertedTempValue_3", 1);
        rig.choose("comboBox_PhaseTypeValue_3", 5);
        rig.choose("comboBox_WindingValue_3", 1);
        auto* temperature = rig.get<QDoubleSpinBox>("doubleSpinBox_ConductorTempValue_3");
        temperature->setValue(-0.1);
        emit temperature->editingFinished();
        QTRY_COMPARE_WITH_TIMEOUT(rig.settingsFrames(false).size(), std::size_t(5), kWait);
        // Aluminium, 10 A, 115℃, tap 01, BC, high voltage, conductor 1, -0.1℃.
        const Bytes expected{0xAB, 0xCD, 0x00, 0x12, 0x01, 0x00, 0x01, 0x13, 0x73, 0x01, 0x06,
                             0x01, 0x00, 0x01, 0xBD, 0xCC, 0xCC, 0xCD, 0x00, 0x00, 0x03, 0xB3};
        QCOMPARE(rig.settingsFrames(false).back(), expected);
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), kAccepted, kWait);

        rig.get<QPushButton>("pushButton_Change")->click();  // back to polling: the next reading carries them
        rig.get<QComboBox>("comboBox_PhaseTypeValue_3")->setCurrentIndex(0);
        QTRY_COMPARE_WITH_TIMEOUT(rig.get<QComboBox>("comboBox_PhaseTypeValue_3")->currentText(),
                                  QStringLiteral("BC"), kWait);
        QCOMPARE(temperature->text(), QStringLiteral("-0.10℃"));
        QCOMPARE(rig.get<QComboBox>("comboBox_ConvertedTempValue_3")->currentText(), QStringLiteral("115℃"));
        QCOMPARE(rig.get<QComboBox>("comboBox_ConductorMaterialValue_3")->currentText(), QStringLiteral("铝"));
    }

    // Only an operator's choice sends: the already selected entry chosen again
    // sends again, an index the program sets sends nothing.
    void onlyTheOperatorsChoiceSends()
    {
        PagesRig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.enterEditMode(false));
        QSignalSpy frames(rig.window.get(), &MainWindow::updateTestSettingSignal);
        auto* current = rig.get<QComboBox>("comboBox_CurrentSettingValue_3");
        current->setCurrentIndex(3);
        rig.get<QSpinBox>("spinBox_TappingValue_3")->setValue(7);
        QCOMPARE(frames.count(), 0);
        emit current->activated(current->currentIndex());
        emit current->activated(current->currentIndex());
        QCOMPARE(frames.count(), 2);
        QCOMPARE(frames.at(1).at(0).toByteArray(), frames.at(0).at(0).toByteArray());
        QTest::keyClick(current, Qt::Key_Down);  // the keyboard is the operator too
        QCOMPARE(frames.count(), 3);
        QCOMPARE(quint8(frames.at(2).at(0).toByteArray().at(7)), quint8(4));
        QCOMPARE(quint8(frames.at(2).at(0).toByteArray().at(9)), quint8(7));
    }

    // The instrument refuses a current the battery cannot drive: the edit mode
    // ends and the next reading writes the instrument's own settings back.
    void refusedUpdateEndsEditModeWithTheInstrumentsSettings()
    {
        PagesRig rig;
        QVERIFY(rig.connect());
        rig.instrument().setBatteryCells(1);  // 400 mA at most
        QVERIFY(rig.enterEditMode(false));
        rig.choose("comboBox_CurrentSettingValue_3", 11);  // 2 A
        QTRY_VERIFY_WITH_TIMEOUT(rig.status().startsWith(QStringLiteral("更新测量设置失败")), kWait);
        QVERIFY(rig.pollingTimerActive());
        QCOMPARE(rig.button("pushButton_Change")->styleSheet(), QLatin1String(windowstyle::kUpdateButton));
        QVERIFY(!rig.get<QWidget>("comboBox_CurrentSettingValue_3")->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rig.get<QComboBox>("comboBox_CurrentSettingValue_3")->currentText(),
                                  QStringLiteral("10A"), kWait);
    }

    // --- the length page's standard value ---
    void standardValueRoundTrip_data()
    {
        QTest::addColumn<bool>("instrumentMeasures");  // the instrument starts in "测试值"
        QTest::addColumn<QString>("restored");
        QTest::newRow("set value of the instrument") << false << "6.900mΩ";
        QTest::newRow("never set: the first set value") << true << "100.000μΩ";
    }
    void standardValueRoundTrip()
    {
        QFETCH(bool, instrumentMeasures);
        PagesRig rig;
        if (instrumentMeasures) {
            protocol::LengthSettings measured;
            measured.wireSquare = 2.5f;
            measured.standardModeIndex = 1;
            QVERIFY(!rig.instrument().handle(protocol::buildLengthSettingsFrame(measured)).empty());
            rig.instrument().clearRequestLog();
        }
        QVERIFY(rig.connectOnPage(true) && rig.enterEditMode(true));
        auto* value = rig.get<QDoubleSpinBox>("doubleSpinBox_StandardValue_4");
        auto* unit = rig.get<QComboBox>("comboBox_StandardUnitValue_4");
        auto shownStandard = [&] { return value->text() + unit->currentText(); };
        QCOMPARE(value->isEnabled(), !instrumentMeasures);

        rig.choose("comboBox_StandardSettingValue_4", 1);
        QCOMPARE(shownStandard(), QStringLiteral("0.000μΩ"));
        QVERIFY(!value->isEnabled() && !unit->isEnabled());
        emit value->editingFinished();  // in "测试值" an edit of the value sends nothing
        QTRY_COMPARE_WITH_TIMEOUT(rig.settingsFrames(true).size(), std::size_t(1), kWait);

        rig.choose("comboBox_StandardSettingValue_4", 0);
        QTEST(shownStandard(), "restored");
        QVERIFY(value->isEnabled() && unit->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(rig.status(), kAccepted, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(rig.settingsFrames(true).size(), std::size_t(2), kWait);
    }

    // In μΩ the lowest set value is 100 (99 shows blank); in mΩ it is 0.
    void standardMinimumFollowsTheUnit()
    {
        PagesRig rig;
        QVERIFY(rig.connectOnPage(true) && rig.enterEditMode(true));
        auto* value = rig.get<QDoubleSpinBox>("doubleSpinBox_StandardValue_4");
        rig.choose("comboBox_StandardUnitValue_4", 0);
        QCOMPARE(value->minimum(), 99.0);
        value->setValue(0.0);
        QCOMPARE(value->text(), QStringLiteral(" "));
        value->stepUp();
        QCOMPARE(value->text(), QStringLiteral("100.000"));
        rig.choose("comboBox_StandardUnitValue_4", 1);
        QCOMPARE(value->minimum(), -1.0);
        value->setValue(0.0);
        QCOMPARE(value->text(), QStringLiteral("0.000"));
        emit value->editingFinished();
        QTRY_COMPARE_WITH_TIMEOUT(rig.settingsFrames(true).size(), std::size_t(3), kWait);
    }

    // --- display rules of the spin boxes ---
    // Shown as each value follows the one before.
    void prefixesShowTwoDigitTapsAndSignedTemperatures()
    {
        PagesRig rig;
        auto* tap = rig.get<QSpinBox>("spinBox_TappingValue_3");
        auto* temperature = rig.get<QDoubleSpinBox>("doubleSpinBox_ConductorTempValue_3");
        QStringList shown;
        for (int value : {50, 5, 10, -1, 99}) {
            tap->setValue(value);
            shown << tap->text();
        }
        tap->stepUp();  // wraps to blank
        shown << tap->text();
        for (double value : {-20.0, 0.0, -0.1}) {
            temperature->setValue(value);
            shown << temperature->text();
        }
        QCOMPARE(shown, (QStringList{"50", "05", "10", " ", "99", " ", "-20.00℃", "+0.00℃", "-0.10℃"}));
    }

    // --- tests and result rows ---
    // The page's clear button empties its table (the header and the remark
    // stay), and the next finished test is row one, carrying the remark.
    void clearThenStartAndStopFromEachPage_data()
    {
        QTest::addColumn<bool>("lengthPage");
        QTest::newRow("DC") << false;
        QTest::newRow("length") << true;
    }
    void clearThenStartAndStopFromEachPage()
    {
        QFETCH(bool, lengthPage);
        PagesRig rig;
        QVERIFY(rig.connectOnPage(lengthPage));
        rig.get<QTextEdit>(lengthPage ? "textEdit_Remark_2" : "textEdit_Remark")->setPlainText(QStringLiteral("T1"));
        QStandardItemModel* rows = resultModel(rig, lengthPage);
        fillRows(rows, 3);
        rig.button(lengthPage ? "pushButton_clear2" : "pushButton_clear")->click();
        QCOMPARE(rows->rowCount(), 0);
        QCOMPARE(rows->headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
        QSignalSpy starts(rig.window.get(), &MainWindow::startTestingSignal);
        QSignalSpy stops(rig.window.get(), &MainWindow::stopTestingSignal);
        QVERIFY(rig.finishTest(lengthPage));
        const QList<QVariantList> oneOnThisPage{QVariantList{lengthPage}};
        QCOMPARE(QList<QVariantList>(starts), oneOnThisPage);
        QCOMPARE(QList<QVariantList>(stops), oneOnThisPage);
        QVERIFY(rig.waitForPolls(5));
        QCOMPARE(rows->rowCount(), 1);  // exactly one row per finished test
        QCOMPARE(rows->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(rows->index(0, rows->columnCount() - 1).data().toString(), QStringLiteral("T1"));
        QCOMPARE(resultModel(rig, !lengthPage)->rowCount(), 0);
    }

    void deleteRemovesWholeSelectedRowsAndRenumbers_data()
    {
        QTest::addColumn<bool>("lengthPage");
        QTest::addColumn<QList<int>>("selected");  // rows in the order chosen; -1: a click on a cell of row 2
        QTest::addColumn<QList<int>>("left");  // as numbered before the delete
        const QList<int> all{1, 2, 3, 4, 5};
        QTest::newRow("rows 2 and 4") << false << QList<int>{1, 3} << QList<int>{1, 3, 5};
        QTest::newRow("rows 4 then 2") << true << QList<int>{3, 1} << QList<int>{1, 3, 5};
        QTest::newRow("first and last") << false << QList<int>{0, 4} << QList<int>{2, 3, 4};
        QTest::newRow("a cell clicked, DC") << false << QList<int>{-1} << QList<int>{1, 3, 4, 5};
        QTest::newRow("a cell clicked, length") << true << QList<int>{-1} << QList<int>{1, 3, 4, 5};
        QTest::newRow("nothing") << true << QList<int>{} << all;
    }
    void deleteRemovesWholeSelectedRowsAndRenumbers()
    {
        QFETCH(bool, lengthPage);
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, left);
        PagesRig rig;
        QStandardItemModel* model = resultModel(rig, lengthPage);
        fillRows(model, 5);
        const char* view = lengthPage ? "tableView_lengthTest" : "tableView_resTest";
        rig.get<QStackedWidget>("stackedWidget")->setCurrentIndex(lengthPage ? 1 : 0);
        if (selected == QList<int>{-1})
            clickCell(rig.get<QTableView>(view), 1, 2);
        else
            rig.selectRows(view, selected);
        rig.button(lengthPage ? "pushButton_delete2" : "pushButton_delete")->click();
        QCOMPARE(rig.questions.size(), selected.isEmpty() ? 0 : 1);
        if (selected.isEmpty())
            QCOMPARE(rig.status(), QStringLiteral("请先点击要删除的行"));
        QStringList kept, numbers;
        for (int row : left) {
            kept << QStringLiteral("格%1-1").arg(row);
            numbers << QString::number(numbers.size() + 1);
        }
        QCOMPARE(columnTexts(cellTexts(model), 1), kept);
        QCOMPARE(columnTexts(cellTexts(model), 0), numbers);
    }

    // Delete and Clear ask first, naming how many rows go and, for Clear,
    // where they stay; "no" leaves the table as it was.
    void deleteAndClearAskFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("left");
        const QString deleteTwo = QStringLiteral("删除所选的 2 行？删除的行不能恢复。");
        const QString clearFive = QStringLiteral("清除表中全部 5 行？这些行仍保留在历史记录中（查看 ▸ 历史记录）。");
        QTest::newRow("delete, yes") << "pushButton_delete2" << true << deleteTwo << 3;
        QTest::newRow("delete, no") << "pushButton_delete2" << false << deleteTwo << 5;
        QTest::newRow("clear, yes") << "pushButton_clear2" << true << clearFive << 0;
        QTest::newRow("clear, no") << "pushButton_clear2" << false << clearFive << 5;
    }
    void deleteAndClearAskFirst()
    {
        QFETCH(QString, button);
        QFETCH(bool, yes);
        QFETCH(QString, question);
        QFETCH(int, left);
        PagesRig rig;
        QStandardItemModel* model = resultModel(rig, true);
        fillRows(model, 5);
        rig.selectRows("tableView_lengthTest", {1, 3});
        rig.answerYes = yes;
        rig.button(qPrintable(button))->click();
        QCOMPARE(rig.questions, QStringList{question});
        QCOMPARE(model->rowCount(), left);
    }

    // A click on any cell selects its whole row, on the result tables and on
    // the stored-data table alike.
    void aCellClickSelectsItsRow_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("view");
        QTest::newRow("DC results") << 0 << "tableView_resTest";
        QTest::newRow("length results") << 1 << "tableView_lengthTest";
        QTest::newRow("stored data") << 2 << "tableView";
    }
    void aCellClickSelectsItsRow()
    {
        QFETCH(int, page);
        QFETCH(QString, view);
        PagesRig rig;
        if (page == 2) {
            rig.instrument().setStoredRecordCount(4);
            QVERIFY(rig.connect());
            QVERIFY(rig.importAndWait());
        } else {
            fillRows(resultModel(rig, page == 1), 4);
            rig.get<QStackedWidget>("stackedWidget")->setCurrentIndex(page);
        }
        auto* table = rig.get<QTableView>(qPrintable(view));
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), page);
        clickCell(table, 2, 2);
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().row(), 2);
    }

    // The record button flips its flag; a finished test shows a hidden table
    // without touching the flag, so the next press only turns the arrow.
    void recordButtonAndTheHiddenTableAppendRule()
    {
        PagesRig rig;
        QVERIFY(rig.connect());
        auto* view = rig.get<QTableView>("tableView_resTest");
        auto* record = rig.get<QToolButton>("toolButton_record");
        QCOMPARE(record->arrowType(), Qt::DownArrow);
        record->click();
        QVERIFY(view->isHidden());
        QCOMPARE(record->arrowType(), Qt::DownArrow);
        QVERIFY(rig.finishTest(false));
        QTRY_COMPARE_WITH_TIMEOUT(resultModel(rig, false)->rowCount(), 1, kWait);
        QVERIFY(!view->isHidden());
        record->click();
        QVERIFY(!view->isHidden());
        QCOMPARE(record->arrowType(), Qt::RightArrow);
        record->click();
        QVERIFY(view->isHidden());
        QCOMPARE(record->arrowType(), Qt::DownArrow);
        QVERIFY(!rig.get<QTableView>("tableView_lengthTest")->isHidden());  // each page has its own
    }

    // --- the mends around the pages ---
    // A change pressed while a page switch runs takes effect after it instead
    // of being ended by the switch's restart of polling.
    void editModeEnteredDuringAPageSwitchSurvivesIt()
    {
        PagesRig rig;
        QVERIFY(rig.connect());
        rig.action("actionConductor_length_test")->trigger();
        rig.button("pushButton_Change")->click();
        QTRY_VERIFY_WITH_TIMEOUT(rig.get<QStackedWidget>("stackedWidget")->currentIndex() == 1 && rig.editing(false),
                                 kWait);
        QTest::qWait(100);
        QVERIFY(rig.editing(false));
    }

    // The measured value is what the operator looks for: after every test the
    // newest row's measured cell is whole in the table's view at the first
    // window size, also when the table was cleared and refilled.
    void newestMeasuredValueStaysInSight_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("lengthPage");
        QTest::newRow("DC, Chinese") << "zh" << false;
        QTest::newRow("DC, English") << "en" << false;
        QTest::newRow("length, Chinese") << "zh" << true;
    }
    void newestMeasuredValueStaysInSight()
    {
        QFETCH(QString, language);
        QFETCH(bool, lengthPage);
        PagesRig rig;
        QVERIFY(rig.connectOnPage(lengthPage));
        rig.chooseLanguage(language);
        rig.get<QTextEdit>(lengthPage ? "textEdit_Remark_2" : "textEdit_Remark")->setPlainText("1号变压器 高压侧");
        auto* view = rig.get<QTableView>(lengthPage ? "tableView_lengthTest" : "tableView_resTest");
        const auto measuredCell = [&] {
            const int row = view->model()->rowCount() - 1;
            const int measured = view->model()->columnCount() - 2;  // the remark comes last
            return view->visualRect(view->model()->index(row, measured));
        };
        const auto measuredCellInSight = [&] { return view->viewport()->rect().contains(measuredCell()); };
        for (int round = 0; round < 2; ++round) {
            for (int test = 0; test < 6; ++test) {
                // One reading over range in the first round widens the columns the second narrows.
                rig.instrument().setDcSampleOhms(round == 0 && test == 1 ? 50.0 : 0.012345);
                QVERIFY(rig.finishTest(lengthPage));
                QVERIFY2(QTest::qWaitFor(measuredCellInSight, 2000),
                         qPrintable(QStringLiteral("round %1, row %2: measured cell %3, viewport %4 wide")
                                        .arg(round)
                                        .arg(view->model()->rowCount())
                                        .arg(measuredCell().x())
                                        .arg(view->viewport()->width())));
            }
            rig.button(lengthPage ? "pushButton_clear2" : "pushButton_clear")->click();
            QCOMPARE(view->model()->rowCount(), 0);
        }
    }

    // At the window's first size five result rows show on either page, in
    // either language, and the remark box is whole.
    void fiveResultRowsShowAtTheDefaultSize_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("lengthPage");
        QTest::newRow("DC, Chinese") << "zh" << false;
        QTest::newRow("length, Chinese") << "zh" << true;
        QTest::newRow("DC, English") << "en" << false;
        QTest::newRow("length, English") << "en" << true;
    }
    void fiveResultRowsShowAtTheDefaultSize()
    {
        QFETCH(QString, language);
        QFETCH(bool, lengthPage);
        PagesRig rig;
        rig.chooseLanguage(language);
        rig.get<QStackedWidget>("stackedWidget")->setCurrentIndex(lengthPage ? 1 : 0);
        QCOMPARE(rig.window->size(), QSize(1257, 682));
        QStandardItemModel* model = resultModel(rig, lengthPage);
        fillRows(model, 5);
        QCoreApplication::processEvents();
        auto* view = rig.get<QTableView>(lengthPage ? "tableView_lengthTest" : "tableView_resTest");
        const int lastRowBottom = view->rowViewportPosition(4) + view->rowHeight(4);
        QVERIFY2(view->rowViewportPosition(0) == 0 && lastRowBottom <= view->viewport()->height(),
                 qPrintable(QStringLiteral("rows end at %1, viewport %2").arg(lastRowBottom).arg(view->viewport()->height())));
        auto* remark = rig.get<QWidget>(lengthPage ? "groupBox_Remark_2" : "groupBox_Remark");
        auto* remarkText = rig.get<QWidget>(lengthPage ? "textEdit_Remark_2" : "textEdit_Remark");
        QVERIFY(remark->height() >= remark->minimumSizeHint().height());
        QVERIFY(remark->contentsRect().contains(remarkText->geometry()));
        auto* page = rig.get<QWidget>(lengthPage ? "page_1" : "page_0");
        QVERIFY(page->rect().contains(QRect(remark->mapTo(page, QPoint()), remark->size())));
    }
};

QTEST_MAIN(TestWindowPages)
#include "test_window_pages.moc"
