// The language menu and the translators without the window: the menu is
// built once, and only a change of language touches the translators.

#include "app/languageswitcher.h"
#include "store/settingsfiles.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QtTest>

namespace {

// Counts the language change events of the application: one for every
// translator installed or removed.
class LanguageChanges : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == qApp && e->type() == QEvent::LanguageChange)
            ++count;
        return false;
    }
};

QAction* entry(const QMenu& menu, const QString& code)
{
    for (QAction* action : menu.actions())
        if (action->data().toString() == code)
            return action;
    return nullptr;
}

}  // namespace

class TestLanguageSwitcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);  // the choice is kept in a settings file
        Q_INIT_RESOURCE(translations);
    }

    void menuIsBuiltOnce()
    {
        LanguageSwitcher languages;
        QMenu menu;
        QVERIFY(languages.fillMenu(&menu));
        QVERIFY(!languages.fillMenu(&menu));  // as after a language change
        QStringList codes;
        for (QAction* action : menu.actions())
            codes << action->data().toString();
        QCOMPARE(codes, (QStringList{"en", "zh"}));
    }

    void onlyAChangeOfLanguageTouchesTheTranslators()
    {
        LanguageSwitcher languages;
        languages.load(QStringLiteral("zh"));  // as the window starts
        QMenu menu;
        languages.fillMenu(&menu);
        LanguageChanges changes;
        qApp->installEventFilter(&changes);
        struct Choice {
            const char* code;
            bool changesLanguage;
            const char* connectText;
        };
        for (const Choice& choice : {Choice{"zh", false, "连接"}, Choice{"en", true, "Connect"},
                                     Choice{"en", false, "Connect"}, Choice{"zh", true, "连接"}}) {
            const int before = changes.count;
            languages.choose(entry(menu, QString::fromUtf8(choice.code)));
            QCOMPARE(changes.count > before, choice.changesLanguage);
            QCOMPARE(languages.isEnglish(), qstrcmp(choice.code, "en") == 0);
            QVERIFY(entry(menu, QString::fromUtf8(choice.code))->isChecked());
            QCOMPARE(LanguageSwitcher::rememberedLanguage(), QString::fromUtf8(choice.code));
            QCOMPARE(QCoreApplication::translate("MainWindow", "连接"), QString::fromUtf8(choice.connectText));
        }
    }

    // A file edited by hand or left by another version opens the window in Chinese.
    void onlyALanguageWithACatalogueIsRemembered_data()
    {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("remembered");
        QTest::newRow("en") << "en" << "en";
        QTest::newRow("zh") << "zh" << "zh";
        QTest::newRow("no catalogue") << "fr" << "zh";
        QTest::newRow("a path") << "../en" << "zh";
        QTest::newRow("empty") << "" << "zh";
    }

    void onlyALanguageWithACatalogueIsRemembered()
    {
        QFETCH(QString, kept);
        QFETCH(QString, remembered);
        namespace language = settingsfiles::language;
        settingsfiles::writeText(*settingsfiles::open(QLatin1String(language::kFile)), language::kCode, kept);
        QCOMPARE(LanguageSwitcher::rememberedLanguage(), remembered);
    }

    // A change of the system's language does not undo the operator's choice,
    // nor switch to a language the program has no texts for.
    void theSystemLanguageIsFollowedOnlyWithoutAChoice_data()
    {
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("english");
        QTest::newRow("chosen Chinese") << "zh" << "en" << false;
        QTest::newRow("no choice") << "" << "en" << true;
        QTest::newRow("no catalogue") << "" << "fr" << false;
    }

    void theSystemLanguageIsFollowedOnlyWithoutAChoice()
    {
        QFETCH(QString, kept);
        QFETCH(QString, system);
        QFETCH(bool, english);
        namespace language = settingsfiles::language;
        settingsfiles::writeText(*settingsfiles::open(QLatin1String(language::kFile)), language::kCode, kept);
        LanguageSwitcher languages;
        languages.load(QStringLiteral("zh"));
        languages.followSystemLanguage(system);
        QCOMPARE(languages.isEnglish(), english);
        QCOMPARE(QCoreApplication::translate("MainWindow", "连接"), english ? "Connect" : "连接");
    }
};

QTEST_MAIN(TestLanguageSwitcher)
#include "test_languageswitcher.moc"
