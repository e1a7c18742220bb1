#include "link/libusbtransport.h"

#include <libusb.h>

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <condition_variable>

#include "link/libusbcontrol.h"
#include "link/usbdevicepath.h"

namespace {

constexpr std::uint8_t kVendorSpecificClass = 0xFF;
constexpr std::size_t kFlushBufferSize = 4096;  // a multiple of every bulk packet size
constexpr int kMaxFlushReads = 64;              // a device that never stops talking ends the flush
constexpr std::uint8_t kEndpointTypeMask = 0x03;

int errorOfStatus(int status)
{
    switch (status) {
    case LIBUSB_TRANSFER_COMPLETED: return LIBUSB_SUCCESS;
    case LIBUSB_TRANSFER_TIMED_OUT: return LIBUSB_ERROR_TIMEOUT;
    case LIBUSB_TRANSFER_CANCELLED: return LIBUSB_ERROR_INTERRUPTED;
    case LIBUSB_TRANSFER_STALL: return LIBUSB_ERROR_PIPE;
    case LIBUSB_TRANSFER_NO_DEVICE: return LIBUSB_ERROR_NO_DEVICE;
    case LIBUSB_TRANSFER_OVERFLOW: return LIBUSB_ERROR_OVERFLOW;
    default: return LIBUSB_ERROR_IO;
    }
}

// What can be learnt of a device without opening it.
struct DeviceSummary {
    usbdevicepath::Location location;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool vendorSpecific = false;  // the device or one of its interfaces is of the vendor class
};

bool hasVendorSpecificInterface(libusb_device* device)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0)
        return false;
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int a = 0; a < interface.num_altsetting && !found; ++a)
            found = interface.altsetting[a].bInterfaceClass == kVendorSpecificClass;
    }
    libusb_free_config_descriptor(config);
    return found;
}

// False for hubs and for devices whose descriptor cannot be read: they are no instruments.
bool summarise(libusb_device* device, DeviceSummary* summary)
{
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(device, &descriptor) != 0) return false;
    if (descriptor.bDeviceClass == LIBUSB_CLASS_HUB) return false;
    std::uint8_t ports[usbdevicepath::kMaxDepth];
    const int depth = libusb_get_port_numbers(device, ports, usbdevicepath::kMaxDepth);
    if (depth <= 0) return false;
    summary->location.bus = libusb_get_bus_number(device);
    summary->location.ports.assign(ports, ports + depth);
    summary->vendorId = descriptor.idVendor;
    summary->productId = descriptor.idProduct;
    summary->vendorSpecific =
        descriptor.bDeviceClass == kVendorSpecificClass || hasVendorSpecificInterface(device);
    return true;
}

usbdevicepath::DeniedDevice denied(const DeviceSummary& summary)
{
    return {summary.location, summary.vendorId, summary.productId};
}

libusb_device* findDevice(libusb_device** list, ssize_t count, const usbdevicepath::Location& wanted)
{
    for (ssize_t i = 0; i < count; ++i) {
        DeviceSummary summary;
        if (summarise(list[i], &summary) && summary.location.bus == wanted.bus &&
            summary.location.ports == wanted.ports)
            return list[i];
    }
    return nullptr;
}

}  // namespace

// One bulk transfer handed to libusb. The completion callback runs in the
// event thread; everything else reads the outcome under the mutex.
class LibusbTransport::AsyncTransfer : public transport::Transfer {
public:
    ~AsyncTransfer() override { libusb_free_transfer(handle); }

    libusb_transfer* handle = libusb_alloc_transfer(0);
    // Guards done, status and actualLength.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    int status = LIBUSB_TRANSFER_ERROR;
    int actualLength = 0;

    void awaitCompletion()
    {
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [this] { return done; });
    }
    bool isDone()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return done;
    }
};

namespace {

void LIBUSB_CALL onTransferCompleted(libusb_transfer* handle)
{
    auto* transfer = static_cast<LibusbTransport::AsyncTransfer*>(handle->user_data);
    // Notified under the lock, so that a waiter cannot free the transfer before
    // this callback has let go of it.
    std::lock_guard<std::mutex> lock(transfer->mutex);
    transfer->status = handle->status;
    transfer->actualLength = handle->actual_length;
    transfer->done = true;
    transfer->finished.notify_all();
}

}  // namespace

LibusbTransport::LibusbTransport(const LinkTiming& timing) : timing_(timing) {}

