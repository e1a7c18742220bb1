#pragma once
// The language menu and the two translators (the program's texts and Qt's
// own). Installing or removing a translator makes Qt send every window a
// language change event, which rebuilds its texts.

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

    // One checkable entry per catalogue in the resources, the system's
    // language checked; returns the entries' group. The menu is built once:
    // later calls (after every language change) find it filled, leave it
    // alone and return nullptr.
    QActionGroup* fillMenu(QMenu* menu);
    // The language of a menu entry.
    void choose(const QAction* entry);
    // Nothing when `code` is the language in force already.
    void load(const QString& code);
    bool isEnglish() const { return english; }

private:
    void switchTranslator(QTranslator& translator, const QString& fileName);

    QTranslator appTranslator;
    QTranslator qtTranslator;
    QString currentLanguage = QStringLiteral("zh");
    bool english = false;
};
