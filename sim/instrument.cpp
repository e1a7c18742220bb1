#include "sim/instrument.h"

#include "sim/instrumenttables.h"
#include "sim/recordencoder.h"
#include "link/settingsframes.h"
#include "sim/storedrecords.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sim {

using protocol::AnswerType;
using protocol::Command;
using protocol::GroupAction;

std::int64_t SteadyClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t ManualClock::nowMs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void ManualClock::advanceMs(std::int64_t ms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += ms;
}

int reportedTestState(Phase phase)
{
    switch (phase) {
    case Phase::Testing: return 1;
    case Phase::Discharging: return 2;
    case Phase::Complete: return 3;
    case Phase::Idle:
    case Phase::Charging: break;
    }
    return 0;
}

// What the instrument measured at one moment.
struct Instrument::Measurement {
    bool measured = false;          // false: nothing measured yet in this cycle
    bool overRange = false;         // the resistance is above the range limit
    double ohms = 0.0;
    double amps = 0.0;
    double convertedOhms = 0.0;     // DC only
    double standardOhmsPerMetre = 0.0;  // length only, the value in use
    double metres = 0.0;            // length only; <0: no length could be derived
    bool lengthOverRange = false;
};

// One test cycle from its start request on.
struct Instrument::Cycle {
    bool lengthTest = false;
    Phase phase = Phase::Charging;
    std::int64_t phaseStartMs = 0;
    double nominalAmps = 0.0;  // the current the cycle drives, for durations and danger
    Measurement held;          // the last reading taken while testing
};

namespace {

constexpr std::size_t kMaxLogEntries = 100000;
constexpr int kMaxReadBackBatch = protocol::kReadBackBatch;

bool isWakeUp(const Bytes& request)
{
    return request == protocol::wakeUpBytes();
}

// A frame with both start bytes, a length that matches its size and a
// matching checksum.
bool isWellFormedFrame(const Bytes& request)
{
    if (request.size() < protocol::kHeaderSize + 3)
        return false;
    if (request[0] != protocol::kStart1 || request[1] != protocol::kStart2)
        return false;
    if (protocol::readU16(&request[2]) != request.size() - protocol::kHeaderSize)
        return false;
    const std::size_t last = request.size() - 3;
    return protocol::checksum(request.data(), protocol::kHeaderSize, last) ==
           protocol::readU16(&request[request.size() - 2]);
}

Bytes acknowledge(bool accepted)
{
    return protocol::buildFrame(static_cast<std::uint8_t>(AnswerType::Acknowledge),
                                {accepted ? protocol::kAccepted : std::uint8_t(0x00)});
}

double normal(std::mt19937& random, double sigma)
{
    return std::normal_distribution<double>(0.0, sigma)(random);
}

}  // namespace

Instrument::Instrument(InstrumentOptions options, std::shared_ptr<Clock> clock)
    : options_(std::move(options)),
      clock_(clock ? std::move(clock) : std::make_shared<SteadyClock>()),
      random_(options_.seed),
      screen_(options_.screen)
{
    startMs_ = clock_->nowMs();
    startEpoch_ = options_.startEpochSeconds;
    if (startEpoch_ <= 0) {
        using namespace std::chrono;
        startEpoch_ = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    }
    options_.storedRecords = std::clamp(options_.storedRecords, 0, protocol::kMaxStoredRecords);
    options_.batteryCells = std::clamp(options_.batteryCells, 1, 3);
    options_.inductiveSeconds = std::max(0.0, options_.inductiveSeconds);
    generateStoredRecords();
}

Instrument::~Instrument() = default;

std::vector<Bytes> Instrument::handle(const std::uint8_t* data, std::size_t size)
{
    return handle(Bytes(data, data + size));
}

std::vector<Bytes> Instrument::handle(const Bytes& request)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (log_.size() >= kMaxLogEntries)
        log_.erase(log_.begin(), log_.begin() + kMaxLogEntries / 10);
    log_.push_back(request);
    ++received_;
    const std::int64_t now = clock_->nowMs();
    advance(now);
    if (options_.faults.silent)
        return {};
    return dispatch(request, now);
}

