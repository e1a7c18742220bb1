#include "link/sockettransport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

bool fillAddress(const std::string& path, sockaddr_un* address)
{
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.size() >= sizeof(address->sun_path))
        return false;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

// A connected seqpacket socket, or -1 with errno set. The connect does not
// wait: a server that takes no more connections (its queue of unaccepted ones
// is full) fails it with EAGAIN instead of holding the link's thread.
int connectTo(const std::string& path)
{
    sockaddr_un address;
    if (!fillAddress(path, &address)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    if (fd < 0)
        return -1;
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);  // every transfer polls before it moves data anyway
#ifdef SO_NOSIGPIPE
    const int on = 1;  // where send() has no MSG_NOSIGNAL
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof(on));
#endif
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

bool isSocketFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_DONTWAIT | MSG_NOSIGNAL;  // a closed peer must not raise SIGPIPE
#else
constexpr int kSendFlags = MSG_DONTWAIT;
#endif

}  // namespace

// One transfer: its buffer, its outcome, and a self-pipe (lent by the
// transport) that a cancel from another thread writes to so that a wait in
// poll() wakes at once.
class SocketTransport::SocketTransfer : public transport::Transfer {
public:
    SocketTransfer(std::uint8_t pipeId, std::uint8_t* buffer, std::uint32_t length, WakePipe wake)
        : pipeId(pipeId), buffer(buffer), length(length), wake(wake)
    {
    }
    bool isIn() const { return (pipeId & 0x80) != 0; }

    void complete(bool succeeded, std::uint32_t count, int errorNumber)
    {
        done = true;
        ok = succeeded;
        transferred = count;
        error = errorNumber;
    }

    const std::uint8_t pipeId;
    std::uint8_t* const buffer;
    const std::uint32_t length;
    const WakePipe wake;
    std::atomic<bool> cancelled{false};
    // Written only by the thread that starts and waits for the transfer.
    bool done = false;
    bool ok = false;
    std::uint32_t transferred = 0;
    int error = 0;
};

SocketTransport::WakePipe SocketTransport::takeWakePipe()
{
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        if (!spareWakes_.empty()) {
            const WakePipe wake = spareWakes_.back();
            spareWakes_.pop_back();
            return wake;
        }
    }
    WakePipe wake = {-1, -1};
    if (::pipe(wake.data()) != 0)
        return {-1, -1};
    for (int fd : wake) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    return wake;
}

// A pipe a cancel has written to is emptied first, so that it wakes no later wait.
void SocketTransport::returnWakePipe(WakePipe wake, bool written)
{
    if (written) {
        char scratch[16];
        while (::read(wake[0], scratch, sizeof scratch) > 0) {
        }
    }
    std::lock_guard<std::mutex> lock(wakeMutex_);
    spareWakes_.push_back(wake);
}

SocketTransport::SocketTransport(std::string folder) : folder_(std::move(folder)) {}

SocketTransport::~SocketTransport()
{
    closeDevice();
    for (const WakePipe& wake : spareWakes_)
        for (int fd : wake)
            ::close(fd);
}

bool SocketTransport::fail(int error)
{
    lastError_ = error;
    return false;
}

bool SocketTransport::isPipe(std::uint8_t pipeId) const
{
    return pipeId == kBulkIn || pipeId == kBulkOut;
}

std::vector<std::string> SocketTransport::devicePaths()
{
    notice_.clear();
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder_.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());

    std::vector<std::string> paths;
    for (const std::string& name : names) {
        const std::string path = joinPath(folder_, name);
        if (!isSocketFile(path))
            continue;
        const int fd = connectTo(path);
        if (fd >= 0) {
            ::close(fd);
            paths.push_back(path);
        } else if (errno == EACCES) {
            notice_ += (notice_.empty() ? "" : " ") + std::string("No permission to open ") + path + '.';
        }
    }
    return paths;
}

bool SocketTransport::handles(const std::string& path) const
{
    return !path.empty() && path.front() == '/';
}

bool SocketTransport::openDevice(const std::string& path)
{
    notice_.clear();
    closeDevice();
    const int fd = connectTo(path);
    if (fd < 0)
        return fail(errno);
    socket_ = fd;
    return true;
}

bool SocketTransport::bindInterface()
{
    if (socket_ < 0)
        return fail(EBADF);
    bound_ = true;
    return true;
}

bool SocketTransport::queryEndpointCount(int* count)
{
    if (!bound_)
        return fail(EBADF);
    *count = 2;
    return true;
}

bool SocketTransport::queryPipe(int index, transport::PipeInfo* pipe)
{
    if (!bound_ || index < 0 || index > 1)
        return fail(EINVAL);
    pipe->type = transport::PipeType::Bulk;
    pipe->id = index == 0 ? kBulkIn : kBulkOut;
    return true;
}

bool SocketTransport::releaseInterface()
{
    bound_ = false;
    return true;
}

