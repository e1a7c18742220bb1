#include "app/languageswitcher.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QMenu>

namespace {

const char* const kCatalogueFolder = ":/";
const char* const kCataloguePattern = "lang_*.qm";

// "lang_en.qm" -> "en"
QString languageCodeOfCatalogue(const QString& fileName)
{
    const QString base = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
    return base.mid(base.lastIndexOf(QLatin1Char('_')) + 1);
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

QActionGroup* LanguageSwitcher::fillMenu(QMenu* menu)
{
    if (!menu->actions().isEmpty())
        return nullptr;

    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    const QString defaultCode = systemLanguageCode();
    const QStringList catalogues =
        QDir(QLatin1String(kCatalogueFolder)).entryList(QStringList(QLatin1String(kCataloguePattern)));
    for (const QString& fileName : catalogues) {
        const QString code = languageCodeOfCatalogue(fileName);
        auto* action = new QAction(languageEntryText(code), menu);
        action->setCheckable(true);
        action->setData(code);
        menu->addAction(action);
        group->addAction(action);
        if (code == defaultCode)
            action->setChecked(true);
    }
    return group;
}

void LanguageSwitcher::choose(const QAction* entry)
{
    if (!entry)
        return;
    const QString code = entry->data().toString();
    english = code == QLatin1String("en");
    load(code);
}

void LanguageSwitcher::load(const QString& code)
{
    if (code == currentLanguage)
        return;
    currentLanguage = code;
    QLocale::setDefault(QLocale(code));
    switchTranslator(appTranslator, QStringLiteral("lang_%1.qm").arg(code));
    switchTranslator(qtTranslator, QStringLiteral("qt_%1.qm").arg(code));
}

void LanguageSwitcher::switchTranslator(QTranslator& translator, const QString& fileName)
{
    QApplication::removeTranslator(&translator);
    if (translator.load(QLatin1String(kCatalogueFolder) + fileName))
        QApplication::installTranslator(&translator);
}
