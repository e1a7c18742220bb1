#pragma once
// The client side of the simulator's socket: a device is a Unix-domain
// SOCK_SEQPACKET socket, named by its absolute path. One message is one bulk
// transfer in each direction (the wake-up bytes too). The one interface has a
// bulk IN pipe 0x81 and a bulk OUT pipe 0x01.
//
// Transfers run in the thread that waits for them: an OUT transfer is sent at
// once when the socket takes it, otherwise while it is waited for; an IN
// transfer receives while it is waited for. Either can be cancelled from
// another thread, which wakes its wait. Unix only: Windows builds leave it out.

#include "link/transport.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class SocketTransport : public transport::Transport {
public:
    static constexpr std::uint8_t kBulkIn = 0x81;
    static constexpr std::uint8_t kBulkOut = 0x01;
    // The folder, inside the user's runtime folder, where simulators put their sockets.
    static constexpr char kRuntimeFolderName[] = "resistance-tester";

    // folder: where the sockets are looked for.
    explicit SocketTransport(std::string folder);
    ~SocketTransport() override;
    SocketTransport(const SocketTransport&) = delete;
    SocketTransport& operator=(const SocketTransport&) = delete;

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
    class SocketTransfer;

    using WakePipe = std::array<int, 2>;  // read end, write end; -1 when none

    bool fail(int error);
    bool isPipe(std::uint8_t pipeId) const;
    WakePipe takeWakePipe();
    void returnWakePipe(WakePipe wake, bool written);

    const std::string folder_;
    std::atomic<int> socket_{-1};      // the connected socket; -1 when closed
    std::atomic<bool> bound_{false};
    std::atomic<int> lastError_{0};
    std::string notice_;               // written by devicePaths and openDevice (the link's thread)
    // Wake pipes of finished transfers, kept open for the next ones: a new
    // pipe is made only while more transfers are in flight than ever before.
    std::mutex wakeMutex_;
    std::vector<WakePipe> spareWakes_;
};
