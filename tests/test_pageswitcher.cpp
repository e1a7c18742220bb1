// The test-page switch on its own: its timed steps in order, choices and
// change presses during a switch, a cancelled switch and a link lost midway.

#include "app/pageswitcher.h"

#include <QAction>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

namespace {

// Three pages with their actions; every step of the switcher lands in `log`.
struct Pages {
    Pages()
    {
        for (QAction* action : actions) {
            action->setCheckable(true);
            stack.addWidget(new QWidget);
        }
        actions[0]->setChecked(true);
        QObject::connect(&switcher, &PageSwitcher::switchStarting, [this] { log << "start"; });
        QObject::connect(&switcher, &PageSwitcher::readTypeDue,
                         [this](int page) { log << QStringLiteral("read type %1").arg(page); });
        QObject::connect(&switcher, &PageSwitcher::uiUpdateCancelDue, [this] { log << "cancel update"; });
        QObject::connect(&switcher, &PageSwitcher::pollingDue, [this] { log << "poll"; });
        QObject::connect(&switcher, &PageSwitcher::changePressDue, [this] { log << "press"; });
        QObject::connect(&stack, &QStackedWidget::currentChanged,
                         [this](int page) { log << QStringLiteral("page %1").arg(page); });
    }
    // Until the switch has ended and the steps queued meanwhile have run.
    void settle() { QTest::qWait(20); }

    QStackedWidget stack;
    QVector<QAction*> actions{new QAction(&stack), new QAction(&stack), new QAction(&stack)};
    bool linkUp = true;
    QStringList log;
    PageSwitcher switcher{&stack, actions, 0, [this] { return linkUp; }};
};

}  // namespace

class TestPageSwitcher : public QObject
{
    Q_OBJECT

private slots:
    void switchToLengthPage_data()
    {
        QTest::addColumn<int>("linkLostAtStep");  // -1: never
        QTest::addColumn<int>("changePresses");
        QTest::addColumn<QStringList>("expected");
        const QStringList steps{"start", "read type 1", "cancel update", "poll", "page 1"};
        QTest::newRow("steps in order") << -1 << 0 << steps;
        QTest::newRow("a press acts at the end") << -1 << 1 << steps + QStringList{"press"};
        QTest::newRow("a second press takes it back") << -1 << 2 << steps;
        QTest::newRow("no link: at once") << 0 << 0 << QStringList{"page 1"};
        QTest::newRow("link lost midway: page only") << 1 << 1 << QStringList{"start", "read type 1", "page 1"};
    }
    void switchToLengthPage()
    {
        QFETCH(int, linkLostAtStep);
        QFETCH(int, changePresses);
        Pages pages;
        pages.linkUp = linkLostAtStep != 0;
        QObject::connect(&pages.switcher, &PageSwitcher::readTypeDue, [&] { pages.linkUp = linkLostAtStep != 1; });
        QPushButton change;

        pages.switcher.switchToTestPage(1);
        for (int i = 0; i < changePresses; ++i)
            QVERIFY(pages.switcher.holdChangePress(&change));
        pages.settle();
        QTEST(pages.log, "expected");
        QVERIFY(!pages.actions[0]->isChecked() && pages.actions[1]->isChecked());
        QVERIFY(!pages.switcher.holdChangePress(&change));  // no switch any more
    }

    void choicesDuringASwitchAreIgnored()
    {
        Pages pages;
        pages.switcher.switchToTestPage(1);
        pages.switcher.switchToTestPage(1);
        QVERIFY(!pages.switcher.showAtOnce(2));
        pages.settle();
        QCOMPARE(pages.log, (QStringList{"start", "read type 1", "cancel update", "poll", "page 1"}));
        QVERIFY(pages.switcher.showAtOnce(2));
        QCOMPARE(pages.stack.currentIndex(), 2);
    }

    void cancelDropsTheRemainingSteps()
    {
        Pages pages;
        pages.switcher.switchToTestPage(1);
        pages.switcher.cancel();
        pages.settle();
        QCOMPARE(pages.log, QStringList{"start"});
        QCOMPARE(pages.stack.currentIndex(), 0);
        pages.switcher.switchToTestPage(1);  // a new choice is taken
        pages.settle();
        QCOMPARE(pages.stack.currentIndex(), 1);
    }
};

QTEST_MAIN(TestPageSwitcher)
#include "test_pageswitcher.moc"
