#pragma once
// The two measurement-settings requests, built from plain field values.

#include "link/protocol.h"

namespace protocol {

struct DcSettings {
    int materialIndex = 0;      // 0 copper, 1 aluminium
    int currentIndex = 0;       // 0..21 (20 "12V/<5mA", 21 "AUTO")
    int convertedTemp = 0;      // reference temperature, whole degrees
    int tapping = 0;            // 0..99
    int phaseIndex = 0;         // list index 0..5; sent as index + 1
    int windingIndex = 0;       // 0 low voltage, 1 high voltage
    int conductorNo = 0;        // 0..9999
    float conductorTemp = 0.0f; // degrees
};

struct LengthSettings {
    int sampleNo = 0;              // 0..199
    int currentIndex = 0;          // list index 0..20; 20 is "AUTO", sent as code 21
    int conductorNo = 0;           // 0..9999
    float wireSquare = 0.0f;       // nominal cross-section of 1 m, mm²
    int standardModeIndex = 0;     // 0 set value, 1 test value
    float standardValue = 0.0f;    // resistance of 1 m
    int standardUnitIndex = 0;     // 0 μΩ, 1 mΩ, 2 Ω
};

constexpr std::size_t kDcSettingsFrameSize = 22;
constexpr std::size_t kLengthSettingsFrameSize = 24;
constexpr int kLengthAutoIndex = 20;  // "AUTO" in the length page's list ...
constexpr int kAutoCode = 21;         // ... is code 21 on the wire

// Both return an empty frame when a field lies outside what its byte can carry
// (an unselected list gives -1): such a frame would set the instrument to a
// value nobody chose, so it is not built at all.
Bytes buildDcSettingsFrame(const DcSettings& settings);
Bytes buildLengthSettingsFrame(const LengthSettings& settings);

}  // namespace protocol
