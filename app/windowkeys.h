#pragma once
// The window's keyboard and its Help menu: F5 starts or stops the test of the
// page on screen, Ctrl+S saves the table on screen, Ctrl+P, Ctrl+I and Ctrl+Q
// reach the report, the import and the end of the program, F1 opens the user
// guide and the About box names the versions.

#include <QObject>
#include <QPointer>

#include <functional>

namespace Ui { class MainWindow; }
class QAction;
class QMainWindow;
class QTextBrowser;

class WindowKeys : public QObject
{
    Q_OBJECT

public:
    // `english` tells which guide to show.
    WindowKeys(QMainWindow* window, Ui::MainWindow* ui, std::function<bool()> english);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* addAction(const char* objectName, const std::function<void()>& run);
    void retranslate();
    void startOrStopTest();
    void saveShownTable();
    void showGuide();
    void showAbout();

    QMainWindow* window;
    Ui::MainWindow* ui;
    std::function<bool()> english;
    QAction* startStop = nullptr;
    QAction* saveTable = nullptr;
    QAction* quit = nullptr;
    QPointer<QTextBrowser> guide;  // made at the first F1
};
