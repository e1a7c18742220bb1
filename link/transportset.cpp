#include "transportset.h"

#include <cerrno>

namespace {

void appendNotice(std::string* notices, const std::string& notice)
{
    if (notice.empty())
        return;
    if (!notices->empty())
        *notices += ' ';
    *notices += notice;
}

}  // namespace

void TransportSet::add(std::unique_ptr<transport::Transport> backend)
{
    backends_.push_back(std::move(backend));
}

std::vector<std::string> TransportSet::devicePaths()
{
    notice_.clear();
    std::vector<std::string> paths;
    for (const auto& backend : backends_) {
        for (std::string& path : backend->devicePaths())
            paths.push_back(std::move(path));
        appendNotice(&notice_, backend->notice());
    }
    return paths;
}

transport::Transport* TransportSet::backendFor(const std::string& path) const
{
    for (const auto& backend : backends_)
        if (backend->handles(path))
            return backend.get();
    return nullptr;
}

bool TransportSet::handles(const std::string& path) const
{
    return backendFor(path) != nullptr;
}

bool TransportSet::openDevice(const std::string& path)
{
    notice_.clear();
    transport::Transport* backend = backendFor(path);
    if (!backend)
        return false;
    if (transport::Transport* previous = active_.load(); previous && previous != backend)
        previous->closeDevice();
    active_ = backend;
    const bool opened = backend->openDevice(path);
    appendNotice(&notice_, backend->notice());
    return opened;
}

bool TransportSet::bindInterface()
{
    transport::Transport* backend = active_;
    return backend && backend->bindInterface();
}

bool TransportSet::queryEndpointCount(int* count)
{
    transport::Transport* backend = active_;
    return backend && backend->queryEndpointCount(count);
}

bool TransportSet::queryPipe(int index, transport::PipeInfo* pipe)
{
    transport::Transport* backend = active_;
    return backend && backend->queryPipe(index, pipe);
}

bool TransportSet::releaseInterface()
{
    transport::Transport* backend = active_;
    return !backend || backend->releaseInterface();
}

bool TransportSet::closeDevice()
{
    transport::Transport* backend = active_;
    return !backend || backend->closeDevice();
}

transport::Transfer* TransportSet::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                                 std::uint32_t length)
{
    transport::Transport* backend = active_;
    return backend ? backend->startTransfer(pipeId, buffer, length) : nullptr;
}

// A transfer exists only after a start through the active backend, which
// stays active until the next open; the link never opens with a transfer alive.
transport::WaitResult TransportSet::waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs)
{
    return active_.load()->waitTransfer(transfer, timeoutMs);
}

bool TransportSet::transferResult(transport::Transfer* transfer, std::uint32_t* transferred)
{
    return active_.load()->transferResult(transfer, transferred);
}

void TransportSet::cancelTransfer(transport::Transfer* transfer)
{
    active_.load()->cancelTransfer(transfer);
}

void TransportSet::finishTransfer(transport::Transfer* transfer)
{
    active_.load()->finishTransfer(transfer);
}

bool TransportSet::writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                             std::uint32_t timeoutMs)
{
    transport::Transport* backend = active_;
    return backend && backend->writeSync(pipeId, data, length, timeoutMs);
}

bool TransportSet::flushPipe(std::uint8_t pipeId)
{
    transport::Transport* backend = active_;
    return backend && backend->flushPipe(pipeId);
}

int TransportSet::lastError() const
{
    transport::Transport* backend = active_;
    return backend ? backend->lastError() : ENODEV;
}

std::string TransportSet::notice() const
{
    return notice_;
}
