#pragma once
// The settings of the two test pages as the operator edits them.
//
// The instrument is the authority on its settings: every reading writes them
// back into the widgets. Only in edit mode (polling paused) are the widgets
// open, and every edit by the operator sends the page's complete settings.
// The editor works on the window's form; the window calls it from the slots
// of the setting widgets and answers its signals.

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace Ui {
class MainWindow;
}
class QWidget;
struct PageTable;
class QPushButton;

class SettingsEditor : public QObject
{
    Q_OBJECT

public:
    SettingsEditor(Ui::MainWindow* ui, std::function<bool()> isConnected, QObject* parent = nullptr);

    bool isEditing() const { return editing; }
    // Enters or leaves the edit mode by the press of a page's change button.
    void toggleEditMode(QPushButton* button);
    // Polling resumed: the edit mode is over (the window closes the widgets).
    void leaveEditMode() { editing = false; }

    // An edit of the DC or the length page: its complete settings are sent.
    void sendDcSettings();
    void sendLengthSettings();

    // The standard value of the length page.
    void chooseStandardSetting(int index);
    void finishStandardValue();
    void chooseStandardUnit();
    void followStandardSetting(int index);
    void followStandardUnit();
    // A reading set the standard: a set value is what "设定值" brings back.
    void rememberReportedStandard();

signals:
    void settingsFrame(const QByteArray& frame);
    void statusMessage(const QString& message);  // empty: clear the status bar
    // The window pauses polling and opens the widgets, or resumes polling.
    void editModeChanged(bool editing);

private:
    bool reportNotConnected();
    bool reportUnselectedList(const QWidget* page, const PageTable& table);
    void emitSettingsFrame(const std::vector<unsigned char>& frame);
    void updateStandardMinimum();

    Ui::MainWindow* ui;
    std::function<bool()> isConnected;
    bool editing = false;
    // The operator's last set standard, brought back when "设定值" is chosen again.
    double savedStandardValue = 100.0;
    int savedStandardUnitIndex = 0;
};
