#pragma once
// Wire format of the instrument's USB protocol.
//
// Every request is one bulk OUT transfer, every answer one bulk IN transfer of
// at most 64 bytes. A frame is
//   AB CD | N (u16 big-endian) | command | parameters... | checksum (u16 big-endian)
// where N counts command + parameters + checksum, and the checksum is the plain
// sum of every byte from the command byte up to the last parameter.
// Multi-byte numbers are big-endian; floats are IEEE-754 single, high byte first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace protocol {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kStart1 = 0xAB;
constexpr std::uint8_t kStart2 = 0xCD;
constexpr std::size_t kHeaderSize = 4;     // AB CD + length
constexpr std::size_t kRecordSize = 63;    // real-time and stored records
constexpr std::size_t kCountAnswerSize = 10;
constexpr std::size_t kReadLength = 64;    // buffer offered to every read
constexpr std::size_t kChecksumFirst = 4;  // records: checksum over bytes 4..60
constexpr std::size_t kChecksumLast = 60;
constexpr int kMaxStoredRecords = 9999;
constexpr int kReadBackBatch = 30;

// Command bytes (offset 4 of a request).
enum class Command : std::uint8_t {
    Group = 0x01,        // 01 00 DC settings, 01 01 length settings, 01 03 start, 01 04 stop
    RealTime = 0x05,     // AB CD 00 04 05 TT ..
    StoredRecords = 0x07,
    StoredCount = 0x08,  // AB CD 00 03 08 00 08
    Keys = 0x19,         // 5A lock, A5 unlock
    Upper = 0x20,        // 5A open, A5 close
};

// Second byte of the 0x01 group.
enum class GroupAction : std::uint8_t {
    DcSettings = 0x00,
    LengthSettings = 0x01,
    StartTest = 0x03,
    StopTest = 0x04,
};

constexpr std::uint8_t kLockOrOpen = 0x5A;
constexpr std::uint8_t kUnlockOrClose = 0xA5;

// Answer types (offset 4 of an answer).
enum class AnswerType : std::uint8_t {
    Acknowledge = 0x01,
    RealTimeRecord = 0x02,
    StoredRecord = 0x03,
    StoredCount = 0x72,  // 'r'
};
constexpr std::uint8_t kAccepted = 0x4F;  // 'O' in byte 5 of an acknowledge

// Read-type byte of the real-time request: which screen the PC follows.
constexpr std::uint8_t kReadTypeDc = 0x00;
constexpr std::uint8_t kReadTypeLength = 0x01;
constexpr std::uint8_t kReadTypeAny = 0xFF;
// Maps the window's small integer (0, 1, 2) to the byte; false for any other value.
bool readTypeByte(int type, std::uint8_t* byte);

// Sum of bytes [first, last] taken as unsigned, as a 16-bit value.
std::uint16_t checksum(const std::uint8_t* data, std::size_t first, std::size_t last);

// AB CD, length, command, parameters, checksum.
Bytes buildFrame(std::uint8_t command, const Bytes& parameters);

Bytes buildStartTestRequest(bool isLengthTest);   // 9 bytes
Bytes buildStopTestRequest(bool isLengthTest);    // 9 bytes
Bytes buildRealTimeRequest(std::uint8_t readType);  // 8 bytes
Bytes buildStoredCountRequest();                  // 7 bytes
Bytes buildReadBackRequest(int firstRecord, int count);  // 11 bytes, both taken mod 65536
Bytes buildKeyLockRequest();
Bytes buildKeyUnlockRequest();
Bytes buildUpperOpenRequest();
Bytes buildUpperCloseRequest();
// AB 00 00 00 00: not a frame, written 50 ms before every upper-open request.
Bytes wakeUpBytes();

// Answer recognisers: first byte, answer type and, for data answers, exact size.
bool isAcknowledge(const std::uint8_t* data, std::size_t size);
bool acknowledgeAccepts(const std::uint8_t* data, std::size_t size);  // byte 5 == 'O'
bool isRealTimeRecord(const std::uint8_t* data, std::size_t size);
bool isStoredRecord(const std::uint8_t* data, std::size_t size);
// A 10-byte answer of type 'r'. Whether it is usable is a second question:
bool isStoredCountAnswer(const std::uint8_t* data, std::size_t size);
bool storedCountValid(const std::uint8_t* data, std::size_t size);  // byte 0 == 0xAB
int storedCount(const std::uint8_t* data);         // bytes 6..7
int storedRecordNumber(const std::uint8_t* data);  // bytes 33..34

// A record (63 bytes or more) whose bytes 61..62 equal the sum of bytes 4..60.
bool recordChecksumValid(const std::uint8_t* data, std::size_t size);

// Big-endian helpers shared by the frame builders and the decoder.
std::uint16_t readU16(const std::uint8_t* p);
std::uint32_t readU32(const std::uint8_t* p);
float readFloat(const std::uint8_t* p);
void appendU16(Bytes& out, std::uint16_t value);
void appendFloat(Bytes& out, float value);

}  // namespace protocol
