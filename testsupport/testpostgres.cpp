#include "testsupport/testpostgres.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace testsupport {

namespace {

const char* const kServerUser = "postgres";
const char* const kDatabase = "team";
const char* const kCandidateBinaries[] = {"/usr/lib/postgresql/15/bin", "/usr/lib/postgresql/16/bin",
                                          "/usr/lib/postgresql/17/bin"};

QString passwordOf(const QString& user)
{
    return user + QStringLiteral("-secret");
}

bool chownTree(const QString& path, uid_t uid, gid_t gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

}  // namespace

TestPostgres::TestPostgres()
{
    for (const char* candidate : kCandidateBinaries) {
        if (QFile::exists(QLatin1String(candidate) + QStringLiteral("/initdb"))) {
            binaries = QLatin1String(candidate);
            break;
        }
    }
    if (binaries.isEmpty()) {
        fail(QStringLiteral("no PostgreSQL server installed (Debian: postgresql-15)"));
        return;
    }
    if (!dir.isValid() || !prepareFolder())
        return;

    QFile passwordFile(dir.path() + QStringLiteral("/initpw"));
    if (!passwordFile.open(QIODevice::WriteOnly) || passwordFile.write(passwordOf(administrator()).toUtf8()) < 0) {
        fail(QStringLiteral("cannot write the password file"));
        return;
    }
    passwordFile.close();
    if (asRoot) {
        const passwd* server = ::getpwnam(kServerUser);
        chownTree(passwordFile.fileName(), server->pw_uid, server->pw_gid);
    }
    if (!run(binaries + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), dir.path() + QStringLiteral("/data"), QStringLiteral("-U"), administrator(),
              QStringLiteral("--pwfile=") + passwordFile.fileName(), QStringLiteral("--auth=scram-sha-256"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-N")},
             true)) {
        fail(lastOutput);
        return;
    }
    for (const QString& user : {administrator(), firstOperator(), secondOperator()})
        services << user;
    writeClientFiles();
    if (!start())
        return;
    const QString operators = QStringLiteral(
        "CREATE ROLE tester_operators NOLOGIN;"
        " CREATE ROLE %1 LOGIN PASSWORD '%2' IN ROLE tester_operators;"
        " CREATE ROLE %3 LOGIN PASSWORD '%4' IN ROLE tester_operators;")
                                 .arg(firstOperator(), passwordOf(firstOperator()), secondOperator(),
                                      passwordOf(secondOperator()));
    const QString maintenance = QStringLiteral("service=%1 dbname=postgres").arg(administrator());
    if (!psqlAt(maintenance, QStringLiteral("CREATE DATABASE ") + QLatin1String(kDatabase))
        || !psqlAt(maintenance, operators))
        fail(QStringLiteral("cannot create the database: ") + lastOutput);
}

TestPostgres::~TestPostgres()
{
    stop();
}

bool TestPostgres::fail(const QString& what)
{
    if (failureText.isEmpty())
        failureText = what;
    running = false;
    return false;
}

// The folder belongs to the server's user when the tests run as root.
bool TestPostgres::prepareFolder()
{
    asRoot = ::geteuid() == 0;
    if (!QDir(dir.path()).mkpath(QStringLiteral("socket")))
        return fail(QStringLiteral("cannot create the socket folder"));
    if (!asRoot)
        return true;
    const passwd* server = ::getpwnam(kServerUser);
    if (!server)
        return fail(QStringLiteral("running as root, but there is no \"postgres\" user to run the server as"));
    if (!chownTree(dir.path(), server->pw_uid, server->pw_gid) || !chownTree(socketFolder(), server->pw_uid, server->pw_gid))
        return fail(QStringLiteral("cannot give the folder to the \"postgres\" user"));
    return true;
}

bool TestPostgres::run(const QString& program, const QStringList& arguments, bool asServer, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir.path());
    if (asServer && asRoot)
        process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QLatin1String(kServerUser),
                                                             QStringLiteral("--"), program} + arguments);
    else
        process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    const QString said = QString::fromLocal8Bit(process.readAll());
    if (output)
        *output = said;
    lastOutput = program + QStringLiteral(": ") + said + process.errorString();
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool TestPostgres::start()
{
    const QString options = QStringLiteral("-c listen_addresses='' -k %1 -p 5432 -c fsync=off").arg(socketFolder());
    running = run(binaries + QStringLiteral("/pg_ctl"),
                  {QStringLiteral("-D"), dir.path() + QStringLiteral("/data"), QStringLiteral("-o"), options,
                   QStringLiteral("-l"), dir.path() + QStringLiteral("/server.log"), QStringLiteral("-w"),
                   QStringLiteral("start")},
                  true);
    return running || fail(lastOutput);
}

