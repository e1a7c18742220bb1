#include "app/languageswitcher.h"

#include "store/settingsfiles.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QSettings>

namespace {

const char* const kCatalogueFolder = ":/";
const char* const kCataloguePattern = "lang_*.qm";

// "lang_en.qm" -> "en"
QString languageCodeOfCatalogue(const QString& fileName)
{
    const QString base = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
    return base.mid(base.lastIndexOf(QLatin1Char('_')) + 1);
}

QStringList catalogueCodes()
{
    QStringList codes;
    const QStringList catalogues =
        QDir(QLatin1String(kCatalogueFolder)).entryList(QStringList(QLatin1String(kCataloguePattern)));
    for (const QString& fileName : catalogues)
        codes << languageCodeOfCatalogue(fileName);
    return codes;
}

// The entry names are shown in their own language, untranslated.
QString languageEntryText(const QString& code)
{
    return code == QLatin1String("en") ? QStringLiteral("English") : QStringLiteral("简体中文");
}

}  // namespace

QString LanguageSwitcher::systemLanguageCode()
{
    const QString name = QLocale::system().name();
    return name.left(name.lastIndexOf(QLatin1Char('_')));
}

QString LanguageSwitcher::rememberedLanguage()
{
    namespace kept = settingsfiles::language;
    const QString code = settingsfiles::readText(*settingsfiles::open(QLatin1String(kept::kFile)), kept::kCode);
    return catalogueCodes().contains(code) ? code : QLatin1String(kept::kFallback);
}

QActionGroup* LanguageSwitcher::fillMenu(QMenu* menu)
{
    if (!menu->actions().isEmpty())
        return nullptr;

    entries = new QActionGroup(menu);
    entries->setExclusive(true);
    for (const QString& code : catalogueCodes()) {
        auto* action = new QAction(languageEntryText(code), menu);
        action->setCheckable(true);
        action->setData(code);
        menu->addAction(action);
        entries->addAction(action);
    }
    tickMenu();
    return entries;
}

void LanguageSwitcher::choose(const QAction* entry)
{
    if (!entry)
        return;
    const QString code = entry->data().toString();
    load(code);
    namespace kept = settingsfiles::language;
    settingsfiles::writeText(*settingsfiles::open(QLatin1String(kept::kFile)), kept::kCode, code);
}

void LanguageSwitcher::load(const QString& code)
{
    if (code == currentLanguage)
        return;
    currentLanguage = code;
    QLocale::setDefault(QLocale(code));
    switchTranslator(appTranslator, QStringLiteral("%1lang_%2.qm").arg(QLatin1String(kCatalogueFolder), code));
    loadQtTranslator();
    tickMenu();
}

void LanguageSwitcher::followSystemLanguage(const QString& code)
{
    namespace kept = settingsfiles::language;
    const bool chosen = catalogueCodes().contains(
        settingsfiles::readText(*settingsfiles::open(QLatin1String(kept::kFile)), kept::kCode));
    if (!chosen && catalogueCodes().contains(code))
        load(code);
}

bool LanguageSwitcher::takeTextsOutdated()
{
    if (textsLanguage == currentLanguage)
        return false;
    textsLanguage = currentLanguage;
    return true;
}

void LanguageSwitcher::switchTranslator(QTranslator& translator, const QString& path)
{
    QApplication::removeTranslator(&translator);
    if (translator.load(path))
        QApplication::installTranslator(&translator);
}

// Qt's own texts (the buttons of message boxes, the file dialogs) come from
// the Qt installation's catalogues (Debian: qttranslations5-l10n); in English
// Qt speaks its own source language.
void LanguageSwitcher::loadQtTranslator()
{
    QApplication::removeTranslator(&qtTranslator);
    if (isEnglish())
        return;
    if (qtTranslator.load(QLocale(currentLanguage), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
}

void LanguageSwitcher::tickMenu()
{
    if (!entries)
        return;
    for (QAction* entry : entries->actions())
        entry->setChecked(entry->data().toString() == currentLanguage);
}
