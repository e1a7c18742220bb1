#pragma once
// What the history dialog offers beyond this computer's sessions: the team's
// sessions read from the server off the window's thread (listed after the
// local ones, with who measured, with which instrument, on which object; those
// this computer keeps itself are not listed twice),
// loading or exporting one of them, and making any DC session, local or the
// team's, the reference values of its object ("设为基准").

#include "dialogs/historydialog.h"
#include "store/resultstore.h"
#include "store/teamhistory.h"

#include <QObject>
#include <QPointer>

#include <functional>

class HistoryActions : public QObject
{
    Q_OBJECT

public:
    struct Hooks {
        std::function<store::ResultStore*()> store;
        std::function<QString()> service;  // the team's service; empty: none set
        std::function<QString(store::TableKind)> tableName;  // in the language in force
        // The rows become their table's current session.
        std::function<void(store::TableKind, const QList<store::Row>&)> load;
        std::function<void(store::TableKind, const QList<store::Row>&)> exportRows;
    };

    HistoryActions(const Hooks& hooks, QObject* parent);

    // Lists the team's sessions in the dialog when a service is set, and
    // answers its team and baseline actions.
    void attach(HistoryDialog* dialog);

signals:
    void message(const QString& text);

private:
    using RowsUse = std::function<void(const store::TeamSession&, const QList<store::Row>&)>;

    void showTeamSessions(QPointer<HistoryDialog> dialog, const store::TeamSessions& found, const QString& service);
    void withTeamRows(const QString& uuid, const RowsUse& use);
    void setBaseline(const HistoryEntry& entry);
    void keepBaseline(const store::TestObject& object, const QList<store::Row>& rows);
    QString unreachable(const store::TeamReach& reach, const QString& service) const;

    const Hooks hooks;
    QList<store::TeamSession> teamSessions;  // as last listed: the server's, less this computer's
};

// The reference values a DC session's rows give: per winding, tapping and
// phase the measured resistance at its conductor temperature. Rows without a
// known winding, material, resistance or temperature give none.
QList<store::BaselineEntry> baselineFromRows(const QList<store::Row>& rows);
