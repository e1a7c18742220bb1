// Pushing a completed import of the instrument's stored records to the team's
// server: a local PostgreSQL of the distribution's packages in a temporary
// folder, a fresh results store holding the import, and the time from reading
// the outbox to its entries being removed after the server's commit (the
// pusher's whole work for it), and the pusher started until its outbox is
// empty. Medians of the runs.
//
//   build/bench/bench-teampush [runs] [records]

#include "store/outboxreader.h"
#include "store/resultstore.h"
#include "store/teampusher.h"
#include "store/teamserver.h"
#include "testsupport/testpostgres.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QStringList storedRecord(int number)
{
    return {QString::number(number), QStringLiteral("2026-12-06 08:15:%1").arg(number % 60, 2, 10, QLatin1Char('0')),
            QStringLiteral("铜"), QStringLiteral("+20.5℃"), QStringLiteral("75℃"), QStringLiteral("03"),
            QStringLiteral("AB"), QStringLiteral("高压"), QStringLiteral("10A"), QStringLiteral("1.234mΩ"),
            QStringLiteral("1.287mΩ")};
}

void keepImport(const QString& path, int records)
{
    store::ResultStore results(path);
    const qint64 session = results.beginHiddenSession(store::TableKind::StoredRecords);
    QList<QStringList> rows;
    for (int number = 1; number <= records; ++number)
        rows << storedRecord(number);
    results.appendRows(session, rows);
    results.makeCurrent(session);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int records = argc > 2 ? std::max(1, atoi(argv[2])) : 9999;

    testsupport::TestPostgres server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "no server: %s\n", qPrintable(server.failure()));
        return 1;
    }
    store::TeamServer owner(testsupport::TestPostgres::administrator(), 5);
    if (owner.connect(true) != store::TeamServer::State::Ready) {
        std::fprintf(stderr, "%s\n", qPrintable(owner.message()));
        return 1;
    }
    const QString truncate = QStringLiteral("TRUNCATE team_results.sessions, team_results.rows,"
                                            " team_results.session_events CASCADE");
    std::vector<double> direct, reading, sending, pusher;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("results.sqlite"));

        keepImport(path, records);
        server.psql(truncate);
        {
            store::OutboxReader outbox(path);
            store::TeamServer team(testsupport::TestPostgres::firstOperator(), 5);
            team.connect();
            QElapsedTimer timer;
            timer.start();
            store::PushBatch batch;
            const bool read = outbox.read(2000, &batch);
            reading.push_back(timer.nsecsElapsed() / 1e6);
            const bool sent = read && team.push(batch);
            sending.push_back(timer.nsecsElapsed() / 1e6 - reading.back());
            if (!sent || !outbox.remove(batch.lastSeq)) {
                std::fprintf(stderr, "push failed: %s\n", qPrintable(team.message()));
                return 1;
            }
            direct.push_back(timer.nsecsElapsed() / 1e6);
            if (batch.rows.size() != records) {
                std::fprintf(stderr, "pushed %d rows of %d\n", int(batch.rows.size()), records);
                return 1;
            }
        }

        store::ResultStore::removeFiles(path);
        keepImport(path, records);
        server.psql(truncate);
        store::TeamPusher background(path, testsupport::TestPostgres::firstOperator());
        QEventLoop loop;
        QObject::connect(&background, &store::TeamPusher::waitingChanged, &loop, [&loop](int count) {
            if (count == 0)
                loop.quit();
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        background.start();
        loop.exec();
        pusher.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("push of a %d-record import, read to removed from the outbox: median %.0f ms of %d runs\n", records,
                median(direct), runs);
    std::printf("  of which reading the local store %.0f ms, the server's transaction %.0f ms\n", median(reading),
                median(sending));
    std::printf("the same by the background pusher, started until its outbox is empty: median %.0f ms\n",
                median(pusher));
    return 0;
}