std::vector<Bytes> Instrument::dispatch(const Bytes& request, std::int64_t nowMs)
{
    if (isWakeUp(request)) {
        ++wakeUps_;
        return {};
    }
    if (!isWellFormedFrame(request))
        return {acknowledge(false)};
    switch (static_cast<Command>(request[4])) {
    case Command::Group: return onGroup(request, nowMs);
    case Command::RealTime: return onRealTime(request, nowMs);
    case Command::StoredRecords: return onStoredRecords(request);
    case Command::StoredCount: return onStoredCount();
    case Command::Keys: return onKeys(request);
    case Command::Upper: return onUpper(request);
    }
    return {acknowledge(false)};
}

std::vector<Bytes> Instrument::onGroup(const Bytes& request, std::int64_t nowMs)
{
    if (request.size() < 6)
        return {acknowledge(false)};
    const auto action = static_cast<GroupAction>(request[5]);
    if (options_.faults.refuseAcknowledges)
        return {acknowledge(false)};
    switch (action) {
    case GroupAction::StartTest:
    case GroupAction::StopTest: {
        const bool wellFormed = request.size() == 9 && request[6] <= 1 && request[7] == 0;
        if (!wellFormed)
            return {acknowledge(false)};
        if (action == GroupAction::StartTest)
            return {acknowledge(startCycle(request[6] == 1, nowMs))};
        return {acknowledge(stopCycle(nowMs))};
    }
    case GroupAction::DcSettings: return {acknowledge(applyDcSettings(request))};
    case GroupAction::LengthSettings: return {acknowledge(applyLengthSettings(request))};
    }
    return {acknowledge(false)};
}

std::vector<Bytes> Instrument::onRealTime(const Bytes& request, std::int64_t nowMs)
{
    if (request.size() != 8)
        return {acknowledge(false)};
    const std::uint8_t readType = request[5];
    // The PC may move the instrument between its two test screens, never out
    // of a menu and never while a cycle runs.
    if (screen_ != Screen::Other && !cycleUnderWay()) {
        Screen wanted = screen_;
        if (readType == protocol::kReadTypeDc)
            wanted = Screen::DcTest;
        else if (readType == protocol::kReadTypeLength)
            wanted = Screen::LengthTest;
        if (wanted != screen_) {
            screen_ = wanted;
            cycle_.reset();
        }
    }
    if (screen_ == Screen::Other)
        return {acknowledge(false)};
    if (options_.faults.acknowledgeRealTime)
        return {acknowledge(true)};
    return {realTimeRecord(nowMs)};
}

std::vector<Bytes> Instrument::onStoredCount() const
{
    const int count = static_cast<int>(stored_.size());
    return {protocol::buildFrame(static_cast<std::uint8_t>(AnswerType::StoredCount),
                                 {0x00, std::uint8_t(count >> 8), std::uint8_t(count & 0xFF)})};
}

std::vector<Bytes> Instrument::onStoredRecords(const Bytes& request) const
{
    if (request.size() != 11)
        return {acknowledge(false)};
    const int first = protocol::readU16(&request[5]);
    const int count = protocol::readU16(&request[7]);
    if (first < 1 || count < 1 || count > kMaxReadBackBatch)
        return {acknowledge(false)};
    std::vector<Bytes> answers;
    const int last = std::min<int>(first + count - 1, static_cast<int>(stored_.size()));
    for (int number = first; number <= last; ++number)
        answers.push_back(storedRecordAnswerLocked(number));
    return answers;
}

std::vector<Bytes> Instrument::onKeys(const Bytes& request)
{
    if (request.size() != 8)
        return {acknowledge(false)};
    if (request[5] == protocol::kUnlockOrClose) {
        keysLocked_ = false;  // never answered
        return {};
    }
    if (request[5] != protocol::kLockOrOpen || options_.faults.refuseAcknowledges)
        return {acknowledge(false)};
    keysLocked_ = true;
    return {acknowledge(true)};
}

std::vector<Bytes> Instrument::onUpper(const Bytes& request)
{
    if (request.size() == 8 && request[5] == protocol::kLockOrOpen)
        upperOpen_ = true;
    else if (request.size() == 8 && request[5] == protocol::kUnlockOrClose)
        upperOpen_ = false;
    return {};  // the PC reads no answer to either
}

