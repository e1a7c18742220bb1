#pragma once
// Byte offsets of the 63-byte record answer (real-time and stored records),
// read by the decoder and written by the simulator.
// f32 fields are IEEE-754 single, high byte first; u16 fields big-endian.

#include <cstddef>
#include <cstdint>

#include "link/protocol.h"

namespace answerlayout {

constexpr std::size_t kAnswerType = 4;         // 2 real-time record, 3 stored record
constexpr std::size_t kTestType = 5;           // 0 DC resistance, 1 conductor length
constexpr std::size_t kMaterialOrSample = 6;   // DC: material 0..1; length: sample number 0..199
constexpr std::size_t kCurrentCode = 7;        // 0..21
constexpr std::size_t kConvertedTemp = 8;      // DC: whole degrees
constexpr std::size_t kTapping = 9;            // DC: 0..99
constexpr std::size_t kPhase = 10;             // DC: 1-based phase
constexpr std::size_t kWinding = 11;           // DC: 0..1
constexpr std::size_t kConductorNo = 12;       // u16, 0..9999
constexpr std::size_t kConductorTemp = 14;     // f32, DC
constexpr std::size_t kResistance = 18;        // f32
constexpr std::size_t kResistanceUnit = 22;
constexpr std::size_t kCurrent = 23;           // f32
constexpr std::size_t kCurrentUnit = 27;
constexpr std::size_t kConverted = 28;         // f32, DC
constexpr std::size_t kConvertedUnit = 32;     // DC
constexpr std::size_t kRecordNo = 33;          // u16; real-time: byte 34 is the test-cycle code
constexpr std::size_t kCycleCode = 34;
constexpr std::size_t kCrossSection = 35;      // f32, length
constexpr std::size_t kStandardSetting = 39;   // length: 0..1
constexpr std::size_t kStandardValue = 40;     // f32, length
constexpr std::size_t kStandardUnit = 44;      // length: 0..2
constexpr std::size_t kLength = 45;            // f32, length
constexpr std::size_t kAmbientTemp = 49;       // f32
constexpr std::size_t kYear = 53;              // year - 2000; then month, day, hour, minute, second
constexpr std::size_t kDateTimeBytes = 6;
constexpr std::size_t kStatus = 59;
constexpr std::size_t kLengthUnit = 60;        // length: 0 m, 1 km, 0xFF none
constexpr std::size_t kChecksum = 61;          // u16 sum of bytes 4..60

constexpr std::uint8_t kRealTimeAnswer = static_cast<std::uint8_t>(protocol::AnswerType::RealTimeRecord);
constexpr std::uint8_t kStoredAnswer = static_cast<std::uint8_t>(protocol::AnswerType::StoredRecord);

constexpr std::uint8_t kCycleStarted = 3;
constexpr std::uint8_t kCycleEnded = 4;

// Status byte.
constexpr std::uint8_t kHighLimitTableBit = 0x01;
constexpr std::uint8_t kStatusFlag1Bit = 0x02;
constexpr std::uint8_t kResistanceOverRangeBit = 0x04;
constexpr std::uint8_t kLengthOverRangeBit = 0x08;
constexpr int kTestStateShift = 4;
constexpr std::uint8_t kTestStateMask = 0x03;
constexpr std::uint8_t kDangerBit = 0x40;

// Raw f32 patterns with a meaning of their own.
constexpr std::uint32_t kNoValue = 0xFFFFFFFFu;  // with unit code 0xFF: nothing measured
constexpr std::uint32_t kZero = 0x00000000u;
constexpr std::uint8_t kNoUnit = 0xFF;
constexpr std::uint8_t kUnsetByte = 0xFF;        // a date byte of 0xFF makes the answer invalid

constexpr int kMaxConductorNo = 9999;
constexpr int kMaxRecordNo = 9999;
constexpr int kMaxSampleNo = 199;
constexpr int kMaxCurrentCode = 21;
constexpr int kMaxTapping = 99;
constexpr int kMaxPhase = 6;
constexpr double kMaxResistance = 9999.9;

}  // namespace answerlayout
