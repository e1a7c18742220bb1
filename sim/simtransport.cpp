#include "sim/simtransport.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {
const char kPathPrefix[] = "sim:";
constexpr std::size_t kPathPrefixLength = sizeof kPathPrefix - 1;
constexpr int kEndpointCount = 2;
}  // namespace

class SimulatorTransport::SimTransfer : public transport::Transfer {
public:
    enum class State { Pending, Done, Failed, Cancelled };

    SimTransfer(bool in, std::uint8_t* buffer, std::uint32_t length) : in(in), buffer(buffer), length(length) {}

    const bool in;
    std::uint8_t* const buffer;
    const std::uint32_t length;
    State state = State::Pending;
    std::uint32_t transferred = 0;
    int error = kErrorNone;
};

SimulatorTransport::SimulatorTransport(std::shared_ptr<Instrument> instrument, SimTransportOptions options)
    : SimulatorTransport(std::vector<std::shared_ptr<Instrument>>{std::move(instrument)}, options)
{
}

SimulatorTransport::SimulatorTransport(std::vector<std::shared_ptr<Instrument>> instruments,
                                       SimTransportOptions options)
    : instruments_(std::move(instruments)), options_(options), unplugged_(instruments_.size(), false)
{
}

SimulatorTransport::~SimulatorTransport()
{
    for (SimTransfer* transfer : transfers_)
        delete transfer;
}

std::string SimulatorTransport::pathFor(int index)
{
    return kPathPrefix + std::to_string(index);
}

std::shared_ptr<Instrument> SimulatorTransport::instrument(int index) const
{
    if (index < 0 || index >= static_cast<int>(instruments_.size()))
        return nullptr;
    return instruments_[static_cast<std::size_t>(index)];
}

std::size_t SimulatorTransport::queuedAnswers() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return answers_.size();
}

bool SimulatorTransport::connectionDropped() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

void SimulatorTransport::restoreDevice(int index)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= 0 && index < static_cast<int>(unplugged_.size()))
        unplugged_[static_cast<std::size_t>(index)] = false;
}

bool SimulatorTransport::deviceOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return openIndex_ >= 0;
}

// --- device and interface --------------------------------------------------

int SimulatorTransport::indexOf(const std::string& path) const
{
    if (path.compare(0, kPathPrefixLength, kPathPrefix) != 0 || path.size() == kPathPrefixLength)
        return -1;
    int index = 0;
    for (std::size_t i = kPathPrefixLength; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9' || index > 100000)
            return -1;
        index = index * 10 + (path[i] - '0');
    }
    return index < static_cast<int>(instruments_.size()) ? index : -1;
}

std::vector<std::string> SimulatorTransport::devicePaths()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < instruments_.size(); ++i)
        if (!unpluggedLocked(i))
            paths.push_back(pathFor(static_cast<int>(i)));
    return paths;
}

bool SimulatorTransport::handles(const std::string& path) const
{
    return path.compare(0, kPathPrefixLength, kPathPrefix) == 0;
}

bool SimulatorTransport::openDevice(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = indexOf(path);
    if (options_.failOpen || index < 0 || unpluggedLocked(static_cast<std::size_t>(index)) || openIndex_ >= 0) {
        lastError_ = openIndex_ >= 0 ? kErrorInvalid : kErrorNoDevice;
        return false;
    }
    openIndex_ = index;
    bound_ = false;
    dropped_ = false;
    receivedSinceOpen_ = 0;
    answers_.clear();
    return true;
}

bool SimulatorTransport::bindInterface()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (openIndex_ < 0 || dropped_ || options_.failBind) {
        lastError_ = openIndex_ < 0 ? kErrorNotOpen : kErrorNoDevice;
        return false;
    }
    bound_ = true;
    return true;
}

bool SimulatorTransport::queryEndpointCount(int* count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!bound_) {
        lastError_ = kErrorNotOpen;
        return false;
    }
    *count = options_.zeroEndpoints ? 0 : kEndpointCount;
    return true;
}

