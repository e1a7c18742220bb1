#pragma once
// The platform calls beneath the link, kept free of Qt so that each backend
// (WinUSB on Windows, libusb elsewhere, the simulator's socket) is small and
// the link's own logic stays in one place.
//
// The calls mirror what the link needs of any USB bulk-transfer facility:
// list the instrument paths, open one, bind its interface, query its pipes,
// start one bounded transfer, wait for it, collect or cancel it, flush, release.
// A transport serves one open device at a time and is used from the link's
// thread, except that transfers may be started and finished from another
// thread while one is being waited for (the link's transfer lock orders them),
// and a transfer being waited for may be cancelled from any thread (which
// ends its wait at once).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace transport {

// Pipe types as USB endpoint descriptors number them.
enum class PipeType : std::uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

struct PipeInfo {
    PipeType type = PipeType::Control;
    std::uint8_t id = 0;  // endpoint address; bit 7 set for IN
};

enum class WaitResult { Completed, TimedOut, Failed };

// One transfer in flight. Created by startTransfer, owned by the transport,
// given back with finishTransfer.
class Transfer {
public:
    virtual ~Transfer() = default;
};

class Transport {
public:
    virtual ~Transport() = default;

    // Present instruments in a stable order. Problems worth telling the user
    // (a device the user may not open, say) are left in notice().
    virtual std::vector<std::string> devicePaths() = 0;
    // Whether this backend claims a path of the form devicePaths() returns.
    virtual bool handles(const std::string& path) const = 0;

    virtual bool openDevice(const std::string& path) = 0;  // the file handle
    virtual bool bindInterface() = 0;                      // the interface handle
    virtual bool queryEndpointCount(int* count) = 0;       // alternate setting 0
    virtual bool queryPipe(int index, PipeInfo* pipe) = 0;
    virtual bool releaseInterface() = 0;  // false when releasing failed; released regardless
    virtual bool closeDevice() = 0;       // false when closing failed; closed regardless

    // Starts one transfer of length bytes on pipeId (IN when bit 7 is set).
    // The buffer must stay valid until finishTransfer returns. Null when the
    // transfer could not be started.
    virtual Transfer* startTransfer(std::uint8_t pipeId, std::uint8_t* buffer, std::uint32_t length) = 0;
    virtual WaitResult waitTransfer(Transfer* transfer, std::uint32_t timeoutMs) = 0;
    // After Completed: whether the transfer succeeded, and how many bytes moved.
    virtual bool transferResult(Transfer* transfer, std::uint32_t* transferred) = 0;
    virtual void cancelTransfer(Transfer* transfer) = 0;
    // Frees the transfer. A cancelled or unfinished transfer is first waited
    // for until the platform has let go of its buffer.
    virtual void finishTransfer(Transfer* transfer) = 0;

    // One write outside the transfer bookkeeping (the wake-up bytes).
    virtual bool writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                           std::uint32_t timeoutMs) = 0;
    virtual bool flushPipe(std::uint8_t pipeId) = 0;

    // Whether the open device has gone (unplugged, its simulator ended), found
    // without a transfer: cheap enough to be asked a few times a second from
    // the link's thread, also while another thread waits for a transfer.
    // False while nothing is open.
    virtual bool deviceGone() { return false; }

    // The platform's error number of the last failed call, for log lines.
    virtual int lastError() const = 0;
    // A message for the user about the last enumeration or open (empty if none).
    virtual std::string notice() const { return {}; }
};

// Backends of this platform, USB instruments first, then simulators.
// socketFolder is where simulator sockets are looked for (empty: none).
std::unique_ptr<Transport> createPlatformTransport(const std::string& socketFolder);

}  // namespace transport
