// The window as a screen reader meets it: every control that takes input has
// a name, in the language on screen, and every tab and menu entry a
// description.

#include "testsupport/windowrig.h"

#include <QAccessible>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

using namespace windowtest;

namespace {

bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

// "QPushButton pushButton_Test: 测试" for every interactive control below
// `node`; a tab or a menu entry also says what it holds or does, after " | ".
void collect(QAccessibleInterface* node, QStringList& controls)
{
    if (!node)
        return;
    if (isInteractive(node->role())) {
        const QObject* object = node->object();
        QString what = object ? QString::fromLatin1(object->metaObject()->className()) + QLatin1Char(' ')
                                    + object->objectName()
                              : QStringLiteral("role %1").arg(int(node->role()));
        controls << what + QStringLiteral(": ") + node->text(QAccessible::Name);
        if (node->role() == QAccessible::PageTab || node->role() == QAccessible::MenuItem)
            controls.last() += QStringLiteral(" | ") + node->text(QAccessible::Description);
    }
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), controls);
}

}  // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    // Hidden pages and panels are walked too, as a screen reader's tree holds them.
    void everyControlIsNamedInTheLanguageOnScreen_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh") << "zh";
        QTest::newRow("en") << "en";
    }

    void everyControlIsNamedInTheLanguageOnScreen()
    {
        QFETCH(QString, language);
        Rig rig;
        QVERIFY(rig.connect());
        rig.chooseLanguage(language);
        QStringList controls;
        collect(QAccessible::queryAccessibleInterface(rig.window.get()), controls);
        QVERIFY(controls.size() > 20);
        QStringList unnamed;
        for (const QString& control : controls) {
            const QString spoken = control.section(QStringLiteral(": "), 1);
            const QString name = spoken.section(QStringLiteral(" | "), 0, 0);
            const bool described = !spoken.contains(QStringLiteral(" | "))
                                   || !spoken.section(QStringLiteral(" | "), 1).trimmed().isEmpty();
            // The language entries name themselves in their own language.
            const bool otherLanguage = language == QLatin1String("en")
                                       && hasChinese(QString(spoken).remove(QStringLiteral("简体中文")));
            if (name.trimmed().isEmpty() || !described || otherLanguage)
                unnamed << control;
        }
        for (const QString& control : unnamed)
            qWarning("%s", qPrintable(control));
        QCOMPARE(unnamed.size(), 0);
    }

    // A screen reader reaches an entry from the menu bar and climbs back the
    // same way; it hears the key that triggers the entry and can press it.
    void menuEntriesAreReadAsTheMenuShowsThem()
    {
        Rig rig;
        rig.chooseLanguage(QStringLiteral("en"));
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(rig.get<QMenuBar>("menubar"));
        QAccessibleInterface* device = bar->child(0);
        QCOMPARE(device->text(QAccessible::Name), QStringLiteral("Device"));
        QCOMPARE(device->text(QAccessible::Accelerator), QStringLiteral("Alt+D"));
        QCOMPARE(bar->indexOfChild(device), 0);

        QAccessibleInterface* menu = device->child(0);
        QVERIFY(menu);
        QCOMPARE(menu->object(), rig.get<QMenu>("menuDevice"));
        QCOMPARE(menu->parent()->object(), device->object());
        QAccessibleInterface* lengthEntry = nullptr;
        QAccessibleInterface* quit = nullptr;
        for (int i = 0; i < menu->childCount(); ++i) {
            if (menu->child(i)->object() == rig.action("actionQuit"))
                quit = menu->child(i);
        }
        QVERIFY(quit);
        QCOMPARE(quit->text(QAccessible::Accelerator), QStringLiteral("Ctrl+Q"));
        QCOMPARE(quit->parent()->object(), menu->object());
        QVERIFY(menu->indexOfChild(quit) >= 0);
        QCOMPARE(quit->text(QAccessible::Description), QStringLiteral("Close the program (Ctrl+Q)."));

        QAccessibleInterface* view = bar->child(1);
        for (int i = 0; i < view->child(0)->childCount(); ++i) {
            if (view->child(0)->child(i)->object() == rig.action("actionConductor_length_test"))
                lengthEntry = view->child(0)->child(i);
        }
        QVERIFY(lengthEntry);
        QCOMPARE(lengthEntry->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        lengthEntry->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    }

    // Tab walks a test page as it is read: the settings, their two buttons, the
    // remark, then the result table's buttons and the table.
    void tabFollowsThePage()
    {
        Rig rig;
        const QStringList expected{"spinBox_ConductorNoValue_3", "comboBox_PhaseTypeValue_3", "pushButton_Change",
                                   "pushButton_Test", "textEdit_Remark", "toolButton_record", "pushButton_clear",
                                   "tableView_resTest"};
        QStringList walked;
        QWidget* start = rig.get<QWidget>("spinBox_ConductorNoValue_3");
        QWidget* w = start;
        do {
            if (expected.contains(w->objectName()))
                walked << w->objectName();
            w = w->nextInFocusChain();
        } while (w != start);
        QCOMPARE(walked, expected);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
