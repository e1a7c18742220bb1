#pragma once
// The team's server as the window shows it: the "团队服务器" entry of the
// Settings menu and its dialog, the pusher that sends what the results store
// keeps to the server in the background (started when a service is set,
// restarted when it changes, stopped when it is cleared and at the end), and
// the mark in the status bar: "已同步" or "待同步 %1", amber with the reason in
// its tooltip while pushing fails. Nothing of this shows while no service is set.

#include "store/teampusher.h"

#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

class TeamLink : public QObject
{
    Q_OBJECT

public:
    TeamLink(QWidget* window, const store::PushTiming& timing = store::PushTiming());
    ~TeamLink() override;

    // Pushes what the store at storePath keeps to the service kept in the settings, if any.
    void start(const QString& storePath);
    // Another service (empty: none); the pusher restarts with it.
    void setService(const QString& service);
    QString service() const { return serviceName; }
    // How long stop() waits for a push under way: not at all, or briefly at
    // the end of the run. A push still waiting on the network then is left to
    // end by itself; what it has not pushed stays in the store's outbox.
    enum class Wait { No, Briefly };
    void stop(Wait wait = Wait::No);

    // The menu entry and the mark, in the language in force.
    void placeAction(QMenu* menu);
    void placeStatusMark(QStatusBar* bar);

private:
    void openDialog();
    void showWaiting(int count);
    void showProblem(const QString& message);
    void showMark();

    QWidget* const window;
    const store::PushTiming timing;
    QString storePath;
    QString serviceName;
    std::unique_ptr<store::TeamPusher> pusher;
    QAction* action = nullptr;
    QLabel* mark = nullptr;
    int waiting = -1;  // -1: not heard from the pusher yet
    QString problem;
};