bool LibusbTransport::startLibrary()
{
    if (context_) return true;
    const int rc = libusb_init(&context_);
    if (rc == LIBUSB_SUCCESS) return true;
    context_ = nullptr;
    return fail(rc);
}

LibusbTransport::~LibusbTransport()
{
    closeDevice();
    // Transfers their owner never finished have completed by now (closing waits for them).
    for (AsyncTransfer* transfer : liveTransfers_) delete transfer;
    stopEventThread();
    if (context_) libusb_exit(context_);
}

bool LibusbTransport::fail(int libusbError)
{
    lastError_ = libusbError;
    return false;
}

void LibusbTransport::setNotice(std::string text)
{
    std::lock_guard<std::mutex> lock(noticeMutex_);
    notice_ = std::move(text);
}

std::string LibusbTransport::notice() const
{
    std::lock_guard<std::mutex> lock(noticeMutex_);
    return notice_;
}

int LibusbTransport::lastError() const { return lastError_; }

bool LibusbTransport::handles(const std::string& path) const { return usbdevicepath::hasPrefix(path); }

int LibusbTransport::instrumentInterfaceOf(libusb_device_handle* handle)
{
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(libusb_get_device(handle), &descriptor) != 0) return -1;
    // A device that answers nothing costs at most two time-outs.
    const auto controlIn = usbdescriptors::boundedControlIn(usbdescriptors::libusbControl(handle),
                                                            timing_.transferTimeoutMs, 2 * timing_.transferTimeoutMs,
                                                            usbdescriptors::steadyNowMs);
    return usbdescriptors::readInstrumentInterface(descriptor.bcdUSB, controlIn).value_or(-1);
}

std::vector<std::string> LibusbTransport::devicePaths()
{
    if (!startLibrary()) {
        setNotice("USB devices cannot be listed: the USB library could not be started.");
        return {};
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0) {
        fail(int(count));
        setNotice("USB devices cannot be listed: " + std::string(libusb_strerror(int(count))));
        return {};
    }
    std::vector<usbdevicepath::Location> instruments;
    std::vector<usbdevicepath::DeniedDevice> deniedDevices;
    for (ssize_t i = 0; i < count; ++i) {
        DeviceSummary summary;
        if (!summarise(list[i], &summary)) continue;
        libusb_device_handle* handle = nullptr;
        const int rc = libusb_open(list[i], &handle);
        if (rc == LIBUSB_ERROR_ACCESS && summary.vendorSpecific) {
            deniedDevices.push_back(denied(summary));
            continue;
        }
        if (rc != LIBUSB_SUCCESS) continue;
        if (instrumentInterfaceOf(handle) >= 0) instruments.push_back(summary.location);
        libusb_close(handle);
    }
    libusb_free_device_list(list, 1);
    setNotice(usbdevicepath::accessNotice(deniedDevices));
    return usbdevicepath::orderedPaths(instruments);
}

bool LibusbTransport::openDevice(const std::string& path)
{
    closeDevice();
    setNotice({});
    usbdevicepath::Location wanted;
    if (!usbdevicepath::parse(path, &wanted)) return fail(LIBUSB_ERROR_INVALID_PARAM);
    if (!startLibrary()) return false;

    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    if (count < 0) return fail(int(count));
    libusb_device* device = findDevice(list, count, wanted);
    libusb_device_handle* handle = nullptr;
    const int rc = device ? libusb_open(device, &handle) : LIBUSB_ERROR_NO_DEVICE;
    if (rc == LIBUSB_ERROR_ACCESS) {
        DeviceSummary summary;
        summarise(device, &summary);
        setNotice(usbdevicepath::accessNotice({denied(summary)}));
    }
    libusb_free_device_list(list, 1);
    if (rc != LIBUSB_SUCCESS) return fail(rc);

    const int interface = instrumentInterfaceOf(handle);
    watchDeparture(libusb_get_device(handle));
    startEventThread();
    std::lock_guard<std::mutex> lock(stateMutex_);
    handle_ = handle;
    interfaceNumber_ = interface >= 0 ? interface : 0;
    return true;
}

bool LibusbTransport::bindInterface()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!handle_) return fail(LIBUSB_ERROR_NO_DEVICE);
    if (interfaceClaimed_) return true;
    // Unsupported on some systems, where no kernel driver is in the way anyway.
    libusb_set_auto_detach_kernel_driver(handle_, 1);
    const int rc = libusb_claim_interface(handle_, interfaceNumber_);
    if (rc != LIBUSB_SUCCESS) return fail(rc);
    interfaceClaimed_ = true;
    return true;
}

