#include "testsupport/emulatedusb.h"

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "sim/instrument.h"

namespace usbemu {

// ---------------------------------------------------------------- descriptors

namespace {

constexpr std::uint8_t kGetDescriptor = 0x06;
constexpr std::uint8_t kStandardDeviceIn = 0x80;
constexpr std::uint16_t kBosDescriptor = 0x0F00;
constexpr std::uint16_t kMsOs10String = 0x03EE;
constexpr std::uint16_t kMsOs20SetIndex = 7;
constexpr std::uint16_t kExtendedPropertiesIndex = 5;
constexpr std::uint8_t kHubClass = 0x09;
constexpr std::uint8_t kVendorClass = 0xFF;
constexpr std::uint8_t kApplicationClass = 0xFE;
constexpr std::uint8_t kBulk = 0x02;
constexpr std::uint8_t kInterrupt = 0x03;
constexpr std::uint16_t kFullSpeedPacket = 64;
constexpr std::size_t kSetupSize = 8;

Bytes deviceDescriptor(std::uint16_t bcdUsb, std::uint8_t deviceClass, std::uint16_t product)
{
    return concat({{18, 1}, le16(bcdUsb), {deviceClass, 0, 0, 64}, le16(0x0001), le16(product), le16(0x0100),
                   {0, 0, 0, 1}});
}
Bytes interfaceDescriptor(int number, std::uint8_t interfaceClass, int endpoints)
{
    return {9, 4, std::uint8_t(number), 0, std::uint8_t(endpoints), interfaceClass, 0, 0, 0};
}
Bytes endpoint(std::uint8_t address, std::uint8_t type, std::uint16_t packet, std::uint8_t interval)
{
    return concat({{7, 5, address, type}, le16(packet), {interval}});
}
Bytes configuration(int interfaces, const Bytes& body)
{
    return concat({{9, 2}, le16(9 + body.size()), {std::uint8_t(interfaces), 1, 0, 0x80, 50}, body});
}
// Interfaces 0 .. n-1 of another class without endpoints, then the instrument's.
Bytes instrumentConfiguration(int interfaceNumber)
{
    Bytes body;
    for (int i = 0; i < interfaceNumber; ++i)
        body = concat({body, interfaceDescriptor(i, kApplicationClass, 0)});
    body = concat({body, interfaceDescriptor(interfaceNumber, kVendorClass, 2),
                   endpoint(kBulkIn, kBulk, kFullSpeedPacket, 0), endpoint(kBulkOut, kBulk, kFullSpeedPacket, 0)});
    return configuration(interfaceNumber + 1, body);
}
// Declares guid, or carries only an unrelated property when guid is empty.
Bytes guidOrLabel(const std::string& guid)
{
    return guid.empty() ? registryProperty(kRegSz, "Label", utf16z("Tester")) : guidsProperty({guid});
}

}  // namespace

ControlRequest bosRequest() { return {kStandardDeviceIn, kGetDescriptor, kBosDescriptor, 0}; }
ControlRequest msOs20SetRequest() { return {kDeviceRequest, kMsOs20VendorCode, 0, kMsOs20SetIndex}; }
ControlRequest msOs10StringRequest() { return {kStandardDeviceIn, kGetDescriptor, kMsOs10String, 0}; }
ControlRequest extendedPropertiesRequest(std::uint8_t requestType)
{
    return {requestType, kMsOs10VendorCode, 0, kExtendedPropertiesIndex};
}

DeviceModel hubModel()
{
    return {deviceDescriptor(0x0200, kHubClass, 0x0100),
            configuration(1, concat({interfaceDescriptor(0, kHubClass, 1), endpoint(0x81, kInterrupt, 4, 12)})),
            {}};
}

DeviceModel msOs20Device(const std::string& guid, int interfaceNumber)
{
    const Bytes declaration = guidOrLabel(guid);
    const Bytes set = interfaceNumber == 0
                          ? descriptorSet(declaration)
                          : descriptorSet(configurationSubset(functionSubset(std::uint8_t(interfaceNumber), declaration)));
    DeviceModel model{deviceDescriptor(0x0201, 0, 0x0002), instrumentConfiguration(interfaceNumber), {}};
    model.controlAnswers[bosRequest()] =
        bos({kUsb2Extension, platformCapability(true, kMsOs20VendorCode, std::uint16_t(set.size()))});
    model.controlAnswers[msOs20SetRequest()] = set;
    return model;
}

DeviceModel msOs10Device(const std::string& guid, std::uint8_t requestType)
{
    const Bytes section = guid.empty() ? extendedSection(kRegSz, "Label", utf16z("Tester"))
                                       : extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({guid}));
    DeviceModel model{deviceDescriptor(0x0200, 0, 0x0003), instrumentConfiguration(0), {}};
    model.controlAnswers[msOs10StringRequest()] = msOs10String("MSFT100", kMsOs10VendorCode);
    model.controlAnswers[extendedPropertiesRequest(requestType)] = extendedProperties({section});
    return model;
}

