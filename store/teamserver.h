#pragma once
// One connection to the team's PostgreSQL server through Qt's driver: it logs
// in by service name, checks (and, when its login may, creates) the server's
// schema, and writes a batch of the outbox in one transaction. Its messages
// are in the user's language.

#include "store/outboxreader.h"

#include <QCoreApplication>
#include <QString>

namespace store {

class TeamServer
{
    Q_DECLARE_TR_FUNCTIONS(TeamServer)
public:
    // The server's schema version this program writes.
    static constexpr int kSchemaVersion = 1;

    enum class State { Ready, Unreachable, LoginRefused, NotSetUp, Newer, Failed };

    TeamServer(const QString& service, int connectTimeoutS);
    ~TeamServer();
    TeamServer(const TeamServer&) = delete;
    TeamServer& operator=(const TeamServer&) = delete;

    // Logs in when not connected and checks the schema; with mayCreate,
    // creates or migrates it when the login has the right to.
    State connect(bool mayCreate = true);
    // The batch in one transaction; false leaves the server as it was.
    bool push(const PushBatch& batch);
    void close();
    QString message() const { return lastMessage; }  // why the last call failed, or that it worked

private:
    State checkSchema(bool mayCreate);
    bool exec(const QString& statement);
    State fail(State state, const QString& message);

    const QString serviceName;
    const QString connectionName;
    const int connectTimeoutS;
    QString lastMessage;
};

}  // namespace store
