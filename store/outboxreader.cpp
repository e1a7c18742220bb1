#include "store/outboxreader.h"

#include "store/outbox.h"

#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace store {

namespace {

QString uniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("outbox-%1").arg(++counter);
}

// Never null: a null text would go to the server as NULL.
QString text(const QVariant& value)
{
    return value.isNull() ? QStringLiteral("") : value.toString();
}

}  // namespace

// The statements of one batch, prepared once, and what it has gathered.
class OutboxReader::Reading
{
public:
    Reading(const QSqlDatabase& db, PushBatch* batch)
        : db(db), batch(batch), object(db), session(db), row(db), sessionRows(db), baseline(db)
    {
        const QString rowColumns = QStringLiteral(
            "SELECT rows.id, rows.uuid, sessions.id, rows.settled, objects.uuid, traces.points FROM rows"
            " JOIN sessions ON sessions.id = rows.session LEFT JOIN objects ON objects.id = rows.object"
            " LEFT JOIN traces ON traces.row = rows.id");
        for (QSqlQuery* query : {&row, &sessionRows})
            query->setForwardOnly(true);
        object.prepare(QStringLiteral("SELECT uuid, name, serial, location FROM objects WHERE id = ?"));
        session.prepare(QStringLiteral("SELECT sessions.uuid, kind, started, instrument, objects.id FROM sessions"
                                       " LEFT JOIN objects ON objects.id = sessions.object WHERE sessions.id = ?"));
        row.prepare(rowColumns + QStringLiteral(" WHERE rows.uuid = ?"));
        sessionRows.prepare(rowColumns + QStringLiteral(" WHERE sessions.uuid = ? ORDER BY rows.id"));
        baseline.prepare(QStringLiteral("SELECT winding, tapping, phase, ohms, celsius, material FROM baselines"
                                        " JOIN objects ON objects.id = baselines.object WHERE objects.uuid = ?"
                                        " ORDER BY winding, tapping, phase"));
    }

    bool add(OutboxEntry what, const QString& subject, const QString& uuid, qint64 at)
    {
        switch (what) {
        case OutboxEntry::Object:
            return addObjectByUuid(subject);
        case OutboxEntry::Row:
            row.bindValue(0, subject);
            return addRows(row);
        case OutboxEntry::Session:
            sessionRows.bindValue(0, subject);
            return addRows(sessionRows);
        case OutboxEntry::RowDeleted:
            batch->deletions << PushDeletion{subject, at};
            return true;
        case OutboxEntry::SessionClosed:
        case OutboxEntry::SessionReopened:
            batch->events << PushEvent{uuid, subject, what == OutboxEntry::SessionClosed, at};
            return true;
        case OutboxEntry::Baseline:
            return addBaseline(subject, uuid, at);
        }
        return true;  // an entry of a newer program: left to it
    }

private:
    bool addObjectByUuid(const QString& uuid)
    {
        QSqlQuery find(db);
        find.prepare(QStringLiteral("SELECT id FROM objects WHERE uuid = ?"));
        find.addBindValue(uuid);
        if (!find.exec())
            return false;
        return !find.next() || !addObject(find.value(0).toLongLong()).isNull();
    }

    // The object's uuid, gathered once; empty for none, null on failure.
    QString addObject(qint64 id)
    {
        if (id <= 0)
            return QStringLiteral("");
        object.bindValue(0, id);
        if (!object.exec() || !object.next())
            return QString();
        const QString uuid = object.value(0).toString();
        if (!objects.contains(uuid)) {
            objects.insert(uuid);
            batch->objects << PushObject{uuid, object.value(1).toString(), object.value(2).toString(),
                                         object.value(3).toString()};
        }
        return uuid;
    }

    // The session's uuid, gathered once with its object.
    QString addSession(qint64 id)
    {
        session.bindValue(0, id);
        if (!session.exec() || !session.next())
            return QString();
        const QString uuid = session.value(0).toString();
        if (sessions.contains(uuid))
            return uuid;
        PushSession found{uuid, session.value(1).toInt(), session.value(2).toLongLong(), text(session.value(3)), {}};
        const qint64 objectId = session.value(4).toLongLong();
        session.finish();
        found.object = addObject(objectId);
        if (found.object.isNull())
            return QString();
        sessions.insert(uuid);
        batch->sessions << found;
        return uuid;
    }

    bool addRows(QSqlQuery& query)
    {
        if (!query.exec())
            return false;
        QList<PushRow> found;
        QList<qint64> sessionIds;
        while (query.next()) {
            const QString uuid = query.value(1).toString();
            if (rows.contains(uuid))
                continue;
            rows.insert(uuid);
            const QVariant settled = query.value(3);
            found << PushRow{uuid, {}, query.value(0).toLongLong(), {},
                             settled.isNull() ? std::nullopt : std::optional<bool>(settled.toBool()),
                             text(query.value(4)), query.value(5).toByteArray()};
            sessionIds << query.value(2).toLongLong();
        }
        query.finish();
        for (int i = 0; i < found.size(); ++i) {
            found[i].session = addSession(sessionIds[i]);
            if (found[i].session.isNull())
                return false;
        }
        return addCells(found);
    }