// ---------------------------------------------------------------- device

// One URB the host has submitted. Its outcome is written into the host's
// memory only when the host reaps it, through the data resolved at submit.
struct Device::Urb {
    UMockdevIoctlClient* client = nullptr;
    UMockdevIoctlData* urb = nullptr;     // the host's usbdevfs_urb
    UMockdevIoctlData* buffer = nullptr;  // its transfer buffer; null when empty
    std::uint8_t type = 0;
    std::uint8_t endpoint = 0;
    int bufferLength = 0;
    Bytes answer;                 // copied into the buffer when reaped
    std::size_t answerOffset = 0; // after the setup packet of a control URB
    int status = 0;
    int actualLength = 0;

    ~Urb()
    {
        if (buffer)
            g_object_unref(buffer);
        if (urb)
            g_object_unref(urb);
    }
    Bytes bytes() const
    {
        return buffer ? Bytes(buffer->data, buffer->data + bufferLength) : Bytes();
    }
};

namespace {

void complete(UMockdevIoctlClient* client, long result, int error) { umockdev_ioctl_client_complete(client, result, error); }

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device)
{
    return static_cast<Device*>(device)->handleIoctl(client);
}
void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device)
{
    static_cast<Device*>(device)->clientConnected(client);
}

// The first unsigned int the argument points to (an interface number).
bool readNumber(UMockdevIoctlClient* client, unsigned int* number)
{
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0,
                                                          sizeof(unsigned int), nullptr);
    if (!data)
        return false;
    std::memcpy(number, data->data, sizeof *number);
    g_object_unref(data);
    return true;
}

}  // namespace

Device::Device(DeviceModel model, std::shared_ptr<sim::Instrument> instrument)
    : model_(std::move(model)), instrument_(std::move(instrument))
{
}

Device::~Device()
{
    for (UMockdevIoctlClient* client : clients_)
        g_object_unref(client);
}

