#include "store/resultstore.h"

#include "store/outbox.h"

#include <QSqlQuery>
#include <QVariant>

namespace store {

namespace {

// Trimmed, and never null: a null text would be kept as NULL.
QString field(const QString& text)
{
    return text.isNull() ? QString(QLatin1String("")) : text.trimmed();
}

TestObject trimmed(const TestObject& object)
{
    return {object.id, field(object.name), field(object.serial), field(object.location)};
}

TestObject objectFrom(const QSqlQuery& query)
{
    return {query.value(0).toLongLong(), query.value(1).toString(), query.value(2).toString(),
            query.value(3).toString()};
}

}  // namespace

qint64 ResultStore::objectId(const TestObject& object)
{
    const TestObject named = trimmed(object);
    if (named.isEmpty())
        return 0;
    qint64 id = 0;
    transact([&] {
        QSqlQuery upsert(database());
        upsert.prepare(QStringLiteral("INSERT INTO objects (name, serial, location, used, uuid)"
                                      " VALUES (?, ?, ?, (SELECT COALESCE(MAX(used), 0) + 1 FROM objects),"
                                      " " STORE_NEW_UUID ")"
                                      " ON CONFLICT (name, serial, location) DO UPDATE SET used = excluded.used"));
        upsert.addBindValue(named.name);
        upsert.addBindValue(named.serial);
        upsert.addBindValue(named.location);
        QSqlQuery find(database());
        find.prepare(QStringLiteral("SELECT id FROM objects WHERE name = ? AND serial = ? AND location = ?"));
        find.addBindValue(named.name);
        find.addBindValue(named.serial);
        find.addBindValue(named.location);
        if (!run(upsert) || !run(find) || !find.next())
            return false;
        id = find.value(0).toLongLong();
        return enqueue(OutboxEntry::Object, id);
    });
    return keeping ? id : 0;
}

QList<TestObject> ResultStore::testObjects() const
{
    if (!keeping)
        return {};
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT id, name, serial, location FROM objects ORDER BY used DESC, id DESC"));
    if (!run(query))
        return {};
    QList<TestObject> objects;
    while (query.next())
        objects << objectFrom(query);
    return objects;
}

TestObject ResultStore::testObject(qint64 id) const
{
    if (!keeping || id <= 0)
        return {};
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT id, name, serial, location FROM objects WHERE id = ?"));
    query.addBindValue(id);
    return run(query) && query.next() ? objectFrom(query) : TestObject();
}

QList<BaselineEntry> ResultStore::baseline(qint64 object) const
{
    if (!keeping)
        return {};
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT winding, tapping, phase, ohms, celsius, material FROM baselines"
                                 " WHERE object = ? ORDER BY winding DESC, tapping, phase"));
    query.addBindValue(object);
    if (!run(query))
        return {};
    QList<BaselineEntry> entries;
    while (query.next()) {
        entries << BaselineEntry{query.value(0).toInt(),    query.value(1).toString(), query.value(2).toString(),
                                 query.value(3).toDouble(), query.value(4).toDouble(), query.value(5).toInt()};
    }
    return entries;
}

bool ResultStore::setBaseline(qint64 object, const QList<BaselineEntry>& entries)
{
    if (object <= 0)
        return false;
    return transact([&] {
        QSqlQuery clear(database());
        clear.prepare(QStringLiteral("DELETE FROM baselines WHERE object = ?"));
        clear.addBindValue(object);
        if (!run(clear))
            return false;
        QSqlQuery insert(database());
        insert.prepare(QStringLiteral("INSERT OR REPLACE INTO baselines"
                                      " (object, winding, tapping, phase, ohms, celsius, material)"
                                      " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (const BaselineEntry& entry : entries) {
            const QVariantList values{object,     entry.winding, entry.tapping, entry.phase,
                                      entry.ohms, entry.celsius, entry.material};
            for (int i = 0; i < values.size(); ++i)
                insert.bindValue(i, values[i]);
            if (!run(insert))
                return false;
        }
        return enqueue(OutboxEntry::Baseline, object);
    });
}

}  // namespace store