bool SimulatorTransport::queryPipe(int index, transport::PipeInfo* pipe)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!bound_ || options_.zeroEndpoints || index < 0 || index >= kEndpointCount) {
        lastError_ = bound_ ? kErrorInvalid : kErrorNotOpen;
        return false;
    }
    pipe->type = transport::PipeType::Bulk;
    pipe->id = index == 0 ? kBulkIn : kBulkOut;
    return true;
}

bool SimulatorTransport::releaseInterface()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const bool wasBound = bound_;
    bound_ = false;
    if (!wasBound)
        lastError_ = kErrorNotOpen;
    return wasBound;
}

bool SimulatorTransport::closeDevice()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (openIndex_ < 0) {
        lastError_ = kErrorNotOpen;
        return false;
    }
    for (SimTransfer* transfer : transfers_) {
        if (transfer->state == SimTransfer::State::Pending) {
            transfer->state = SimTransfer::State::Cancelled;
            transfer->error = kErrorCancelled;
        }
    }
    openIndex_ = -1;
    bound_ = false;
    answers_.clear();
    changed_.notify_all();
    return true;
}

// --- transfers -------------------------------------------------------------

bool SimulatorTransport::usableLocked() const
{
    return openIndex_ >= 0 && bound_ && !dropped_;
}

bool SimulatorTransport::unpluggedLocked(std::size_t index) const
{
    return unplugged_[index] || instruments_[index]->faults().unplugged;
}

bool SimulatorTransport::deviceGone()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (openIndex_ < 0)
        return false;
    if (!dropped_ && instruments_[static_cast<std::size_t>(openIndex_)]->faults().unplugged)
        dropLocked(false);
    return dropped_;
}

void SimulatorTransport::dropLocked(bool untilRestored)
{
    dropped_ = true;
    if (untilRestored)
        unplugged_[static_cast<std::size_t>(openIndex_)] = true;
    answers_.clear();
    for (SimTransfer* transfer : transfers_) {
        if (transfer->state == SimTransfer::State::Pending) {
            transfer->state = SimTransfer::State::Failed;
            transfer->error = kErrorNoDevice;
        }
    }
    changed_.notify_all();
}

bool SimulatorTransport::deliverLocked(const std::uint8_t* data, std::uint32_t length)
{
    Instrument& device = *instruments_[static_cast<std::size_t>(openIndex_)];
    const Faults faults = device.faults();
    if (faults.unplugged
        || (faults.dropAfterRequests > 0 && receivedSinceOpen_ >= static_cast<std::size_t>(faults.dropAfterRequests))) {
        dropLocked(!faults.unplugged);
        return false;
    }
    ++receivedSinceOpen_;
    const TimePoint due = std::chrono::steady_clock::now() + std::chrono::milliseconds(faults.answerDelayMs);
    for (Bytes& answer : device.handle(data, length))
        answers_.push_back({std::move(answer), due});
    changed_.notify_all();
    return true;
}

bool SimulatorTransport::takeAnswerLocked(SimTransfer* transfer)
{
    if (answers_.empty() || answers_.front().due > std::chrono::steady_clock::now())
        return false;
    const Bytes& answer = answers_.front().bytes;
    const std::uint32_t size = std::min<std::uint32_t>(transfer->length, static_cast<std::uint32_t>(answer.size()));
    if (size > 0)
        std::memcpy(transfer->buffer, answer.data(), size);
    transfer->transferred = size;
    transfer->state = SimTransfer::State::Done;
    answers_.pop_front();
    return true;
}

SimulatorTransport::SimTransfer* SimulatorTransport::checked(transport::Transfer* transfer) const
{
    auto* candidate = static_cast<SimTransfer*>(transfer);
    return transfers_.count(candidate) ? candidate : nullptr;
}

