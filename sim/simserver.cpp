#include "sim/simserver.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr std::size_t kMessageBuffer = 4096;  // requests are at most 24 bytes
constexpr int kListenBacklog = 4;

bool fillAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address->sun_path)
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether some process still accepts connections on the socket file.
bool someoneListens(const sockaddr_un& address)
{
    const int probe = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0)
        return false;
    // A server too busy to take the probe (EAGAIN) is alive all the same.
    const bool alive = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                       errno == EAGAIN;
    ::close(probe);
    return alive;
}

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// "AB CD 00 04 ..." for log lines.
std::string hexBytes(const Bytes& bytes)
{
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", bytes[i]);
        text += digits;
    }
    return text;
}

}  // namespace

SimServer::SimServer(std::shared_ptr<Instrument> instrument, std::string socketPath)
    : instrument_(std::move(instrument)), socketPath_(std::move(socketPath))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

SimServer::~SimServer()
{
    closeAll();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

void SimServer::setLog(LogSink sink)
{
    log_ = std::move(sink);
}

void SimServer::closeAll()
{
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
    if (ownsSocketFile_) {
        ::unlink(socketPath_.c_str());
        ownsSocketFile_ = false;
    }
}

bool SimServer::listen(std::string* error)
{
    sockaddr_un address;
    if (!fillAddress(socketPath_, &address)) {
        *error = "socket path is empty or too long: " + socketPath_;
        return false;
    }
    if (wakeRead_ < 0) {
        *error = "cannot create the stop pipe";
        return false;
    }
    struct stat info;
    if (::lstat(socketPath_.c_str(), &info) == 0) {
        if (!S_ISSOCK(info.st_mode)) {
            *error = socketPath_ + " exists and is not a socket";
            return false;
        }
        if (someoneListens(address)) {
            *error = "another server is listening on " + socketPath_;
            return false;
        }
        ::unlink(socketPath_.c_str());  // left behind by a server that is gone
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) {
        *error = systemError("socket");
        return false;
    }
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        *error = systemError("bind");
        closeAll();
        return false;
    }
    ownsSocketFile_ = true;
    // The user's alone whatever the umask; nobody can connect before listen().
    if (::chmod(socketPath_.c_str(), S_IRUSR | S_IWUSR) != 0) {
        *error = systemError("chmod");
        closeAll();
        return false;
    }
    if (::listen(listenFd_, kListenBacklog) != 0) {
        *error = systemError("listen");
        closeAll();
        return false;
    }
    return true;
}

void SimServer::stop()
{
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
    }
}

SimServer::Wait SimServer::waitReadable(int fd, int timeoutMs) const
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;  // a signal whose handler calls stop() leaves a byte in the pipe
        if (ready < 0)
            return Wait::Failed;
        if (fds[1].revents)
            return Wait::Stopped;
        if (ready == 0)
            return Wait::TimedOut;
        return Wait::Ready;
    }
}

void SimServer::serve()
{
    while (listenFd_ >= 0) {
        const Wait wait = waitReadable(listenFd_, -1);
        if (wait == Wait::Stopped || wait == Wait::Failed)
            return;
        const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        serveClient(client);
        ::close(client);
    }
}

void SimServer::serveClient(int client)
{
    std::size_t requests = 0;
    Bytes buffer(kMessageBuffer);
    for (;;) {
        const Wait wait = waitReadable(client, -1);
        if (wait != Wait::Ready)
            return;
        const ssize_t size = ::recv(client, buffer.data(), buffer.size(), 0);
        if (size <= 0)
            return;  // the client has gone (or its socket failed)
        const Bytes request(buffer.begin(), buffer.begin() + size);
        if (!answer(client, request))
            return;
        const int dropAfter = instrument_->faults().dropAfterRequests;
        if (dropAfter > 0 && ++requests >= static_cast<std::size_t>(dropAfter))
            return;  // the cable is pulled
    }
}

bool SimServer::answer(int client, const Bytes& request)
{
    log("<-", request);
    const std::vector<Bytes> answers = instrument_->handle(request);
    const std::uint32_t delayMs = instrument_->faults().answerDelayMs;
    if (!answers.empty() && delayMs > 0 && waitReadable(wakeRead_, static_cast<int>(delayMs)) == Wait::Stopped)
        return false;
    for (const Bytes& message : answers) {
        log("->", message);
        if (::send(client, message.data(), message.size(), MSG_NOSIGNAL) < 0)
            return false;
    }
    return true;
}

void SimServer::log(const char* direction, const Bytes& bytes) const
{
    if (log_)
        log_(std::string(direction) + " " + hexBytes(bytes));
}

}  // namespace sim