bool TestPostgres::stop()
{
    if (!running)
        return true;
    running = false;
    return run(binaries + QStringLiteral("/pg_ctl"),
               {QStringLiteral("-D"), dir.path() + QStringLiteral("/data"), QStringLiteral("-m"),
                QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
               true);
}

void TestPostgres::addService(const QString& service, const QString& user, const QString& socket)
{
    const QString entry = service + QLatin1Char('\t');
    services.erase(std::remove_if(services.begin(), services.end(),
                                  [&entry](const QString& known) { return known.startsWith(entry); }),
                   services.end());
    services << entry + user + QLatin1Char('\t') + socket;
    writeClientFiles();
}

void TestPostgres::setWrongPassword(const QString& user, bool wrong)
{
    wrongPasswords.removeAll(user);
    if (wrong)
        wrongPasswords << user;
    writeClientFiles();
}

// A service is "name", or "name<TAB>user<TAB>socket folder".
void TestPostgres::writeClientFiles()
{
    QString serviceText;
    QString passwords;
    QStringList users;
    for (const QString& service : services) {
        const QStringList parts = service.split(QLatin1Char('\t'));
        const QString user = parts.value(1, parts[0]);
        serviceText += QStringLiteral("[%1]\nhost=%2\nport=5432\ndbname=%3\nuser=%4\n\n")
                           .arg(parts[0], parts.value(2, socketFolder()), QLatin1String(kDatabase), user);
        if (!users.contains(user)) {
            users << user;
            const QString password = wrongPasswords.contains(user) ? QStringLiteral("wrong") : passwordOf(user);
            passwords += QStringLiteral("*:*:*:%1:%2\n").arg(user, password);
        }
    }
    QFile serviceFile(dir.path() + QStringLiteral("/pg_service.conf"));
    QFile passFile(dir.path() + QStringLiteral("/pgpass"));
    if (serviceFile.open(QIODevice::WriteOnly))
        serviceFile.write(serviceText.toUtf8());
    if (passFile.open(QIODevice::WriteOnly)) {
        passFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        passFile.write(passwords.toUtf8());
    }
    qputenv("PGSERVICEFILE", QFile::encodeName(serviceFile.fileName()));
    qputenv("PGPASSFILE", QFile::encodeName(passFile.fileName()));
    for (const char* variable : {"PGHOST", "PGPORT", "PGUSER", "PGDATABASE", "PGPASSWORD", "PGSERVICE"})
        qunsetenv(variable);
}

bool TestPostgres::psql(const QString& sql, QString* output)
{
    return psqlAt(QStringLiteral("service=") + administrator(), sql, output);
}

bool TestPostgres::psqlAt(const QString& connection, const QString& sql, QString* output)
{
    QString said;
    const bool ok = run(
        QStringLiteral("psql"),
        {connection, QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
         QStringLiteral("-t"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql},
        false, &said);
    if (output)
        *output = said.trimmed();
    return ok;
}

bool TestPostgres::psqlFile(const QString& path)
{
    return run(
        QStringLiteral("psql"),
        {QStringLiteral("service=") + administrator(), QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
         QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-f"), path},
        false);
}

}  // namespace testsupport
