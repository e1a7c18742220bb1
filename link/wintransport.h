#pragma once
// The Windows backend: SetupAPI finds the interfaces of the instrument's
// device-interface class, the WinUSB driver interface moves the bytes through
// overlapped bulk transfers.
//
// Paths are the system's interface paths (\\?\usb#vid_...#{guid}) in UTF-8.
// Kept free of the Windows headers so that callers need not include them.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "link/transport.h"

class WinTransport : public transport::Transport {
public:
    WinTransport();
    ~WinTransport() override;
    WinTransport(const WinTransport&) = delete;
    WinTransport& operator=(const WinTransport&) = delete;

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

    // Whether the opened interface is no longer among the present ones.
    bool deviceGone() override;
    int lastError() const override;

    class OverlappedTransfer;

private:
    bool failWithLastError();
    // The paths of the instrument interfaces present now; false when they cannot be listed.
    bool presentPaths(std::vector<std::string>* paths);
    void cancelAndAwaitLiveTransfers();
    void awaitTransfer(OverlappedTransfer* transfer);
    bool releaseInterfaceLocked();

    // Guards the file and interface handles and the live transfers.
    mutable std::mutex stateMutex_;
    void* file_;               // HANDLE; INVALID_HANDLE_VALUE when closed
    void* interface_ = nullptr;  // WINUSB_INTERFACE_HANDLE; null when not bound
    std::set<OverlappedTransfer*> liveTransfers_;
    std::string openPath_;  // of the open file (the link's thread); empty when closed
    std::atomic<int> lastError_{0};
};
