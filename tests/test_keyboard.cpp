// The window's keys, pressed on the window as the operator does, and its Help menu.

#include "dialogs/pdfsettingdialog.h"
#include "testsupport/windowrig.h"

using namespace windowtest;

namespace {

enum class Effect { GuideOpens, ReportHeaderOpens, SaveFindsNoRows, ImportRuns, TestStarts };

bool pressOnWindow(Rig& rig, const QKeySequence& keys)
{
    QApplication::setActiveWindow(rig.window.get());
    if (!QTest::qWaitForWindowActive(rig.window.get()))
        return false;
    QTest::keySequence(rig.window.get(), keys);
    return true;
}

bool seen(Rig& rig, Effect effect)
{
    switch (effect) {
    case Effect::GuideOpens: {
        auto* guide = rig.window->findChild<QTextBrowser*>(QStringLiteral("userGuide"));
        return guide && guide->isVisible() && guide->source().path().endsWith(QLatin1String("help_zh.html"));
    }
    case Effect::ReportHeaderOpens: {
        auto* header = rig.window->findChild<PdfSettingDialog*>();
        return header && header->isVisible();
    }
    case Effect::SaveFindsNoRows: return rig.boxTexts.contains(QStringLiteral("无数据"));
    case Effect::ImportRuns: return rig.get<QStackedWidget>("stackedWidget")->currentIndex() == 2;
    case Effect::TestStarts: return rig.instrument().phase() == sim::Phase::Charging;
    }
    return false;
}

}  // namespace

Q_DECLARE_METATYPE(Effect)

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    void eachKeyReachesItsAction_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<Effect>("effect");
        QTest::newRow("F1") << QKeySequence(Qt::Key_F1) << Effect::GuideOpens;
        QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << Effect::ReportHeaderOpens;
        QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << Effect::SaveFindsNoRows;
        QTest::newRow("Ctrl+I") << QKeySequence(Qt::CTRL | Qt::Key_I) << Effect::ImportRuns;
        QTest::newRow("F5") << QKeySequence(Qt::Key_F5) << Effect::TestStarts;
    }

    void eachKeyReachesItsAction()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(Effect, effect);
        Rig rig;
        rig.fakeDesktopFiles();
        QVERIFY(rig.connect());
        QVERIFY(!seen(rig, effect));
        QVERIFY(pressOnWindow(rig, keys));
        QVERIFY(QTest::qWaitFor([&] { return seen(rig, effect); }, kWait));
    }

    // F5 again stops the test it started.
    void theTestKeyStopsTheTestToo()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(pressOnWindow(rig, QKeySequence(Qt::Key_F5)));
        QVERIFY(rig.waitForPhase(sim::Phase::Charging));
        rig.clock->advanceMs(30'000);
        QVERIFY(rig.waitForPolls(3));
        QVERIFY(pressOnWindow(rig, QKeySequence(Qt::Key_F5)));
        QVERIFY(rig.waitForPhase(sim::Phase::Discharging));
    }

    // Keys that would act on a page without an instrument do nothing.
    void keysWaitForAnInstrument()
    {
        Rig rig;
        QVERIFY(pressOnWindow(rig, QKeySequence(Qt::Key_F5)));
        QVERIFY(pressOnWindow(rig, QKeySequence(Qt::CTRL | Qt::Key_I)));
        QTest::qWait(50);
        QCOMPARE(rig.instrument().requestCount(), std::size_t(0));
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
    }

    void aboutNamesTheVersions_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("versionWord");
        QTest::newRow("zh") << "zh" << "版本";
        QTest::newRow("en") << "en" << "Version";
    }

    void aboutNamesTheVersions()
    {
        QFETCH(QString, language);
        QFETCH(QString, versionWord);
        Rig rig;
        rig.chooseLanguage(language);
        rig.action("actionAbout")->trigger();
        QVERIFY(QTest::qWaitFor([&] { return !rig.boxTexts.isEmpty(); }, kWait));
        QVERIFY2(rig.boxTexts.first().contains(versionWord + QLatin1Char(' ') + QStringLiteral(TESTER_VERSION)),
                 qPrintable(rig.boxTexts.first()));
        QVERIFY(rig.boxTexts.first().contains(QString::fromLatin1(qVersion())));
    }

    // The guide open during a language change follows it.
    void theGuideFollowsTheLanguage()
    {
        Rig rig;
        rig.action("actionHelp")->trigger();
        auto* guide = rig.window->findChild<QTextBrowser*>(QStringLiteral("userGuide"));
        QVERIFY(guide && guide->toPlainText().contains(QStringLiteral("快捷键")));
        rig.chooseLanguage(QStringLiteral("en"));
        QVERIFY(guide->toPlainText().contains(QStringLiteral("Keyboard shortcuts")));
        QCOMPARE(guide->windowTitle(), QStringLiteral("10A DC Resistance Tester user guide"));
    }

    // Last: closing the window quits the application, after which no dialog
    // of this process could run its own event loop.
    void quitKeyClosesTheWindow()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(pressOnWindow(rig, QKeySequence(Qt::CTRL | Qt::Key_Q)));
        QVERIFY(QTest::qWaitFor([&] { return !rig.window->isVisible(); }, kWait));
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
