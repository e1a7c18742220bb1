// One language on screen: the choice kept for the next window, Qt's own texts
// following it, and recorded fixed-list texts shown in it.

#include "data/formattables.h"
#include "insight/balancepanel.h"
#include "testsupport/windowrig.h"

using namespace windowtest;

namespace {

QString checkedLanguage(const Rig& rig)
{
    for (QAction* entry : rig.get<QMenu>("menuLanguage")->actions())
        if (entry->isChecked())
            return entry->data().toString();
    return QString();
}

}  // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    void theChoiceOpensTheNextWindow_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("connectText");
        QTest::newRow("en") << "en" << "Connect";
        QTest::newRow("zh after en") << "zh" << "连接";
    }

    void theChoiceOpensTheNextWindow()
    {
        QFETCH(QString, language);
        QFETCH(QString, connectText);
        Rig rig;
        QCOMPARE(checkedLanguage(rig), QStringLiteral("zh"));
        rig.chooseLanguage(QStringLiteral("en"));
        rig.chooseLanguage(language);
        rig.reopenWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(rig.action("actionConnect")->text(), connectText);
        QCOMPARE(checkedLanguage(rig), language);
        QCOMPARE(rig.window->windowTitle(), QCoreApplication::translate("MainWindow", "10A 直流电阻测试仪"));
    }

    void qtTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("lookIn");
        QTest::newRow("zh") << "zh" << "取消" << "查找范围：";
        QTest::newRow("en") << "en" << "Cancel" << "Look in:";
    }

    void qtTextsFollowTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, cancel);
        QFETCH(QString, lookIn);
        Rig rig;
        rig.chooseLanguage(language);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        const QString cancelText = buttons.button(QDialogButtonBox::Cancel)->text();
        QVERIFY2(cancelText.contains(cancel), qPrintable(cancelText));  // "取消(&C)" on some desktops
        QFileDialog files(rig.window.get());
        files.setOption(QFileDialog::DontUseNativeDialog);
        QCOMPARE(files.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), lookIn);
    }

    // Rows keep the texts they were recorded in; what is made of them speaks the language on screen.
    void recordedFixedTextsShowInTheLanguageOnScreen_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("shown");
        QTest::newRow("aluminium in English") << "en" << "铝" << "Al";
        QTest::newRow("low winding in English") << "en" << "低压" << "Low";
        QTest::newRow("set value in English") << "en" << "设定值" << "Set Value";
        QTest::newRow("copper in Chinese") << "zh" << "Cu" << "铜";
        QTest::newRow("high winding in Chinese") << "zh" << "High" << "高压";
        QTest::newRow("own language kept") << "en" << "Al" << "Al";
        QTest::newRow("other text kept") << "en" << "铝排 3 号" << "铝排 3 号";
        QTest::newRow("empty kept") << "zh" << "" << "";
    }

    void recordedFixedTextsShowInTheLanguageOnScreen()
    {
        QFETCH(QString, language);
        QFETCH(QString, recorded);
        QFETCH(QString, shown);
        Rig rig;
        rig.chooseLanguage(language);
        QCOMPARE(formattables::fixedTextOnScreen(recorded), shown);
    }

    // A row recorded in Chinese and one recorded in English, on the same winding:
    // one group in the balance, named in the language on screen.
    void theBalanceGroupsRowsOfBothLanguages()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.runTest(false));
        rig.chooseLanguage(QStringLiteral("en"));
        QVERIFY(rig.runTest(false));
        const auto* rows = tableModel(rig, "tableView_resTest");
        const int winding = 9;  // the DC table's winding column
        QVERIFY(hasChinese(rows->index(0, winding).data().toString()));
        QVERIFY(!hasChinese(rows->index(1, winding).data().toString()));
        const auto* balance = rig.window->findChild<BalancePanel*>();
        QVERIFY(QTest::qWaitFor([&] { return balance->model()->rowCount() > 0; }, kWait));
        QTest::qWait(20);  // the balance is worked out once after a burst of changes
        const QList<QStringList> groups = balance->rowTexts();
        QCOMPARE(groups.size(), 1);
        QCOMPARE(groups.first().at(BalancePanel::Winding), rows->index(1, winding).data().toString());
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