    bool addCells(QList<PushRow>& found)
    {
        if (found.isEmpty())
            return true;
        QHash<qint64, int> byId;
        QStringList ids;
        for (int i = 0; i < found.size(); ++i) {
            byId.insert(found[i].position, i);
            ids << QString::number(found[i].position);
        }
        QSqlQuery cells(db);
        cells.setForwardOnly(true);
        if (!cells.exec(QStringLiteral("SELECT row, col, text FROM cells WHERE row IN (%1) ORDER BY row, col")
                            .arg(ids.join(QLatin1Char(',')))))
            return false;
        while (cells.next()) {
            QStringList& texts = found[byId.value(cells.value(0).toLongLong())].cells;
            while (texts.size() < cells.value(1).toInt())  // a missing cell reads as empty
                texts << QStringLiteral("");
            texts << cells.value(2).toString();
        }
        batch->rows << found;
        return true;
    }

    bool addBaseline(const QString& objectUuid, const QString& uuid, qint64 at)
    {
        if (!addObjectByUuid(objectUuid))
            return false;
        if (!objects.contains(objectUuid))
            return true;  // the object is gone
        baseline.bindValue(0, objectUuid);
        if (!baseline.exec())
            return false;
        PushBaseline set{uuid, objectUuid, at, {}};
        while (baseline.next()) {
            set.entries << BaselineEntry{baseline.value(0).toInt(),    baseline.value(1).toString(),
                                         baseline.value(2).toString(), baseline.value(3).toDouble(),
                                         baseline.value(4).toDouble(), baseline.value(5).toInt()};
        }
        batch->baselines << set;
        return true;
    }

    QSqlDatabase db;
    PushBatch* batch;
    QSqlQuery object, session, row, sessionRows, baseline;
    QSet<QString> objects, sessions, rows;
};

OutboxReader::OutboxReader(const QString& storePath) : path(storePath), connectionName(uniqueConnectionName())
{
}

OutboxReader::~OutboxReader()
{
    close();
    QSqlDatabase::removeDatabase(connectionName);
}

void OutboxReader::close()
{
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::database(connectionName, false).close();
}

bool OutboxReader::ensureOpen()
{
    if (QSqlDatabase::contains(connectionName) && QSqlDatabase::database(connectionName, false).isOpen())
        return true;
    if (!QFileInfo::exists(path))
        return false;
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return false;
    QSqlQuery version(db);
    if (version.exec(QStringLiteral("PRAGMA user_version")) && version.next()
        && version.value(0).toInt() == ResultStore::kSchemaVersion)
        return true;
    version.finish();
    db.close();  // not yet (or no longer) this program's schema
    return false;
}

int OutboxReader::count()
{
    if (!ensureOpen())
        return -1;
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    if (query.exec(QStringLiteral("SELECT count(*) FROM outbox")) && query.next())
        return query.value(0).toInt();
    close();
    return -1;
}

bool OutboxReader::read(int maxEntries, PushBatch* batch)
{
    *batch = PushBatch();
    if (!ensureOpen())
        return false;
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    // One snapshot for the whole batch: the window's commits meanwhile wait for the next.
    if (!db.transaction())
        return false;
    Reading reading(db, batch);
    QSqlQuery entries(db);
    entries.setForwardOnly(true);
    entries.prepare(QStringLiteral("SELECT seq, what, subject, uuid, at FROM outbox ORDER BY seq LIMIT ?"));
    entries.addBindValue(maxEntries);
    bool ok = entries.exec();
    QList<QVariantList> found;
    while (ok && entries.next())
        found << QVariantList{entries.value(0), entries.value(1), entries.value(2), entries.value(3), entries.value(4)};
    entries.finish();
    for (const QVariantList& entry : found) {
        ok = ok && reading.add(OutboxEntry(entry[1].toInt()), entry[2].toString(), entry[3].toString(),
                               entry[4].toLongLong());
        batch->lastSeq = entry[0].toLongLong();
        ++batch->entries;
    }
    db.rollback();
    if (!ok)
        *batch = PushBatch();
    return ok;
}

bool OutboxReader::remove(qint64 lastSeq)
{
    if (!ensureOpen())
        return false;
    QSqlQuery remove(QSqlDatabase::database(connectionName, false));
    remove.prepare(QStringLiteral("DELETE FROM outbox WHERE seq <= ?"));
    remove.addBindValue(lastSeq);
    return remove.exec();
}

}  // namespace store
