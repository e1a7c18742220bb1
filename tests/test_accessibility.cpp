// The window as a screen reader meets it: every control that takes input has
// a name, in the language on screen, and every tab a description.

#include "testsupport/windowrig.h"

#include <QAccessible>

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

// "QPushButton pushButton_Test: 测试" for every interactive control below `node`.
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
        // A tab says what its page holds (its description is the tab's tooltip).
        if (node->role() == QAccessible::PageTab && node->text(QAccessible::Description).trimmed().isEmpty())
            controls.last() += QStringLiteral(" (no description)");
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
            const QString name = control.section(QStringLiteral(": "), 1);
            // The language entries name themselves in their own language.
            const bool otherLanguage = language == QLatin1String("en") && name != QStringLiteral("简体中文")
                                       && hasChinese(name);
            if (name.trimmed().isEmpty() || otherLanguage || name.endsWith(QStringLiteral(" (no description)")))
                unnamed << control;
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
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