bool Device::handleIoctl(UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    switch (request) {
    case USBDEVFS_SUBMITURB:
        return submit(client);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        return reap(client);
    case USBDEVFS_DISCARDURB:
        return discard(client);
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0,
                                                              sizeof(std::uint32_t), nullptr);
        if (!caps) {
            complete(client, -1, EFAULT);
            return true;
        }
        const std::uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                    USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
        std::memcpy(caps->data, &value, sizeof value);
        complete(client, 0, 0);
        g_object_unref(caps);
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM:
    case USBDEVFS_RELEASEINTERFACE: {
        unsigned int number = 0;
        if (!readNumber(client, &number)) {
            complete(client, -1, EFAULT);
            return true;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (!connected_) {
            complete(client, -1, ENODEV);
            return true;
        }
        if (request == USBDEVFS_RELEASEINTERFACE) {
            claims_.erase(client);
        } else {
            claims_[client] = int(number);
            claimedEver_.insert(int(number));
        }
        complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_IOCTL:
    case USBDEVFS_GETDRIVER: {
        std::lock_guard<std::mutex> lock(mutex_);
        complete(client, -1, connected_ ? ENODATA : ENODEV);  // no kernel driver bound
        return true;
    }
    default:
        std::fprintf(stderr, "emulated USB device: request 0x%lx not emulated\n", request);
        complete(client, -1, ENOTTY);
        return true;
    }
}

bool Device::submit(UMockdevIoctlClient* client)
{
    auto urb = std::make_unique<Urb>();
    urb->client = client;
    urb->urb = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(usbdevfs_urb), nullptr);
    if (!urb->urb) {
        complete(client, -1, EFAULT);
        return true;
    }
    const auto* host = reinterpret_cast<const usbdevfs_urb*>(urb->urb->data);
    urb->type = host->type;
    urb->endpoint = host->endpoint;
    urb->bufferLength = std::max(0, host->buffer_length);
    if (urb->bufferLength > 0) {
        urb->buffer = umockdev_ioctl_data_resolve(urb->urb, offsetof(usbdevfs_urb, buffer),
                                                  std::size_t(urb->bufferLength), nullptr);
        if (!urb->buffer) {
            complete(client, -1, EFAULT);
            return true;
        }
    }

    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) {
        complete(client, -1, ENODEV);
        return true;
    }
    const bool control = urb->type == USBDEVFS_URB_TYPE_CONTROL;
    const bool bulk = urb->type == USBDEVFS_URB_TYPE_BULK;
    if (control) {
        answerControl(*urb);
        finished_.push_back(std::move(urb));
    } else if (bulk && urb->endpoint == kBulkOut && instrument_) {
        takeBulkOut(*urb);
        finished_.push_back(std::move(urb));
        serveInLocked();
    } else if (bulk && urb->endpoint == kBulkIn && instrument_) {
        pending_.push_back(std::move(urb));
        if (disconnectCountdown_ > 0 && --disconnectCountdown_ == 0)
            disconnectLocked();
        else
            serveInLocked();
    } else {
        complete(client, -1, ENOENT);  // no such endpoint
        return true;
    }
    complete(client, 0, 0);
    return true;
}

void Device::answerControl(Urb& urb)
{
    const Bytes setup = urb.bytes();
    if (setup.size() < kSetupSize) {
        urb.status = -EINVAL;
        return;
    }
    const ControlRequest request{setup[0], setup[1], std::uint16_t(setup[2] | setup[3] << 8),
                                 std::uint16_t(setup[4] | setup[5] << 8)};
    const std::size_t length = std::size_t(setup[6] | setup[7] << 8);
    const auto answer = model_.controlAnswers.find(request);
    if (answer == model_.controlAnswers.end()) {
        urb.status = -EPIPE;  // stall
        return;
    }
    const std::size_t size = std::min({answer->second.size(), length, setup.size() - kSetupSize});
    urb.answer.assign(answer->second.begin(), answer->second.begin() + std::ptrdiff_t(size));
    urb.answerOffset = kSetupSize;
    urb.actualLength = int(size);
}

void Device::takeBulkOut(Urb& urb)
{
    const Bytes bytes = urb.bytes();
    bulkOut_.push_back(bytes);
    for (Bytes& answer : instrument_->handle(bytes))
        answers_.push_back(std::move(answer));
    urb.actualLength = urb.bufferLength;
}

// Gives the oldest waiting answer to the oldest waiting IN URB, one answer per
// URB. An answer larger than the URB's buffer overflows it, as on a real bus.
void Device::serveInLocked()
{
    while (!pending_.empty() && !answers_.empty()) {
        std::unique_ptr<Urb> urb = std::move(pending_.front());
        pending_.pop_front();
        Bytes answer = std::move(answers_.front());
        answers_.pop_front();
        bulkIn_.push_back(answer);
        if (answer.size() > std::size_t(urb->bufferLength)) {
            answer.resize(std::size_t(urb->bufferLength));
            urb->status = -EOVERFLOW;
        }
        urb->actualLength = int(answer.size());
        urb->answer = std::move(answer);
        finished_.push_back(std::move(urb));
    }
}

