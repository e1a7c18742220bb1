#pragma once
// A USB bus for tests, emulated with umockdev: the real libusb library runs
// its Linux backend in this process, finds the devices plugged in here in an
// emulated sysfs and opens their device nodes, and every usbdevfs request it
// makes of a node is answered by the Device behind it. Control requests are
// answered from a table; the bulk pipes of an instrument are served by the
// simulated instrument, so that every answer on them is the simulator's.
//
// An executable using this must link the umockdev preload library (see
// tests/usbemu.cmake). The bus must outlive every libusb context of the test.
//
// One thing the emulation cannot do like the kernel: an open device node
// always polls ready, so libusb's event loop spins instead of sleeping. A
// libusb time-out still ends its transfer, but a test cannot learn from the
// loop how long anything took.

#include "testsupport/descriptorbytes.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;

namespace sim {
class Instrument;
}

namespace usbemu {

// The setup fields a control request is recognised by (its length aside).
struct ControlRequest {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    bool operator<(const ControlRequest& o) const
    {
        return std::tie(requestType, request, value, index) < std::tie(o.requestType, o.request, o.value, o.index);
    }
};

// What a device shows: its descriptors as sysfs gives them to libusb, and the
// answers of its control pipe. A control request not in the table stalls; an
// answer longer than the request asks for is cut, as a device would.
struct DeviceModel {
    Bytes deviceDescriptor;
    Bytes configuration;
    std::map<ControlRequest, Bytes> controlAnswers;
};

constexpr std::uint8_t kBulkIn = 0x81;
constexpr std::uint8_t kBulkOut = 0x01;
constexpr std::uint8_t kMsOs20VendorCode = 0x20;
constexpr std::uint8_t kMsOs10VendorCode = 0x21;
constexpr std::uint8_t kInterfaceRequest = 0xC1;  // vendor request to an interface
constexpr std::uint8_t kDeviceRequest = 0xC0;     // vendor request to the device

// The requests a device is asked for its Microsoft OS descriptors.
ControlRequest bosRequest();
ControlRequest msOs20SetRequest();
ControlRequest msOs10StringRequest();
ControlRequest extendedPropertiesRequest(std::uint8_t requestType);

DeviceModel hubModel();
// A device whose vendor-class interface (interfaceNumber, with bulk pipes
// 0x81 and 0x01) declares guid (none when empty) in an MS OS 2.0 descriptor set.
DeviceModel msOs20Device(const std::string& guid, int interfaceNumber = 0);
// A USB 2.0 device that declares guid in MS OS 1.0 extended properties,
// answered to vendor requests of requestType.
DeviceModel msOs10Device(const std::string& guid, std::uint8_t requestType = kInterfaceRequest);

// The device behind one emulated device node. Thread-safe: libusb's requests
// arrive in umockdev's thread, the test asks from its own.
class Device {
public:
    Device(DeviceModel model, std::shared_ptr<sim::Instrument> instrument);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const DeviceModel& model() const { return model_; }
    sim::Instrument* instrument() const { return instrument_.get(); }

    // What the device has seen and given, in order.
    std::vector<Bytes> bulkOut() const;     // every bulk OUT transfer
    std::vector<Bytes> bulkIn() const;      // every answer handed out on the IN pipe
    int claimedInterface();                 // -1 while none is claimed
    int openHandles();                      // device nodes open now
    int pendingUrbs() const;                // submitted, not finished
    int discardedUrbs() const;              // cancelled by the host while pending
    int abandonedUrbs();                    // still in flight or unreaped when their node was closed
    std::set<int> claimedEver() const;      // every interface number ever claimed

    // The electrical side of an unplug: every URB in flight ends with
    // ESHUTDOWN and every later request fails with ENODEV.
    void disconnect();
    // Disconnects itself when the n-th bulk IN URB from now is submitted.
    void disconnectAtInUrb(int n);

    bool handleIoctl(UMockdevIoctlClient* client);
    void clientConnected(UMockdevIoctlClient* client);

private:
    struct Urb;

    bool submit(UMockdevIoctlClient* client);
    bool reap(UMockdevIoctlClient* client);
    bool discard(UMockdevIoctlClient* client);
    void answerControl(Urb& urb);
    void takeBulkOut(Urb& urb);
    void serveInLocked();
    void disconnectLocked();
    void finishLocked(std::unique_ptr<Urb> urb, int status);
    void forgetClosedLocked();

    const DeviceModel model_;
    const std::shared_ptr<sim::Instrument> instrument_;
    mutable std::mutex mutex_;  // guards every member below
    bool connected_ = true;
    int disconnectCountdown_ = 0;  // IN URBs until the device disconnects itself; 0: never
    std::vector<UMockdevIoctlClient*> clients_;     // open nodes, each referenced
    std::map<UMockdevIoctlClient*, int> claims_;    // interface claimed through each
    std::set<int> claimedEver_;
    int discarded_ = 0;
    int abandoned_ = 0;
    std::deque<Bytes> answers_;  // the instrument's answers not yet taken by an IN URB
    std::deque<std::unique_ptr<Urb>> pending_;
    std::deque<std::unique_ptr<Urb>> finished_;
    std::vector<Bytes> bulkOut_;
    std::vector<Bytes> bulkIn_;
};

class Bus {
public:
    // An empty bus with the root hubs of buses 1 and 2.
    Bus();
    ~Bus();
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;

    // Plugs a device into port ("1-2.3": bus 1, port 3 of the hub on port 2);
    // a hub on the way must have been plugged first. Each plug gives the
    // device the next free device number of its bus, as the kernel does.
    std::shared_ptr<Device> plug(const std::string& port, DeviceModel model,
                                 std::shared_ptr<sim::Instrument> instrument = nullptr);
    // Disconnects the device, announces its removal and takes it out of sysfs.
    void unplug(const std::string& port);

private:
    struct Slot;
    Slot* addNode(const std::string& sysPath, int bus, int devnum, const std::shared_ptr<Device>& device);

    UMockdevTestbed* testbed_ = nullptr;
    std::vector<std::unique_ptr<Slot>> nodes_;  // every node ever added, unplugged ones too
    std::map<std::string, Slot*> plugged_;      // by port
    std::map<int, int> lastDevnum_;             // by bus
};

}  // namespace usbemu
