#pragma once
// Lays out the instrument's 63-byte data answers (real-time and stored
// records) from wire-level values, and picks the units the instrument
// reports its quantities in.

#include "link/answerlayout.h"
#include "sim/instrument.h"

#include <cstdint>

namespace sim {

// A measured quantity as sent: the raw single-precision pattern and its unit code.
struct Quantity {
    std::uint32_t bits = 0;
    std::uint8_t unit = 0;
};

Quantity zeroQuantity();                  // pattern 0: nothing measured yet
Quantity noValue();                       // 0xFFFFFFFF with unit 0xFF
Quantity quantity(double value, std::uint8_t unit);
Quantity resistanceQuantity(double ohms); // μΩ, mΩ, Ω, kΩ or MΩ by size
Quantity currentQuantity(double amps);    // mA below 1 A, else A
Quantity lengthQuantity(double metres);   // m below 1000 m, else km
// A per-metre resistance in the standard-value units (0 μΩ, 1 mΩ, 2 Ω).
Quantity standardQuantity(double ohmsPerMetre);
double standardUnitFactor(int unitCode);  // ohms per unit

struct RecordContent {
    bool lengthTest = false;
    DcSetup dc;           // echoed on DC records
    LengthSetup length;   // echoed on length records (standard value below)
    Quantity resistance;
    Quantity current;
    Quantity converted;   // DC only
    Quantity conductorLength;  // length only
    Quantity standard;    // length only: the standard value as reported
    float ambient = 0.0f;
    std::int64_t epochSeconds = 0;
    std::uint8_t status = 0;
    std::uint16_t numberOrCode = 0;  // bytes 33-34: record number, or the cycle code in byte 34
                                     // (answerlayout::kCycleStarted / kCycleEnded)
};

Bytes encodeRecord(protocol::AnswerType type, const RecordContent& content);
// Writes the checksum of a record whose bytes were changed.
void sealRecord(Bytes& record);
// Gives a stored record another number, checksum included.
void renumberRecord(Bytes& record, std::uint16_t number);

// Calendar fields of a time in seconds since 1970 (UTC).
struct CivilTime {
    int year, month, day, hour, minute, second;
};
CivilTime civilTime(std::int64_t epochSeconds);

}  // namespace sim