bool LibusbTransport::queryEndpointCount(int* count)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interfaceClaimed_) return fail(LIBUSB_ERROR_NOT_FOUND);
    libusb_config_descriptor* config = nullptr;
    const int rc = libusb_get_active_config_descriptor(libusb_get_device(handle_), &config);
    if (rc != LIBUSB_SUCCESS) return fail(rc);
    pipes_.clear();
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& interface = config->interface[i];
        if (interface.num_altsetting < 1) continue;
        const libusb_interface_descriptor& setting = interface.altsetting[0];
        if (setting.bInterfaceNumber != interfaceNumber_) continue;
        found = true;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            transport::PipeInfo pipe;
            pipe.type = transport::PipeType(endpoint.bmAttributes & kEndpointTypeMask);
            pipe.id = endpoint.bEndpointAddress;
            pipes_.push_back(pipe);
        }
    }
    libusb_free_config_descriptor(config);
    if (!found) return fail(LIBUSB_ERROR_NOT_FOUND);
    if (count) *count = int(pipes_.size());
    return true;
}

bool LibusbTransport::queryPipe(int index, transport::PipeInfo* pipe)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (index < 0 || std::size_t(index) >= pipes_.size() || !pipe) return fail(LIBUSB_ERROR_NOT_FOUND);
    *pipe = pipes_[index];
    return true;
}

void LibusbTransport::cancelAndAwaitLiveTransfers()
{
    for (AsyncTransfer* transfer : liveTransfers_) libusb_cancel_transfer(transfer->handle);
    for (AsyncTransfer* transfer : liveTransfers_) transfer->awaitCompletion();
}

bool LibusbTransport::releaseInterface()
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interfaceClaimed_) return true;
    cancelAndAwaitLiveTransfers();
    const int rc = libusb_release_interface(handle_, interfaceNumber_);
    interfaceClaimed_ = false;
    pipes_.clear();
    return rc == LIBUSB_SUCCESS || fail(rc);
}

bool LibusbTransport::closeDevice()
{
    stopWatchingDeparture();
    const bool released = releaseInterface();
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!handle_) return released;
    cancelAndAwaitLiveTransfers();
    libusb_close(handle_);
    handle_ = nullptr;
    return released;
}

transport::Transfer* LibusbTransport::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                                    std::uint32_t length)
{
    std::lock_guard<std::mutex> lock(stateMutex_);
    if (!interfaceClaimed_) {
        fail(LIBUSB_ERROR_NO_DEVICE);
        return nullptr;
    }
    if (length > std::uint32_t(INT_MAX) || (!buffer && length > 0)) {
        fail(LIBUSB_ERROR_INVALID_PARAM);
        return nullptr;
    }
    auto transfer = std::make_unique<AsyncTransfer>();
    if (!transfer->handle) {
        fail(LIBUSB_ERROR_NO_MEM);
        return nullptr;
    }
    // No libusb time-out: the caller bounds the wait and cancels.
    libusb_fill_bulk_transfer(transfer->handle, handle_, pipeId, buffer, int(length), onTransferCompleted,
                              transfer.get(), 0);
    const int rc = libusb_submit_transfer(transfer->handle);
    if (rc != LIBUSB_SUCCESS) {
        fail(rc);
        return nullptr;
    }
    liveTransfers_.insert(transfer.get());
    return transfer.release();
}

transport::WaitResult LibusbTransport::waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs)
{
    auto* async = static_cast<AsyncTransfer*>(transfer);
    if (!async) return transport::WaitResult::Failed;
    std::unique_lock<std::mutex> lock(async->mutex);
    const bool done = async->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                               [async] { return async->done; });
    return done ? transport::WaitResult::Completed : transport::WaitResult::TimedOut;
}

bool LibusbTransport::transferResult(transport::Transfer* transfer, std::uint32_t* transferred)
{
    auto* async = static_cast<AsyncTransfer*>(transfer);
    if (!async) return fail(LIBUSB_ERROR_INVALID_PARAM);
    std::lock_guard<std::mutex> lock(async->mutex);
    if (!async->done) return fail(LIBUSB_ERROR_BUSY);
    if (transferred) *transferred = std::uint32_t(async->actualLength);
    return async->status == LIBUSB_TRANSFER_COMPLETED || fail(errorOfStatus(async->status));
}