bool SocketTransport::closeDevice()
{
    bound_ = false;
    const int fd = socket_.exchange(-1);
    if (fd < 0)
        return true;
    if (::close(fd) != 0)
        return fail(errno);
    return true;
}

// The simulator's end of the socket closing shows as a hang-up, whatever
// answers are still unread.
bool SocketTransport::deviceGone()
{
    const int fd = socket_;
    if (fd < 0)
        return false;
    pollfd watched{fd, POLLRDHUP, 0};
    return ::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) != 0;
}

transport::Transfer* SocketTransport::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                                    std::uint32_t length)
{
    if (!bound_ || socket_ < 0) {
        fail(EBADF);
        return nullptr;
    }
    if (!isPipe(pipeId)) {
        fail(EINVAL);
        return nullptr;
    }
    const WakePipe wake = takeWakePipe();
    if (wake[0] < 0) {
        fail(errno);
        return nullptr;
    }
    auto* transfer = new SocketTransfer(pipeId, buffer, length, wake);
    if (!transfer->isIn()) {
        // Sent at once when the socket has room; otherwise while waited for.
        const ssize_t sent = ::send(socket_, buffer, length, kSendFlags);
        if (sent >= 0)
            transfer->complete(true, static_cast<std::uint32_t>(sent), 0);
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            transfer->complete(false, 0, errno);
    }
    return transfer;
}

transport::WaitResult SocketTransport::waitTransfer(transport::Transfer* base, std::uint32_t timeoutMs)
{
    auto* transfer = static_cast<SocketTransfer*>(base);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!transfer->done) {
        if (transfer->cancelled) {
            transfer->complete(false, 0, ECANCELED);
            break;
        }
        const int fd = socket_;
        if (fd < 0) {
            transfer->complete(false, 0, EBADF);
            break;
        }
        pollfd fds[2] = {{fd, short(transfer->isIn() ? POLLIN : POLLOUT), 0},
                         {transfer->wake[0], POLLIN, 0}};
        const int ready = ::poll(fds, 2, remainingMs(deadline));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            transfer->complete(false, 0, errno);
            break;
        }
        if (ready == 0)
            return transport::WaitResult::TimedOut;
        if (fds[1].revents != 0)
            continue;  // cancelled: handled at the top of the loop
        if (fds[0].revents == 0)
            continue;

        const ssize_t n = transfer->isIn()
                              ? ::recv(fd, transfer->buffer, transfer->length, MSG_DONTWAIT)
                              : ::send(fd, transfer->buffer, transfer->length, kSendFlags);
        if (n > 0 || (n == 0 && !transfer->isIn()))
            transfer->complete(true, static_cast<std::uint32_t>(n), 0);
        else if (n == 0)
            transfer->complete(false, 0, ECONNRESET);  // the simulator has gone
        else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            transfer->complete(false, 0, errno);
    }
    return transport::WaitResult::Completed;
}

bool SocketTransport::transferResult(transport::Transfer* base, std::uint32_t* transferred)
{
    auto* transfer = static_cast<SocketTransfer*>(base);
    if (!transfer->done)
        return fail(EINPROGRESS);
    if (!transfer->ok)
        return fail(transfer->error);
    if (transferred)
        *transferred = transfer->transferred;
    return true;
}

void SocketTransport::cancelTransfer(transport::Transfer* base)
{
    auto* transfer = static_cast<SocketTransfer*>(base);
    transfer->cancelled = true;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(transfer->wake[1], &byte, 1);
}

void SocketTransport::finishTransfer(transport::Transfer* transfer)
{
    // Data moves only inside waitTransfer, in the waiting thread, so nothing
    // else can touch the buffer once the wait has returned.
    auto* finished = static_cast<SocketTransfer*>(transfer);
    returnWakePipe(finished->wake, finished->cancelled);
    delete finished;
}

bool SocketTransport::writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                                std::uint32_t timeoutMs)
{
    if (pipeId != kBulkOut)
        return fail(EINVAL);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int fd = socket_;
        if (!bound_ || fd < 0)
            return fail(EBADF);
        const ssize_t sent = ::send(fd, data, length, kSendFlags);
        if (sent >= 0)
            return true;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return fail(errno);
        pollfd out = {fd, POLLOUT, 0};
        const int ready = ::poll(&out, 1, remainingMs(deadline));
        if (ready == 0)
            return fail(ETIMEDOUT);
    }
}

bool SocketTransport::flushPipe(std::uint8_t pipeId)
{
    if (pipeId != kBulkIn)
        return fail(EINVAL);
    const int fd = socket_;
    if (!bound_ || fd < 0)
        return fail(EBADF);
    std::uint8_t scratch[256];
    for (;;) {
        const ssize_t n = ::recv(fd, scratch, sizeof(scratch), MSG_DONTWAIT);
        if (n > 0)
            continue;
        if (n == 0)
            return fail(ECONNRESET);
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        if (errno != EINTR)
            return fail(errno);
    }
}

int SocketTransport::lastError() const
{
    return lastError_;
}

std::string SocketTransport::notice() const
{
    return notice_;
}