// --- test cycle ------------------------------------------------------------

bool Instrument::cycleUnderWay() const
{
    return cycle_ && cycle_->phase != Phase::Complete;
}

bool Instrument::currentAllowed(int currentIndex) const
{
    if (currentIndex == tables::kTwelveVoltIndex || currentIndex == tables::kAutoIndex)
        return true;  // low current, or AUTO keeps within the battery itself
    return currentIndex >= 0 && currentIndex <= tables::highestAllowedIndex(options_.batteryCells);
}

bool Instrument::startCycle(bool lengthTest, std::int64_t nowMs)
{
    if (screen_ == Screen::Other || cycleUnderWay())
        return false;
    const int currentIndex = lengthTest ? length_.currentIndex : dc_.currentIndex;
    if (!currentAllowed(currentIndex))
        return false;
    screen_ = lengthTest ? Screen::LengthTest : Screen::DcTest;
    cycle_ = std::make_unique<Cycle>();
    cycle_->lengthTest = lengthTest;
    cycle_->phase = Phase::Charging;
    cycle_->phaseStartMs = nowMs;
    cycle_->nominalAmps = tables::driveFor(currentIndex, sampleOhms(lengthTest), options_.highLimitTable,
                                           lengthTest, options_.batteryCells).amps;
    return true;
}

bool Instrument::stopCycle(std::int64_t nowMs)
{
    if (!cycleUnderWay())
        return true;  // nothing runs; stopping is harmless
    Cycle& c = *cycle_;
    if (c.phase == Phase::Testing)
        c.held = measure(c.lengthTest, (nowMs - c.phaseStartMs) / 1000.0);
    if (c.phase == Phase::Charging || c.phase == Phase::Testing) {
        c.phase = Phase::Discharging;
        c.phaseStartMs = nowMs;
    }
    return true;
}

void Instrument::advance(std::int64_t nowMs) const
{
    while (cycleUnderWay()) {
        Cycle& c = *cycle_;
        double seconds = 0.0;
        Phase next = c.phase;
        switch (c.phase) {
        case Phase::Charging:
            seconds = scaledSeconds(tables::chargingSeconds(c.nominalAmps));
            next = Phase::Testing;
            break;
        case Phase::Testing:
            seconds = scaledSeconds(tables::kMaximumTestingSeconds);
            next = Phase::Discharging;
            break;
        default:
            seconds = scaledSeconds(tables::dischargingSeconds(c.nominalAmps));
            next = Phase::Complete;
            break;
        }
        const std::int64_t endMs = c.phaseStartMs + static_cast<std::int64_t>(std::llround(seconds * 1000.0));
        if (nowMs < endMs)
            return;
        if (c.phase == Phase::Testing)
            c.held = measure(c.lengthTest, seconds);
        c.phase = next;
        c.phaseStartMs = endMs;
    }
}

double Instrument::scaledSeconds(double seconds) const
{
    return seconds * std::max(0.0, options_.timeScale);
}

double Instrument::cycleAmps() const
{
    if (cycle_)
        return cycle_->nominalAmps;
    const bool lengthTest = screen_ == Screen::LengthTest;
    return tables::driveFor(lengthTest ? length_.currentIndex : dc_.currentIndex, sampleOhms(lengthTest),
                            options_.highLimitTable, lengthTest, options_.batteryCells)
        .amps;
}

double Instrument::chargingSeconds() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return scaledSeconds(tables::chargingSeconds(cycleAmps()));
}

double Instrument::dischargingSeconds() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return scaledSeconds(tables::dischargingSeconds(cycleAmps()));
}

// --- measuring -------------------------------------------------------------

namespace {

constexpr double kResistanceNoise = 1e-4;  // relative, one sigma
constexpr double kCurrentNoise = 1e-3;
constexpr double kAmbientNoise = 0.05;     // degrees
constexpr double kAmbientMean = 22.5;
constexpr double kSettleFraction = 0.02;   // the reading starts this much high ...
constexpr double kSettleSeconds = 1.0;     // ... and settles with this time constant
// An inductive sample starts this much high, its current this much low; both
// settle with the sample's own time constant.
constexpr double kInductiveExcess = 0.25;
constexpr double kInductiveCurrentDeficit = 0.10;

}  // namespace

