#include "link/transportset.h"

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

// Each transfer remembers the backend that started it: the active backend may
// change (an open from the link's thread) while another thread still holds a
// transfer of the previous one.
struct TransportSet::RoutedTransfer : transport::Transfer {
    RoutedTransfer(transport::Transport* backend, transport::Transfer* inner) : backend(backend), inner(inner) {}
    transport::Transport* const backend;
    transport::Transfer* const inner;
};

transport::Transfer* TransportSet::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                                 std::uint32_t length)
{
    transport::Transport* backend = active_;
    if (!backend)
        return nullptr;
    transport::Transfer* inner = backend->startTransfer(pipeId, buffer, length);
    return inner ? new RoutedTransfer(backend, inner) : nullptr;
}

transport::WaitResult TransportSet::waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs)
{
    auto* routed = static_cast<RoutedTransfer*>(transfer);
    return routed->backend->waitTransfer(routed->inner, timeoutMs);
}

bool TransportSet::transferResult(transport::Transfer* transfer, std::uint32_t* transferred)
{
    auto* routed = static_cast<RoutedTransfer*>(transfer);
    return routed->backend->transferResult(routed->inner, transferred);
}

void TransportSet::cancelTransfer(transport::Transfer* transfer)
{
    auto* routed = static_cast<RoutedTransfer*>(transfer);
    routed->backend->cancelTransfer(routed->inner);
}

void TransportSet::finishTransfer(transport::Transfer* transfer)
{
    auto* routed = static_cast<RoutedTransfer*>(transfer);
    routed->backend->finishTransfer(routed->inner);
    delete routed;
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

bool TransportSet::deviceGone()
{
    transport::Transport* backend = active_;
    return backend && backend->deviceGone();
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
