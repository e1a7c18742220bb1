#pragma once
// The libusb backend: instruments are found by the device-interface GUID their
// Microsoft OS descriptors declare, and moved through asynchronous bulk
// transfers serviced by one event thread per transport.
//
// Paths have the form "usb:<bus>-<port path>" (usb:1-2.3).

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "link/linktiming.h"
#include "link/transport.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

class LibusbTransport : public transport::Transport {
public:
    explicit LibusbTransport(const LinkTiming& timing = LinkTiming());
    ~LibusbTransport() override;
    LibusbTransport(const LibusbTransport&) = delete;
    LibusbTransport& operator=(const LibusbTransport&) = delete;

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

    // By the library's hotplug events where it has them, else by whether the
    // device's node (/dev/bus/usb/BBB/DDD) is still there.
    bool deviceGone() override;
    int lastError() const override;
    std::string notice() const override;

    class AsyncTransfer;

private:
    // Starts the library on first use, in the link's thread, not when the
    // program starts.
    bool startLibrary();
    void startEventThread();
    void stopEventThread();
    void cancelAndAwaitLiveTransfers();
    void watchDeparture(libusb_device* device);
    void stopWatchingDeparture();
    int instrumentInterfaceOf(libusb_device_handle* handle);
    bool fail(int libusbError);
    void setNotice(std::string text);

    LinkTiming timing_;
    libusb_context* context_ = nullptr;  // set by the first enumeration or open (the link's thread)
    std::atomic<bool> eventThreadRunning_{false};
    std::thread eventThread_;

    // Guards the open device, the claimed interface, its pipes and the live transfers.
    mutable std::mutex stateMutex_;
    libusb_device_handle* handle_ = nullptr;
    int interfaceNumber_ = 0;
    bool interfaceClaimed_ = false;
    std::vector<transport::PipeInfo> pipes_;
    std::set<AsyncTransfer*> liveTransfers_;

    // The open device's departure: the hotplug callback's handle (0: none
    // registered), the device it waits for, and the node looked at without it.
    int hotplugHandle_ = 0;
    std::atomic<libusb_device*> watchedDevice_{nullptr};
    std::atomic<bool> departed_{false};
    std::string deviceNode_;

    std::atomic<int> lastError_{0};
    // Guards notice_.
    mutable std::mutex noticeMutex_;
    std::string notice_;
};
