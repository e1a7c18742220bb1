#pragma once
// The language menu and the two translators (the program's texts and Qt's
// own). Installing or removing a translator makes Qt send every window a
// language change event, which rebuilds its texts. The operator's choice is
// kept for the next start.

#include <QPointer>
#include <QString>
#include <QTranslator>

class QAction;
class QActionGroup;
class QMenu;

class LanguageSwitcher
{
public:
    // "zh_CN" -> "zh"; a name without "_" stays as it is.
    static QString systemLanguageCode();
    // The language chosen at an earlier run when the program has a catalogue
    // of it; Chinese otherwise.
    static QString rememberedLanguage();

    // One checkable entry per catalogue in the resources, the language in
    // force checked; returns the entries' group. The menu is built once:
    // later calls (after every language change) find it filled, leave it
    // alone and return nullptr.
    QActionGroup* fillMenu(QMenu* menu);
    // The language of a menu entry, kept for the next start.
    void choose(const QAction* entry);
    // Nothing when `code` is the language in force already.
    void load(const QString& code);
    // The system's language changed: followed when the program has a
    // catalogue of it and the operator has not chosen a language of their own.
    void followSystemLanguage(const QString& code = systemLanguageCode());
    bool isEnglish() const { return currentLanguage == QLatin1String("en"); }
    // True once per language change: the window's texts are due to be rebuilt.
    bool takeTextsOutdated();

private:
    void switchTranslator(QTranslator& translator, const QString& path);
    void loadQtTranslator();
    void tickMenu();

    QTranslator appTranslator;
    QTranslator qtTranslator;
    QString currentLanguage;  // none until the first load
    QString textsLanguage;    // the language the window's texts were last built in
    QPointer<QActionGroup> entries;
};
