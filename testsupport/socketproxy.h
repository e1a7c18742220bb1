#pragma once
// A Unix-socket relay between database clients and a server, for faults:
// cut() drops every connection at once (a cable pulled mid-push), and a delay
// holds each chunk of what the server answers (a slow server). It works on
// the thread that made it, from its event loop.

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

namespace testsupport {

class SocketProxy : public QObject
{
    Q_OBJECT
public:
    // Listens at `listenPath` and relays to `serverPath`.
    SocketProxy(const QString& listenPath, const QString& serverPath, QObject* parent = nullptr);
    ~SocketProxy() override;

    bool isListening() const;
    void cut();
    void setAnswerDelay(int ms) { answerDelayMs = ms; }
    int connectionCount() const { return pairs.size(); }

private:
    struct Pair;
    void accept();
    void relay(QLocalSocket* from, QLocalSocket* to, int delayMs);
    void drop(Pair* pair);

    QLocalServer* server;
    QString target;
    int answerDelayMs = 0;
    QList<Pair*> pairs;
};

}  // namespace testsupport
