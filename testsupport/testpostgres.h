#pragma once
// A PostgreSQL server of the distribution's packages for the tests of one
// executable: a cluster made with initdb in a temporary folder, reached only
// through its Unix socket, with a database for the team's results, an
// administrator and two operators who log in with passwords. Clients find it
// through the pg_service.conf and .pgpass written into the same folder (the
// process's PGSERVICEFILE and PGPASSFILE point at them); nothing in $HOME is
// touched. Run as root, the server runs as the distribution's "postgres" user,
// which owns the folder: the server refuses to run as root.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

class TestPostgres
{
public:
    // Services of the two operators and of the administrator (who owns the database).
    static QString firstOperator() { return QStringLiteral("fieldone"); }
    static QString secondOperator() { return QStringLiteral("fieldtwo"); }
    static QString administrator() { return QStringLiteral("teamadmin"); }

    // Makes and starts the cluster; isRunning() tells whether that worked.
    TestPostgres();
    ~TestPostgres();
    TestPostgres(const TestPostgres&) = delete;
    TestPostgres& operator=(const TestPostgres&) = delete;

    bool isRunning() const { return running; }
    QString failure() const { return failureText; }  // why not running

    bool stop();
    bool start();

    // A further service (or the same anew) for the login `user` at another socket folder (a proxy).
    void addService(const QString& service, const QString& user, const QString& socketFolder);
    // Gives the login a wrong password in .pgpass (or its right one back).
    void setWrongPassword(const QString& user, bool wrong);
    QString socketFolder() const { return dir.path() + QStringLiteral("/socket"); }
    QString socketPath() const { return socketFolder() + QStringLiteral("/.s.PGSQL.5432"); }

    // Runs SQL (or a file with -f) through psql as the administrator; true on success.
    bool psql(const QString& sql, QString* output = nullptr);
    bool psqlFile(const QString& path);
    QString lastError() const { return lastOutput; }  // what the last failed command said

private:
    bool psqlAt(const QString& connection, const QString& sql, QString* output = nullptr);
    bool run(const QString& program, const QStringList& arguments, bool asServer, QString* output = nullptr);
    bool prepareFolder();
    void writeClientFiles();
    bool fail(const QString& what);

    QTemporaryDir dir;
    QString binaries;
    bool asRoot = false;
    bool running = false;
    QString failureText;
    QString lastOutput;
    QStringList services;  // pg_service.conf sections
    QStringList wrongPasswords;
};

}  // namespace testsupport