bool Device::reap(UMockdevIoctlClient* client)
{
    std::unique_ptr<Urb> urb;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto mine = std::find_if(finished_.begin(), finished_.end(),
                                       [client](const std::unique_ptr<Urb>& u) { return u->client == client; });
        if (mine == finished_.end()) {
            complete(client, -1, connected_ ? EAGAIN : ENODEV);
            return true;
        }
        urb = std::move(*mine);
        finished_.erase(mine);
    }
    auto* host = reinterpret_cast<usbdevfs_urb*>(urb->urb->data);
    host->status = urb->status;
    host->actual_length = urb->actualLength;
    if (!urb->answer.empty())
        std::memcpy(urb->buffer->data + urb->answerOffset, urb->answer.data(), urb->answer.size());
    UMockdevIoctlData* slot =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(void*), nullptr);
    if (!slot || !umockdev_ioctl_data_set_ptr(slot, 0, urb->urb)) {
        complete(client, -1, EFAULT);
    } else {
        complete(client, 0, 0);
    }
    if (slot)
        g_object_unref(slot);
    return true;
}

bool Device::discard(UMockdevIoctlClient* client)
{
    gulong address = 0;
    std::memcpy(&address, umockdev_ioctl_client_get_arg(client)->data, sizeof address);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connected_) {
        complete(client, -1, ENODEV);
        return true;
    }
    const auto found = std::find_if(pending_.begin(), pending_.end(), [&](const std::unique_ptr<Urb>& u) {
        return u->client == client && u->urb->client_addr == address;
    });
    if (found == pending_.end()) {
        complete(client, -1, EINVAL);  // finished already, or never submitted
        return true;
    }
    std::unique_ptr<Urb> urb = std::move(*found);
    pending_.erase(found);
    ++discarded_;
    finishLocked(std::move(urb), -ENOENT);
    complete(client, 0, 0);
    return true;
}

void Device::finishLocked(std::unique_ptr<Urb> urb, int status)
{
    urb->status = status;
    urb->actualLength = 0;
    urb->answer.clear();
    finished_.push_back(std::move(urb));
}

void Device::disconnect()
{
    std::lock_guard<std::mutex> lock(mutex_);
    disconnectLocked();
}

void Device::disconnectLocked()
{
    connected_ = false;
    answers_.clear();
    while (!pending_.empty()) {
        std::unique_ptr<Urb> urb = std::move(pending_.front());
        pending_.pop_front();
        finishLocked(std::move(urb), -ESHUTDOWN);
    }
}

void Device::disconnectAtInUrb(int n)
{
    std::lock_guard<std::mutex> lock(mutex_);
    disconnectCountdown_ = n;
}

void Device::clientConnected(UMockdevIoctlClient* client)
{
    std::lock_guard<std::mutex> lock(mutex_);
    clients_.push_back(static_cast<UMockdevIoctlClient*>(g_object_ref(client)));
}

// umockdev tells no one when a client closes its node; its connection shows
// it. The kernel gives up a closed file's URBs and releases its interfaces.
void Device::forgetClosedLocked()
{
    for (auto it = clients_.begin(); it != clients_.end();) {
        UMockdevIoctlClient* client = *it;
        if (umockdev_ioctl_client_get_connected(client)) {
            ++it;
            continue;
        }
        const auto ofClient = [client](const std::unique_ptr<Urb>& u) { return u->client == client; };
        abandoned_ += int(std::count_if(pending_.begin(), pending_.end(), ofClient) +
                          std::count_if(finished_.begin(), finished_.end(), ofClient));
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(), ofClient), pending_.end());
        finished_.erase(std::remove_if(finished_.begin(), finished_.end(), ofClient), finished_.end());
        claims_.erase(client);
        g_object_unref(client);
        it = clients_.erase(it);
    }
}

std::vector<Bytes> Device::bulkOut() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bulkOut_;
}
std::vector<Bytes> Device::bulkIn() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return bulkIn_;
}
int Device::claimedInterface()
{
    std::lock_guard<std::mutex> lock(mutex_);
    forgetClosedLocked();
    return claims_.empty() ? -1 : claims_.begin()->second;
}
std::set<int> Device::claimedEver() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return claimedEver_;
}
int Device::openHandles()
{
    std::lock_guard<std::mutex> lock(mutex_);
    forgetClosedLocked();
    return int(clients_.size());
}
int Device::pendingUrbs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(pending_.size());
}
int Device::discardedUrbs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return discarded_;
}
int Device::abandonedUrbs()
{
    std::lock_guard<std::mutex> lock(mutex_);
    forgetClosedLocked();
    return abandoned_;
}

// ---------------------------------------------------------------- bus

