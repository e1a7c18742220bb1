#include "testsupport/socketproxy.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

namespace testsupport {

struct SocketProxy::Pair {
    QLocalSocket* client;
    QLocalSocket* server;
};

SocketProxy::SocketProxy(const QString& listenPath, const QString& serverPath, QObject* parent)
    : QObject(parent), server(new QLocalServer(this)), target(serverPath)
{
    QLocalServer::removeServer(listenPath);
    server->setSocketOptions(QLocalServer::WorldAccessOption);
    server->listen(listenPath);
    connect(server, &QLocalServer::newConnection, this, &SocketProxy::accept);
}

SocketProxy::~SocketProxy()
{
    cut();
}

bool SocketProxy::isListening() const
{
    return server->isListening();
}

void SocketProxy::accept()
{
    while (QLocalSocket* client = server->nextPendingConnection()) {
        auto* upstream = new QLocalSocket(this);
        upstream->connectToServer(target);
        if (!upstream->waitForConnected(2000)) {
            client->abort();
            client->deleteLater();
            upstream->deleteLater();
            continue;
        }
        auto* pair = new Pair{client, upstream};
        pairs << pair;
        connect(client, &QLocalSocket::readyRead, this, [this, pair] { relay(pair->client, pair->server, 0); });
        connect(upstream, &QLocalSocket::readyRead, this,
                [this, pair] { relay(pair->server, pair->client, answerDelayMs); });
        connect(client, &QLocalSocket::disconnected, this, [this, pair] { drop(pair); });
        connect(upstream, &QLocalSocket::disconnected, this, [this, pair] { drop(pair); });
        relay(client, upstream, 0);
    }
}

void SocketProxy::relay(QLocalSocket* from, QLocalSocket* to, int delayMs)
{
    const QByteArray bytes = from->readAll();
    if (bytes.isEmpty())
        return;
    if (delayMs <= 0) {
        to->write(bytes);
        return;
    }
    QPointer<QLocalSocket> receiver(to);
    QTimer::singleShot(delayMs, this, [receiver, bytes] {
        if (receiver)
            receiver->write(bytes);
    });
}

void SocketProxy::drop(Pair* pair)
{
    if (!pairs.removeOne(pair))
        return;
    for (QLocalSocket* socket : {pair->client, pair->server}) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    delete pair;
}

void SocketProxy::cut()
{
    while (!pairs.isEmpty())
        drop(pairs.first());
}

}  // namespace testsupport
