#pragma once
// A model of the resistance tester as seen from its USB port: it takes one
// request transfer at a time and gives back the answer transfers, runs test
// cycles on its own clock and keeps a stored-record memory.
//
// Plain C++17; every public member is safe to call from any thread.

#include "link/protocol.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace sim {

using Bytes = protocol::Bytes;
struct RecordContent;

// Milliseconds on some monotonic scale. The instrument reads the clock only
// when it handles a request or is asked for its state, so a test can move a
// ManualClock forward and see the cycle advance without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

class SteadyClock : public Clock {
public:
    std::int64_t nowMs() const override;
};

class ManualClock : public Clock {
public:
    std::int64_t nowMs() const override;
    void advanceMs(std::int64_t ms);

private:
    mutable std::mutex mutex_;  // guards now_
    std::int64_t now_ = 0;
};

// What the instrument shows: one of the two test screens, or a menu screen
// that refuses real-time reads.
enum class Screen { DcTest, LengthTest, Other };

// Inner phases of a test cycle. Charging and Idle both report test state 0;
// the cycle code of byte 34 tells them apart.
enum class Phase { Idle, Charging, Testing, Discharging, Complete };

// Test state as reported in bits 4-5 of status byte 59.
int reportedTestState(Phase phase);

// Settings of the DC resistance screen, with their wire codes.
struct DcSetup {
    int material = 0;         // 0 copper, 1 aluminium
    int currentIndex = 19;    // 0..21
    int convertedTemp = 75;   // reference temperature, whole degrees
    int tapping = 1;          // 0..99
    int phase = 1;            // 1..6 (A0 .. BC)
    int winding = 0;          // 0 low voltage, 1 high voltage
    int conductorNo = 1;      // 0..9999
    float conductorTemp = 20.0f;
};

// Settings of the conductor length screen, with their wire codes.
struct LengthSetup {
    int sampleNo = 1;             // 0..199
    int currentIndex = 10;        // 0..19, or 21 (AUTO)
    int conductorNo = 1;          // 0..9999
    float wireSquare = 2.5f;      // nominal cross-section, mm²
    int standardMode = 0;         // 0 set value, 1 measured by the instrument
    float standardValue = 6.9f;   // resistance of 1 m, in standardUnit
    int standardUnit = 1;         // 0 μΩ, 1 mΩ, 2 Ω
};

// Misbehaviour on demand, for tests and demonstrations. Record numbers are
// 1-based; 0 switches a record fault off.
struct Faults {
    bool refuseAcknowledges = false;   // every acknowledge says no, nothing is applied
    bool silent = false;               // requests are taken but never answered
    int corruptRecord = 0;             // stored record k carries a wrong checksum
    int misnumberRecord = 0;           // stored record k carries another number
    bool acknowledgeRealTime = false;  // real-time reads get an accepting acknowledge
    int dropAfterRequests = 0;         // the connection goes after n received transfers (0: never)
    bool unplugged = false;            // the cable is pulled: the instrument is gone from the bus
    std::uint32_t answerDelayMs = 0;   // every answer leaves this much later
};

struct InstrumentOptions {
    Screen screen = Screen::DcTest;
    int storedRecords = 0;             // 0..9999
    double timeScale = 1.0;            // multiplies every duration of the test cycle
    int batteryCells = 3;              // 3 full; 2 refuses ranges above 2 A; 1 above 400 mA
    bool dangerWhileDischarging = false;
    bool highLimitTable = false;       // status bit 0: the higher range-limit table applies
    std::uint32_t seed = 1;            // noise and stored records
    std::int64_t startEpochSeconds = 0;  // date of the instrument's clock at start; 0: now
    double dcSampleOhms = 0.012345;    // the DC test object at its conductor temperature
    double lengthSampleMetres = 250.0; // the conductor on the length screen (copper)
    // Time constant in seconds of an inductive DC sample (a transformer
    // winding): its reading starts high and approaches the resistance
    // exponentially while its current builds up. 0: a plain resistor.
    double inductiveSeconds = 0.0;
    Faults faults;
};