struct Bus::Slot {
    std::string sysPath;  // under /sys
    std::shared_ptr<Device> device;
    UMockdevIoctlBase* handler = nullptr;
    std::string node;
};

namespace {

std::string hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0xF];
    }
    return text;
}

std::string threeDigits(int n)
{
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

void check(gboolean ok, GError* error, const char* what)
{
    if (ok)
        return;
    const std::string message = std::string(what) + ": " + (error ? error->message : "failed");
    g_clear_error(&error);
    throw std::runtime_error(message);
}

}  // namespace

Bus::Bus() : testbed_(umockdev_testbed_new())
{
    for (int bus : {1, 2}) {
        lastDevnum_[bus] = 1;
        addNode("/devices/usb" + std::to_string(bus), bus, 1, std::make_shared<Device>(hubModel(), nullptr));
    }
}

Bus::~Bus()
{
    for (const std::unique_ptr<Slot>& slot : nodes_)
        umockdev_testbed_detach_ioctl(testbed_, slot->node.c_str(), nullptr);
    g_object_unref(testbed_);
    for (const std::unique_ptr<Slot>& slot : nodes_) {
        g_signal_handlers_disconnect_by_data(slot->handler, slot->device.get());
        g_object_unref(slot->handler);
    }
}

std::shared_ptr<Device> Bus::plug(const std::string& port, DeviceModel model,
                                  std::shared_ptr<sim::Instrument> instrument)
{
    const int bus = std::stoi(port.substr(0, port.find('-')));
    const std::size_t dot = port.rfind('.');
    const std::string parent =
        dot == std::string::npos ? "/devices/usb" + std::to_string(bus) : plugged_.at(port.substr(0, dot))->sysPath;
    auto device = std::make_shared<Device>(std::move(model), std::move(instrument));
    plugged_[port] = addNode(parent + "/" + port, bus, ++lastDevnum_[bus], device);
    return device;
}

void Bus::unplug(const std::string& port)
{
    const auto found = plugged_.find(port);
    if (found == plugged_.end())
        return;
    Slot* slot = found->second;
    plugged_.erase(found);
    slot->device->disconnect();
    const std::string sysPath = "/sys" + slot->sysPath;
    umockdev_testbed_uevent(testbed_, sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, sysPath.c_str());
    // The node's handler stays attached: a program still holding the node
    // open keeps getting ENODEV, as from a real vanished device.
}

Bus::Slot* Bus::addNode(const std::string& sysPath, int bus, int devnum, const std::shared_ptr<Device>& device)
{
    auto slot = std::make_unique<Slot>();
    slot->sysPath = sysPath;
    slot->device = device;
    slot->node = "/dev/bus/usb/" + threeDigits(bus) + "/" + threeDigits(devnum);
    slot->handler = umockdev_ioctl_base_new();
    g_signal_connect_after(slot->handler, "handle-ioctl", G_CALLBACK(onIoctl), device.get());
    g_signal_connect(slot->handler, "client-connected", G_CALLBACK(onConnected), device.get());
    GError* error = nullptr;
    check(umockdev_testbed_attach_ioctl(testbed_, slot->node.c_str(), slot->handler, &error), error,
          "attaching the device node's handler");

    const std::string record =
        "P: " + sysPath + "\n" + "N: " + slot->node.substr(5) + "\n" +
        "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n" + "E: BUSNUM=" + threeDigits(bus) + "\n" +
        "E: DEVNUM=" + threeDigits(devnum) + "\n" + "E: DEVNAME=" + slot->node + "\n" +
        "A: busnum=" + std::to_string(bus) + "\\n\n" + "A: devnum=" + std::to_string(devnum) + "\\n\n" +
        "A: speed=12\\n\nA: bConfigurationValue=1\\n\n" +
        "H: descriptors=" + hex(concat({device->model().deviceDescriptor, device->model().configuration})) + "\n";
    check(umockdev_testbed_add_from_string(testbed_, record.c_str(), &error), error, "adding the device");
    umockdev_testbed_uevent(testbed_, ("/sys" + sysPath).c_str(), "add");
    nodes_.push_back(std::move(slot));
    return nodes_.back().get();
}

}  // namespace usbemu