double Instrument::lengthOhmsPerMetre() const
{
    const double square = length_.wireSquare > 0.0f ? length_.wireSquare : 1.0;
    return tables::kCopperResistivity / square;
}

double Instrument::sampleOhms(bool lengthTest) const
{
    if (lengthTest)
        return lengthOhmsPerMetre() * options_.lengthSampleMetres;
    return options_.dcSampleOhms;
}

Instrument::Measurement Instrument::measure(bool lengthTest, double testingSeconds) const
{
    Measurement m;
    m.measured = true;
    const int currentIndex = lengthTest ? length_.currentIndex : dc_.currentIndex;
    const double trueOhms = sampleOhms(lengthTest);
    const tables::Drive drive =
        tables::driveFor(currentIndex, trueOhms, options_.highLimitTable, lengthTest, options_.batteryCells);
    const bool inductive = !lengthTest && options_.inductiveSeconds > 0.0;
    const double settleSeconds =
        std::max(scaledSeconds(inductive ? options_.inductiveSeconds : kSettleSeconds), 1e-3);
    const double decay = std::exp(-std::max(0.0, testingSeconds) / settleSeconds);
    const double settling = 1.0 + (inductive ? kInductiveExcess : kSettleFraction) * decay;
    const double building = inductive ? 1.0 - kInductiveCurrentDeficit * decay : 1.0;
    m.ohms = trueOhms * settling * (1.0 + normal(random_, kResistanceNoise));
    m.amps = tables::drivenAmps(drive, m.ohms) * building * (1.0 + normal(random_, kCurrentNoise));
    m.overRange = m.ohms > drive.limitOhms;
    if (!lengthTest) {
        m.convertedOhms = tables::convertedOhms(m.ohms, dc_.material, dc_.convertedTemp, dc_.conductorTemp);
        return m;
    }
    if (length_.standardMode == 0)
        m.standardOhmsPerMetre = length_.standardValue * standardUnitFactor(length_.standardUnit);
    else
        m.standardOhmsPerMetre = lengthOhmsPerMetre() * (1.0 + normal(random_, kResistanceNoise));
    m.metres = -1.0;
    if (!m.overRange && m.standardOhmsPerMetre > 0.0) {
        m.metres = m.ohms / m.standardOhmsPerMetre;
        m.lengthOverRange = m.metres > tables::kLengthLimitMetres;
    }
    return m;
}

double Instrument::ambient() const
{
    return std::round((kAmbientMean + normal(random_, kAmbientNoise)) * 10.0) / 10.0;
}

void Instrument::fillMeasured(RecordContent& c, const Measurement& m) const
{
    if (!m.measured) {
        c.resistance = c.converted = c.conductorLength = c.current = noValue();
        return;
    }
    c.current = currentQuantity(m.amps);
    if (c.lengthTest && length_.standardMode == 1)
        c.standard = standardQuantity(m.standardOhmsPerMetre);
    if (m.overRange) {
        c.status |= answerlayout::kResistanceOverRangeBit;
        c.resistance = c.converted = c.conductorLength = noValue();
        return;
    }
    c.resistance = resistanceQuantity(m.ohms);
    c.converted = resistanceQuantity(m.convertedOhms);
    if (m.lengthOverRange)
        c.status |= answerlayout::kLengthOverRangeBit;
    c.conductorLength = m.metres >= 0.0 && !m.lengthOverRange ? lengthQuantity(m.metres) : noValue();
}

