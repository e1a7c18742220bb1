// The language menu and the two translators.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLocale>

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

// "zh_CN" -> "zh"; a name without "_" stays as it is.
QString MainWindow::systemLanguageCode()
{
    const QString name = QLocale::system().name();
    return name.left(name.lastIndexOf(QLatin1Char('_')));
}

// One entry per catalogue in the resources. The menu is built once: later
// calls (after every language change) find it filled and leave it alone.
void MainWindow::createLanguageMenu()
{
    if (!ui->menuLanguage->actions().isEmpty())
        return;

    auto* group = new QActionGroup(ui->menuLanguage);
    group->setExclusive(true);
    connect(group, SIGNAL(triggered(QAction*)), this, SLOT(slotLanguageChanged(QAction*)));

    const QString defaultCode = systemLanguageCode();
    languagePath = QLatin1String(kCatalogueFolder);
    const QStringList catalogues =
        QDir(languagePath).entryList(QStringList(QLatin1String(kCataloguePattern)));
    for (const QString& fileName : catalogues) {
        const QString code = languageCodeOfCatalogue(fileName);
        auto* action = new QAction(languageEntryText(code), this);
        action->setCheckable(true);
        action->setData(code);
        ui->menuLanguage->addAction(action);
        group->addAction(action);
        if (code == defaultCode)
            action->setChecked(true);
    }
}

void MainWindow::slotLanguageChanged(QAction* action)
{
    if (!action)
        return;
    const QString code = action->data().toString();
    isEnglish = code == QLatin1String("en");
    loadLanguage(code);
}

void MainWindow::loadLanguage(const QString& code)
{
    if (code == currentLanguage)
        return;
    currentLanguage = code;
    QLocale::setDefault(QLocale(code));
    switchTranslator(appTranslator, QStringLiteral("lang_%1.qm").arg(code));
    switchTranslator(qtTranslator, QStringLiteral("qt_%1.qm").arg(code));
}

// Installing or removing a translator makes Qt send the window a language
// change event, which rebuilds its texts (changeEvent).
void MainWindow::switchTranslator(QTranslator& translator, const QString& fileName)
{
    QApplication::removeTranslator(&translator);
    if (translator.load(QLatin1String(kCatalogueFolder) + fileName))
        QApplication::installTranslator(&translator);
}
