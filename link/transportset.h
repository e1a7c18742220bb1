#pragma once
// Several backends behind one transport: the paths of all of them, USB
// instruments first, and every call after an open forwarded to the backend
// that claimed the opened path; a transfer's calls go to the backend that
// started it.

#include "link/transport.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class TransportSet : public transport::Transport {
public:
    // Backends are asked in the order they were added.
    void add(std::unique_ptr<transport::Transport> backend);

    std::vector<std::string> devicePaths() override;
    bool handles(const std::string& path) const override;
    bool openDevice(const std::string& path) override;
    bool bindInterface() override;
    bool queryEndpointCount(int* count) override;
    bool queryPipe(int index, transport::PipeInfo* pipe) override;
    bool releaseInterface() override;
    bool closeDevice() override;
    transport::Transfer* startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                       std::uint32_t length) override;
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs) override;
    bool transferResult(transport::Transfer* transfer, std::uint32_t* transferred) override;
    void cancelTransfer(transport::Transfer* transfer) override;
    void finishTransfer(transport::Transfer* transfer) override;
    bool writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                   std::uint32_t timeoutMs) override;
    bool flushPipe(std::uint8_t pipeId) override;
    bool deviceGone() override;
    int lastError() const override;
    std::string notice() const override;

private:
    struct RoutedTransfer;

    transport::Transport* backendFor(const std::string& path) const;

    std::vector<std::unique_ptr<transport::Transport>> backends_;
    // The backend of the last open; read by any thread that starts a transfer.
    std::atomic<transport::Transport*> active_{nullptr};
    std::string notice_;  // of the last enumeration or open (the link's thread)
};
