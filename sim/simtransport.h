#pragma once
// A transport whose devices are in-process simulated instruments, for fast
// tests of the link. Paths are "sim:0", "sim:1", … by instrument index.
//
// Each device has one interface with a bulk IN pipe (0x81) and a bulk OUT
// pipe (0x01). A bulk OUT transfer hands its bytes to the instrument at once;
// the instrument's answers queue on the IN pipe, one answer per IN transfer.
// An IN transfer takes the oldest answer that is due when it is waited for;
// with nothing due the wait blocks until an answer comes due, the transfer is
// cancelled (from any thread), the connection drops, or the timeout passes.
//
// The instrument's transport faults act here as a real device's would:
// "silent" leaves reads to time out, "delay" makes answers come due later,
// and "drop after n" fails the transfer after the n-th received one and every
// later transfer; the device then vanishes from devicePaths() until
// restoreDevice() plugs it back in. "Unplugged" drops the open connection as
// soon as anything asks for the device, deviceGone() too, and hides the device
// while it lasts.

#include "sim/instrument.h"
#include "link/transport.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace sim {

struct SimTransportOptions {
    bool zeroEndpoints = false;  // the interface reports no endpoints
    bool failOpen = false;       // openDevice fails
    bool failBind = false;       // bindInterface fails
};

class SimulatorTransport : public transport::Transport {
public:
    static constexpr std::uint8_t kBulkIn = 0x81;
    static constexpr std::uint8_t kBulkOut = 0x01;

    // Error numbers given by lastError().
    static constexpr int kErrorNone = 0;
    static constexpr int kErrorNoDevice = 19;     // gone, or dropped
    static constexpr int kErrorInvalid = 22;      // unknown pipe, bad argument
    static constexpr int kErrorNotOpen = 9;       // no device open or bound
    static constexpr int kErrorCancelled = 125;   // transfer cancelled

    explicit SimulatorTransport(std::shared_ptr<Instrument> instrument, SimTransportOptions options = {});
    explicit SimulatorTransport(std::vector<std::shared_ptr<Instrument>> instruments,
                                SimTransportOptions options = {});
    ~SimulatorTransport() override;

    static std::string pathFor(int index);  // "sim:<index>"

    std::shared_ptr<Instrument> instrument(int index) const;

    // Answers on the IN pipe that no transfer has taken yet (due or not).
    std::size_t queuedAnswers() const;
    // Whether the open device has dropped its connection.
    bool connectionDropped() const;
    // Plugs a dropped instrument back in: it is listed again and may be opened.
    void restoreDevice(int index);
    // Whether a device is open (by openDevice, until closeDevice).
    bool deviceOpen() const;

    // transport::Transport
    std::vector<std::string> devicePaths() override;
    bool handles(const std::string& path) const override;
    bool openDevice(const std::string& path) override;
    bool bindInterface() override;
    bool queryEndpointCount(int* count) override;
    bool queryPipe(int index, transport::PipeInfo* pipe) override;
    bool releaseInterface() override;
    bool closeDevice() override;
    transport::Transfer* startTransfer(std::uint8_t pipeId, std::uint8_t* buffer, std::uint32_t length) override;
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs) override;
    bool transferResult(transport::Transfer* transfer, std::uint32_t* transferred) override;
    void cancelTransfer(transport::Transfer* transfer) override;
    void finishTransfer(transport::Transfer* transfer) override;
    bool writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                   std::uint32_t timeoutMs) override;
    bool flushPipe(std::uint8_t pipeId) override;
    bool deviceGone() override;
    int lastError() const override;

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    struct PendingAnswer {
        Bytes bytes;
        TimePoint due;
    };
    class SimTransfer;

    bool usableLocked() const;
    bool unpluggedLocked(std::size_t index) const;
    bool deliverLocked(const std::uint8_t* data, std::uint32_t length);
    bool takeAnswerLocked(SimTransfer* transfer);
    // untilRestored: the device stays hidden until restoreDevice(); else only
    // while its instrument is unplugged.
    void dropLocked(bool untilRestored = true);
    int indexOf(const std::string& path) const;
    SimTransfer* checked(transport::Transfer* transfer) const;

    const std::vector<std::shared_ptr<Instrument>> instruments_;
    const SimTransportOptions options_;
    mutable std::mutex mutex_;  // guards every member below and the state of each transfer
    std::condition_variable changed_;  // signalled on a new answer, a cancel, a drop
    std::vector<bool> unplugged_;
    int openIndex_ = -1;
    bool bound_ = false;
    bool dropped_ = false;
    std::size_t receivedSinceOpen_ = 0;
    std::deque<PendingAnswer> answers_;
    std::set<SimTransfer*> transfers_;
    int lastError_ = kErrorNone;
};

}  // namespace sim
