#pragma once
// Serves one simulated instrument on a Unix-domain SOCK_SEQPACKET socket:
// every message a client sends is one bulk OUT transfer, every message the
// server sends back is one bulk IN transfer. One client at a time; the next
// is accepted once the present one has gone.
//
// The instrument's "delay" fault holds back the answers of each request, and
// "drop after n" closes the client's connection after its n-th request has
// been answered.

#include "sim/instrument.h"

#include <functional>
#include <memory>
#include <string>

namespace sim {

class SimServer {
public:
    // Receives one line for each request and answer when verbose.
    using LogSink = std::function<void(const std::string& line)>;

    SimServer(std::shared_ptr<Instrument> instrument, std::string socketPath);
    ~SimServer();  // closes every socket and removes the socket file it made
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    void setLog(LogSink sink);

    // Binds and listens. A socket file left behind by a server that is gone
    // is removed first; a live server on the path, or a file that is not a
    // socket, is left alone and makes listen() fail with a reason in *error.
    bool listen(std::string* error);
    // Accepts and serves clients until stop(); returns at once without listen().
    void serve();
    // Ends serve() from any thread or from a signal handler (it only writes
    // one byte to a pipe).
    void stop();

    const std::string& socketPath() const { return socketPath_; }

private:
    enum class Wait { Ready, TimedOut, Stopped, Failed };

    Wait waitReadable(int fd, int timeoutMs) const;
    void serveClient(int client);
    bool answer(int client, const Bytes& request);
    void log(const char* direction, const Bytes& bytes) const;
    void closeAll();

    std::shared_ptr<Instrument> instrument_;
    std::string socketPath_;
    LogSink log_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    bool ownsSocketFile_ = false;
};

}  // namespace sim