transport::Transfer* SimulatorTransport::startTransfer(std::uint8_t pipeId, std::uint8_t* buffer,
                                                       std::uint32_t length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!usableLocked()) {
        lastError_ = dropped_ ? kErrorNoDevice : kErrorNotOpen;
        return nullptr;
    }
    if ((pipeId != kBulkIn && pipeId != kBulkOut) || (buffer == nullptr && length > 0)) {
        lastError_ = kErrorInvalid;
        return nullptr;
    }
    const bool in = pipeId == kBulkIn;
    if (!in && !deliverLocked(buffer, length)) {
        lastError_ = kErrorNoDevice;
        return nullptr;
    }
    auto* transfer = new SimTransfer(in, buffer, length);
    if (!in) {
        transfer->state = SimTransfer::State::Done;
        transfer->transferred = length;
    }
    transfers_.insert(transfer);
    return transfer;
}

transport::WaitResult SimulatorTransport::waitTransfer(transport::Transfer* handle, std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    SimTransfer* transfer = checked(handle);
    if (!transfer) {
        lastError_ = kErrorInvalid;
        return transport::WaitResult::Failed;
    }
    const TimePoint deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (transfer->state != SimTransfer::State::Pending || takeAnswerLocked(transfer))
            return transport::WaitResult::Completed;
        const TimePoint now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return transport::WaitResult::TimedOut;
        TimePoint wake = deadline;
        if (!answers_.empty())
            wake = std::min(wake, answers_.front().due);
        changed_.wait_until(lock, wake);
    }
}

bool SimulatorTransport::transferResult(transport::Transfer* handle, std::uint32_t* transferred)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimTransfer* transfer = checked(handle);
    if (!transfer) {
        lastError_ = kErrorInvalid;
        return false;
    }
    if (transfer->state != SimTransfer::State::Done) {
        lastError_ = transfer->state == SimTransfer::State::Pending ? kErrorInvalid : transfer->error;
        return false;
    }
    if (transferred)
        *transferred = transfer->transferred;
    return true;
}

void SimulatorTransport::cancelTransfer(transport::Transfer* handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimTransfer* transfer = checked(handle);
    if (!transfer || transfer->state != SimTransfer::State::Pending)
        return;
    transfer->state = SimTransfer::State::Cancelled;
    transfer->error = kErrorCancelled;
    changed_.notify_all();
}

void SimulatorTransport::finishTransfer(transport::Transfer* handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimTransfer* transfer = checked(handle);
    if (!transfer)
        return;
    // Nothing in flight outlives this call: an unfinished read simply never
    // takes an answer.
    transfers_.erase(transfer);
    delete transfer;
}

bool SimulatorTransport::writeSync(std::uint8_t pipeId, const std::uint8_t* data, std::uint32_t length,
                                   std::uint32_t /*timeoutMs: the instrument takes every write at once*/)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!usableLocked()) {
        lastError_ = dropped_ ? kErrorNoDevice : kErrorNotOpen;
        return false;
    }
    if (pipeId != kBulkOut || (data == nullptr && length > 0)) {
        lastError_ = kErrorInvalid;
        return false;
    }
    if (!deliverLocked(data, length)) {
        lastError_ = kErrorNoDevice;
        return false;
    }
    return true;
}

bool SimulatorTransport::flushPipe(std::uint8_t pipeId)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!usableLocked()) {
        lastError_ = dropped_ ? kErrorNoDevice : kErrorNotOpen;
        return false;
    }
    if (pipeId != kBulkIn && pipeId != kBulkOut) {
        lastError_ = kErrorInvalid;
        return false;
    }
    if (pipeId == kBulkIn) {
        // Only what has arrived is discarded; a delayed answer is still in the instrument.
        const TimePoint now = std::chrono::steady_clock::now();
        answers_.erase(std::remove_if(answers_.begin(), answers_.end(),
                                      [now](const PendingAnswer& a) { return a.due <= now; }),
                       answers_.end());
    }
    return true;
}

int SimulatorTransport::lastError() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lastError_;
}

}  // namespace sim