Bytes Instrument::realTimeRecord(std::int64_t nowMs)
{
    RecordContent c;
    c.lengthTest = screen_ == Screen::LengthTest;
    c.dc = dc_;
    c.length = length_;
    c.standard = length_.standardMode == 0 ? quantity(length_.standardValue, std::uint8_t(length_.standardUnit))
                                           : zeroQuantity();
    c.ambient = static_cast<float>(ambient());
    c.epochSeconds = epochSecondsAt(nowMs);
    const Phase phase = cycle_ ? cycle_->phase : Phase::Idle;
    c.status = std::uint8_t((options_.highLimitTable ? answerlayout::kHighLimitTableBit : 0) |
                            reportedTestState(phase) << answerlayout::kTestStateShift);
    c.numberOrCode = cycleUnderWay() ? answerlayout::kCycleStarted : answerlayout::kCycleEnded;
    const double elapsed = cycle_ ? (nowMs - cycle_->phaseStartMs) / 1000.0 : 0.0;
    switch (phase) {
    case Phase::Idle:
        c.resistance = c.converted = c.conductorLength = c.current = zeroQuantity();
        break;
    case Phase::Charging: {
        c.resistance = c.converted = c.conductorLength = noValue();
        const double full = scaledSeconds(tables::chargingSeconds(cycle_->nominalAmps));
        const double fraction = full > 0.0 ? std::clamp(elapsed / full, 0.0, 1.0) : 1.0;
        c.current = fraction > 0.0 ? currentQuantity(cycle_->nominalAmps * fraction) : zeroQuantity();
        break;
    }
    case Phase::Testing:
        fillMeasured(c, measure(cycle_->lengthTest, elapsed));
        break;
    case Phase::Discharging: {
        fillMeasured(c, cycle_->held);
        const double full = scaledSeconds(tables::dischargingSeconds(cycle_->nominalAmps));
        const double decay = full > 0.0 ? std::exp(-3.0 * elapsed / full) : 0.0;
        if (cycle_->held.measured)
            c.current = currentQuantity(cycle_->held.amps * decay);
        if (options_.dangerWhileDischarging && cycle_->nominalAmps >= tables::kDangerAmps)
            c.status |= answerlayout::kDangerBit;
        break;
    }
    case Phase::Complete:
        fillMeasured(c, cycle_->held);
        break;
    }
    return encodeRecord(AnswerType::RealTimeRecord, c);
}

std::int64_t Instrument::epochSecondsAt(std::int64_t nowMs) const
{
    const std::int64_t elapsedMs = nowMs - startMs_;
    return startEpoch_ + (elapsedMs >= 0 ? elapsedMs / 1000 : -((-elapsedMs + 999) / 1000));
}

// --- settings --------------------------------------------------------------

namespace {

constexpr std::size_t kReservedBytes = 2;
constexpr float kLowestConductorTemp = -40.0f;
constexpr float kHighestConductorTemp = 100.0f;
constexpr float kLargestWireSquare = 1000.0f;
constexpr float kLargestStandardValue = 1.0e6f;

bool reservedBytesClear(const Bytes& frame)
{
    const std::size_t end = frame.size() - 2;
    for (std::size_t i = end - kReservedBytes; i < end; ++i)
        if (frame[i] != 0)
            return false;
    return true;
}

}  // namespace

bool Instrument::applyDcSettings(const Bytes& frame)
{
    if (frame.size() != protocol::kDcSettingsFrameSize || !reservedBytesClear(frame) || cycleUnderWay())
        return false;
    DcSetup s;
    s.material = frame[6];
    s.currentIndex = frame[7];
    s.convertedTemp = frame[8];
    s.tapping = frame[9];
    s.phase = frame[10];
    s.winding = frame[11];
    s.conductorNo = protocol::readU16(&frame[12]);
    s.conductorTemp = protocol::readFloat(&frame[14]);
    const bool valid = s.material <= 1 && s.currentIndex < tables::kCurrentSettings && s.tapping <= 99 &&
                       s.phase >= 1 && s.phase <= 6 && s.winding <= 1 && s.conductorNo <= 9999 &&
                       std::isfinite(s.conductorTemp) && s.conductorTemp >= kLowestConductorTemp &&
                       s.conductorTemp <= kHighestConductorTemp;
    if (!valid || !currentAllowed(s.currentIndex))
        return false;
    dc_ = s;
    cycle_.reset();  // a finished result belongs to the old settings
    return true;
}

