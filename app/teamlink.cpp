#include "app/teamlink.h"

#include "dialogs/teamserverdialog.h"
#include "store/settingsfiles.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QThread>

namespace {

const char* const kMarkName = "teamSyncMark";
const char* const kSyncedStyle = "color: #2e7d32; padding: 0 6px;";
const char* const kWaitingStyle = "padding: 0 6px;";
const char* const kTroubleStyle = "color: black; background: #ffb300; padding: 0 6px; border-radius: 3px;";

// A push under way ends within this at the end of the run unless the network holds it.
constexpr unsigned long kEndOfRunWaitMs = 2000;

}  // namespace

TeamLink::TeamLink(QWidget* window, const store::PushTiming& timing)
    : QObject(window), window(window), timing(timing)
{
}

TeamLink::~TeamLink()
{
    stop(Wait::Briefly);
}

void TeamLink::start(const QString& path)
{
    storePath = path;
    namespace kept = settingsfiles::server;
    setService(settingsfiles::readText(*settingsfiles::open(QLatin1String(kept::kFile)), kept::kService).trimmed());
}

void TeamLink::setService(const QString& service)
{
    stop();
    serviceName = service;
    waiting = -1;
    problem.clear();
    if (!serviceName.isEmpty() && !storePath.isEmpty()) {
        pusher = std::make_unique<store::TeamPusher>(storePath, serviceName, timing);
        connect(pusher.get(), &store::TeamPusher::waitingChanged, this, &TeamLink::showWaiting);
        connect(pusher.get(), &store::TeamPusher::problemChanged, this, &TeamLink::showProblem);
        pusher->start();
    }
    showMark();
}

// The pusher moves to a thread of its own to be stopped there: stopping waits
// for the push under way, which may wait on the network.
void TeamLink::stop(Wait wait)
{
    if (!pusher)
        return;
    pusher->disconnect(this);
    store::TeamPusher* stopping = pusher.release();
    QThread* stopper = QThread::create([stopping] { delete stopping; });
    stopping->moveToThread(stopper);
    connect(stopper, &QThread::finished, stopper, &QObject::deleteLater);
    stopper->start();
    if (wait == Wait::Briefly && stopper->wait(kEndOfRunWaitMs))
        delete stopper;
}

void TeamLink::placeAction(QMenu* menu)
{
    if (!action) {
        action = new QAction(window);
        action->setObjectName(QStringLiteral("actionTeamServer"));
        menu->addAction(action);
        connect(action, &QAction::triggered, this, &TeamLink::openDialog);
    }
    action->setText(tr("团队服务器…"));
}

void TeamLink::openDialog()
{
    auto* dialog = new TeamServerDialog(window);
    connect(dialog, &TeamServerDialog::serviceChosen, this, [this](const QString& chosen) {
        if (chosen != serviceName)
            setService(chosen);
    });
    dialog->open();
}

void TeamLink::placeStatusMark(QStatusBar* bar)
{
    if (!mark) {
        mark = new QLabel(bar);
        mark->setObjectName(QLatin1String(kMarkName));
        bar->addPermanentWidget(mark);
    }
    showMark();
}

void TeamLink::showWaiting(int count)
{
    waiting = count;
    showMark();
}

void TeamLink::showProblem(const QString& message)
{
    problem = message;
    showMark();
}

void TeamLink::showMark()
{
    if (!mark)
        return;
    mark->setVisible(pusher && (waiting >= 0 || !problem.isEmpty()));
    const bool synced = waiting == 0 && problem.isEmpty();
    mark->setText(synced ? tr("已同步") : tr("待同步 %1").arg(qMax(waiting, 0)));
    mark->setStyleSheet(QLatin1String(!problem.isEmpty() ? kTroubleStyle : synced ? kSyncedStyle : kWaitingStyle));
    mark->setToolTip(problem.isEmpty() ? tr("团队服务器：%1").arg(serviceName) : problem);
}
