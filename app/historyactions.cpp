#include "app/historyactions.h"

#include "analysis/balance.h"
#include "analysis/deviation.h"
#include "dialogs/teamserverdialog.h"
#include "store/offthread.h"

#include <algorithm>

using store::TableKind;

namespace {

QString objectText(const store::TestObject& object)
{
    QStringList parts{object.name.trimmed()};
    for (const QString& more : {object.serial.trimmed(), object.location.trimmed()}) {
        if (!more.isEmpty())
            parts << more;
    }
    return parts.join(QStringLiteral(" · "));
}

}  // namespace

QList<store::BaselineEntry> baselineFromRows(const QList<store::Row>& rows)
{
    std::vector<analysis::DcResult> results;
    for (const store::Row& row : rows)
        results.push_back(analysis::dcResultFromCells(row.cells));
    return analysis::referencesFromSession(results);
}

HistoryActions::HistoryActions(const Hooks& hooks, QObject* parent)
    : QObject(parent), hooks(hooks)
{
}

void HistoryActions::attach(HistoryDialog* dialog)
{
    connect(dialog, &HistoryDialog::baselineWanted, this, &HistoryActions::setBaseline);
    connect(dialog, &HistoryDialog::loadTeamSessionSignal, this, [this](const QString& uuid) {
        withTeamRows(uuid, [this](const store::TeamSession& session, const QList<store::Row>& rows) {
            hooks.load(session.kind, rows);
        });
    });
    connect(dialog, &HistoryDialog::exportTeamSessionSignal, this, [this](const QString& uuid) {
        withTeamRows(uuid, [this](const store::TeamSession& session, const QList<store::Row>& rows) {
            hooks.exportRows(session.kind, rows);
        });
    });
    const QString service = hooks.service();
    if (service.isEmpty())
        return;
    dialog->setTeamEntries({}, tr("正在读取团队服务器的记录…"));
    QPointer<HistoryDialog> shown(dialog);
    store::runOffThread<store::TeamSessions>(
        this, [service] { return store::readTeamSessions(service); },
        [this, shown, service](const store::TeamSessions& found) { showTeamSessions(shown, found, service); });
}

void HistoryActions::showTeamSessions(QPointer<HistoryDialog> dialog, const store::TeamSessions& found,
                                      const QString& service)
{
    const QSet<QString> local = hooks.store()->sessionUuids();
    teamSessions.clear();
    for (const store::TeamSession& session : found.sessions) {
        // The server writes a UUID with dashes, the local store without.
        if (!local.contains(QString(session.uuid).remove(QLatin1Char('-'))))
            teamSessions << session;
    }
    if (!dialog)
        return;
    if (!found.reach.reached()) {
        dialog->setTeamEntries({}, unreachable(found.reach, service));
        return;
    }
    QList<HistoryEntry> entries;
    for (const store::TeamSession& session : teamSessions) {
        HistoryEntry entry;
        entry.started = session.started;
        entry.table = hooks.tableName(session.kind);
        entry.rowCount = session.rowCount;
        entry.teamSession = session.uuid;
        entry.operatorName = session.operatorName;
        entry.instrument = session.instrument;
        entry.object = session.object.isEmpty() ? QString() : objectText(session.object);
        entry.canBeBaseline = session.kind == TableKind::DcResults;
        entries << entry;
    }
    dialog->setTeamEntries(entries, entries.isEmpty() ? tr("团队服务器上还没有记录。") : QString());
}

QString HistoryActions::unreachable(const store::TeamReach& reach, const QString& service) const
{
    return tr("无法读取团队服务器的记录：%1").arg(TeamServerDialog::describe(reach, service));
}

// The rows are read off the window's thread; the session is the one listed under that key.
void HistoryActions::withTeamRows(const QString& uuid, const RowsUse& use)
{
    const auto listed = std::find_if(teamSessions.cbegin(), teamSessions.cend(),
                                     [&uuid](const store::TeamSession& session) { return session.uuid == uuid; });
    const QString service = hooks.service();
    if (listed == teamSessions.cend() || service.isEmpty())
        return;
    const store::TeamSession session = *listed;
    store::runOffThread<store::TeamRows>(
        this, [service, uuid] { return store::readTeamRows(service, uuid); },
        [this, session, service, use](const store::TeamRows& found) {
            if (!found.reach.reached())
                emit message(unreachable(found.reach, service));
            else if (!found.rows.isEmpty())
                use(session, found.rows);
        });
}

void HistoryActions::setBaseline(const HistoryEntry& entry)
{
    if (!entry.teamSession.isEmpty()) {
        withTeamRows(entry.teamSession, [this](const store::TeamSession& session, const QList<store::Row>& rows) {
            keepBaseline(session.object, rows);
        });
        return;
    }
    store::ResultStore* store = hooks.store();
    const QList<store::SessionSummary> sessions = store->earlierSessions();
    const auto found = std::find_if(sessions.cbegin(), sessions.cend(),
                                    [&entry](const store::SessionSummary& session) { return session.id == entry.id; });
    if (found != sessions.cend())
        keepBaseline(found->object, store->sessionRows(entry.id));
}

void HistoryActions::keepBaseline(const store::TestObject& object, const QList<store::Row>& rows)
{
    if (object.isEmpty()) {
        emit message(tr("这次测试没有指定测试对象，不能设为基准"));
        return;
    }
    const QList<store::BaselineEntry> entries = baselineFromRows(rows);
    if (entries.isEmpty()) {
        emit message(tr("这次测试没有可作为基准的直流电阻"));
        return;
    }
    store::ResultStore* store = hooks.store();
    const qint64 id = store->objectId(object);
    if (id == 0 || !store->setBaseline(id, entries)) {
        emit message(tr("基准值未能保存"));
        return;
    }
    emit message(tr("已将 %1 个电阻值设为“%2”的基准").arg(entries.size()).arg(objectText(object)));
}