bool Instrument::applyLengthSettings(const Bytes& frame)
{
    if (frame.size() != protocol::kLengthSettingsFrameSize || !reservedBytesClear(frame) || cycleUnderWay())
        return false;
    LengthSetup s;
    s.sampleNo = frame[6];
    s.currentIndex = frame[7];
    s.conductorNo = protocol::readU16(&frame[8]);
    s.wireSquare = protocol::readFloat(&frame[10]);
    s.standardMode = frame[14];
    s.standardValue = protocol::readFloat(&frame[15]);
    s.standardUnit = frame[19];
    const bool currentValid = s.currentIndex < tables::kCurrentRanges || s.currentIndex == tables::kAutoIndex;
    const bool standardValid = std::isfinite(s.standardValue) && s.standardValue >= 0.0f &&
                               s.standardValue < kLargestStandardValue &&
                               (s.standardMode == 1 || s.standardValue > 0.0f);
    const bool valid = s.sampleNo <= 199 && currentValid && s.conductorNo <= 9999 && std::isfinite(s.wireSquare) &&
                       s.wireSquare > 0.0f && s.wireSquare <= kLargestWireSquare && s.standardMode <= 1 &&
                       standardValid && s.standardUnit <= 2;
    if (!valid || !currentAllowed(s.currentIndex))
        return false;
    length_ = s;
    cycle_.reset();
    return true;
}

// --- stored records --------------------------------------------------------

namespace {
constexpr std::int64_t kNewestRecordAgeSeconds = 300;
}  // namespace

void Instrument::generateStoredRecords()
{
    // A generator of its own, so that the memory does not depend on the
    // readings taken before it was made.
    stored_ = makeStoredRecords(options_.storedRecords, options_.seed ^ 0x5EEDu, options_.highLimitTable,
                                startEpoch_ - kNewestRecordAgeSeconds);
}

Bytes Instrument::storedRecordAnswerLocked(int number) const
{
    if (number < 1 || number > static_cast<int>(stored_.size()))
        return {};
    Bytes answer = stored_[static_cast<std::size_t>(number - 1)];
    const Faults& f = options_.faults;
    if (number == f.misnumberRecord)
        renumberRecord(answer, static_cast<std::uint16_t>(number < protocol::kMaxStoredRecords ? number + 1 : number - 1));
    if (number == f.corruptRecord)
        answer[answerlayout::kChecksum + 1] ^= 0x5A;
    return answer;
}

// --- state for callers -----------------------------------------------------

std::vector<Bytes> Instrument::requestLog() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
}

std::size_t Instrument::requestCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void Instrument::clearRequestLog()
{
    std::lock_guard<std::mutex> lock(mutex_);
    log_.clear();
}

Screen Instrument::screen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return screen_;
}

void Instrument::setScreen(Screen screen)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (screen == screen_)
        return;
    screen_ = screen;
    cycle_.reset();  // leaving a screen abandons its cycle, as the keys do
}

Phase Instrument::phase() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    advance(clock_->nowMs());
    return cycle_ ? cycle_->phase : Phase::Idle;
}

bool Instrument::keysLocked() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return keysLocked_;
}

bool Instrument::upperOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return upperOpen_;
}

int Instrument::wakeUpCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return wakeUps_;
}

bool Instrument::pressStartKey()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = clock_->nowMs();
    advance(now);
    return !keysLocked_ && startCycle(screen_ == Screen::LengthTest, now);
}

bool Instrument::pressStopKey()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = clock_->nowMs();
    advance(now);
    return !keysLocked_ && stopCycle(now);
}

void Instrument::setBatteryCells(int cells)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.batteryCells = std::clamp(cells, 1, 3);
}

Faults Instrument::faults() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return options_.faults;
}

void Instrument::setFaults(const Faults& faults)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.faults = faults;
}

void Instrument::setDcSampleOhms(double ohms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.dcSampleOhms = ohms;
}

void Instrument::setInductiveSeconds(double seconds)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.inductiveSeconds = std::max(0.0, seconds);
}

void Instrument::setDangerWhileDischarging(bool danger)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.dangerWhileDischarging = danger;
}

void Instrument::setStoredRecordCount(int count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    options_.storedRecords = std::clamp(count, 0, protocol::kMaxStoredRecords);
    generateStoredRecords();
}

Bytes Instrument::storedRecordAnswer(int number) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return storedRecordAnswerLocked(number);
}

}  // namespace sim