class Instrument {
public:
    // Without a clock the instrument runs on a SteadyClock.
    explicit Instrument(InstrumentOptions options = {}, std::shared_ptr<Clock> clock = nullptr);
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // One received transfer in, the answer transfers out (possibly none).
    std::vector<Bytes> handle(const Bytes& request);
    std::vector<Bytes> handle(const std::uint8_t* data, std::size_t size);

    // Every transfer received so far, in order (the wake-up bytes included).
    std::vector<Bytes> requestLog() const;
    std::size_t requestCount() const;
    void clearRequestLog();

    Screen screen() const;
    void setScreen(Screen screen);  // the operator moving through the menus
    Phase phase() const;
    bool keysLocked() const;
    bool upperOpen() const;
    int wakeUpCount() const;

    // The operator's start and stop keys; false when the key does nothing.
    // Neither works while the PC has locked the keys. Start runs a test on
    // the screen shown, but not on a menu screen, while a test runs, or for a
    // current the battery cannot give. Stop ends a running test.
    bool pressStartKey();
    bool pressStopKey();

    void setBatteryCells(int cells);
    Faults faults() const;
    void setFaults(const Faults& faults);
    void setDcSampleOhms(double ohms);
    void setInductiveSeconds(double seconds);
    void setDangerWhileDischarging(bool danger);

    void setStoredRecordCount(int count);  // regenerates the memory from the seed
    // The answer the instrument gives for stored record `number` (faults applied).
    Bytes storedRecordAnswer(int number) const;

    // Seconds each phase lasts (after the time scale) for the present settings.
    double chargingSeconds() const;
    double dischargingSeconds() const;

private:
    struct Measurement;
    struct Cycle;

    // Moves the cycle on to the phase `nowMs` falls in; called under the
    // lock by every member that reports or changes the cycle.
    void advance(std::int64_t nowMs) const;
    std::vector<Bytes> dispatch(const Bytes& request, std::int64_t nowMs);
    std::vector<Bytes> onGroup(const Bytes& request, std::int64_t nowMs);
    std::vector<Bytes> onRealTime(const Bytes& request, std::int64_t nowMs);
    std::vector<Bytes> onStoredCount() const;
    std::vector<Bytes> onStoredRecords(const Bytes& request) const;
    std::vector<Bytes> onKeys(const Bytes& request);
    std::vector<Bytes> onUpper(const Bytes& request);
    bool startCycle(bool lengthTest, std::int64_t nowMs);
    bool stopCycle(std::int64_t nowMs);
    bool applyDcSettings(const Bytes& frame);
    bool applyLengthSettings(const Bytes& frame);
    bool currentAllowed(int currentIndex) const;
    bool cycleUnderWay() const;
    Bytes realTimeRecord(std::int64_t nowMs);
    Measurement measure(bool lengthTest, double testingSeconds) const;
    void fillMeasured(RecordContent& content, const Measurement& measured) const;
    double sampleOhms(bool lengthTest) const;
    double lengthOhmsPerMetre() const;
    double ambient() const;
    void generateStoredRecords();
    Bytes storedRecordAnswerLocked(int number) const;
    std::int64_t epochSecondsAt(std::int64_t nowMs) const;
    double scaledSeconds(double seconds) const;
    double cycleAmps() const;

    mutable std::mutex mutex_;  // guards every member below
    InstrumentOptions options_;
    std::shared_ptr<Clock> clock_;
    std::int64_t startMs_ = 0;
    std::int64_t startEpoch_ = 0;
    mutable std::mt19937 random_;  // noise of the readings
    Screen screen_;
    DcSetup dc_;
    LengthSetup length_;
    bool keysLocked_ = false;
    bool upperOpen_ = false;
    int wakeUps_ = 0;
    std::vector<Bytes> log_;
    std::size_t received_ = 0;
    std::unique_ptr<Cycle> cycle_;
    std::vector<Bytes> stored_;  // answers of the stored records, without faults
};

}  // namespace sim