void LibusbTransport::cancelTransfer(transport::Transfer* transfer)
{
    auto* async = static_cast<AsyncTransfer*>(transfer);
    // A transfer that has already completed answers NOT_FOUND, which is harmless.
    if (async && !async->isDone()) libusb_cancel_transfer(async->handle);
}

void LibusbTransport::finishTransfer(transport::Transfer* transfer)
{
    auto* async = static_cast<AsyncTransfer*>(transfer);
    if (!async) return;
    // libusb may still write into the buffer until the callback has run.
    cancelTransfer(async);
    async->awaitCompletion();
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        liveTransfers_.erase(async);
    }
    delete async;
}

bool LibusbTransport::writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                                std::uint32_t timeoutMs)
{
    libusb_device_handle* handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (interfaceClaimed_) handle = handle_;
    }
    if (!handle) return fail(LIBUSB_ERROR_NO_DEVICE);
    if (length > std::uint32_t(INT_MAX)) return fail(LIBUSB_ERROR_INVALID_PARAM);
    std::vector<std::uint8_t> copy(data, data + length);
    int written = 0;
    const int rc = libusb_bulk_transfer(handle, pipeId, copy.data(), int(length), &written, timeoutMs);
    if (rc != LIBUSB_SUCCESS) return fail(rc);
    return std::uint32_t(written) == length || fail(LIBUSB_ERROR_IO);
}

bool LibusbTransport::flushPipe(std::uint8_t pipeId)
{
    libusb_device_handle* handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        if (interfaceClaimed_) handle = handle_;
    }
    if (!handle) return fail(LIBUSB_ERROR_NO_DEVICE);
    std::vector<std::uint8_t> discard(kFlushBufferSize);
    for (int read = 0; read < kMaxFlushReads; ++read) {
        int received = 0;
        const int rc = libusb_bulk_transfer(handle, pipeId, discard.data(), int(discard.size()), &received,
                                            timing_.flushPauseMs);
        if (rc == LIBUSB_ERROR_TIMEOUT) return true;
        if (rc != LIBUSB_SUCCESS) return fail(rc);
    }
    return true;
}

void LibusbTransport::watchDeparture(libusb_device* device)
{
    departed_ = false;
    watchedDevice_ = device;
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", unsigned(libusb_get_bus_number(device)),
                  unsigned(libusb_get_device_address(device)));
    struct stat info;
    deviceNode_ = ::stat(node, &info) == 0 ? node : "";  // a node missing now could not tell a departure
    if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return;
    // Called by the event thread for every device that leaves the bus; stays
    // registered until the device is closed.
    const auto onDeviceLeft = [](libusb_context*, libusb_device* left, libusb_hotplug_event, void* self) {
        auto* transport = static_cast<LibusbTransport*>(self);
        if (left == transport->watchedDevice_)
            transport->departed_ = true;
        return 0;
    };
    libusb_hotplug_callback_handle handle = 0;
    const int rc = libusb_hotplug_register_callback(context_, LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT, libusb_hotplug_flag(0),
                                                    LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
                                                    LIBUSB_HOTPLUG_MATCH_ANY, onDeviceLeft, this, &handle);
    hotplugHandle_ = rc == LIBUSB_SUCCESS ? handle : 0;
}

void LibusbTransport::stopWatchingDeparture()
{
    if (hotplugHandle_ != 0)
        libusb_hotplug_deregister_callback(context_, hotplugHandle_);
    hotplugHandle_ = 0;
    watchedDevice_ = nullptr;
    deviceNode_.clear();
}

bool LibusbTransport::deviceGone()
{
    if (!watchedDevice_)
        return false;
    if (departed_)
        return true;
    struct stat info;
    return hotplugHandle_ == 0 && !deviceNode_.empty() && ::stat(deviceNode_.c_str(), &info) != 0;
}

void LibusbTransport::startEventThread()
{
    if (!context_ || eventThread_.joinable()) return;
    eventThreadRunning_ = true;
    eventThread_ = std::thread([this] {
        while (eventThreadRunning_) libusb_handle_events_completed(context_, nullptr);
    });
}

void LibusbTransport::stopEventThread()
{
    if (!eventThread_.joinable()) return;
    eventThreadRunning_ = false;
    // Wakes the event thread even if it has not yet entered the library.
    libusb_interrupt_event_handler(context_);
    eventThread_.join();
}
