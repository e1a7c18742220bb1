#include "link/protocol.h"

#include "link/answerlayout.h"

#include <cstring>

namespace protocol {

namespace {

Bytes groupRequest(GroupAction action, bool isLengthTest)
{
    return buildFrame(static_cast<std::uint8_t>(Command::Group),
                      {static_cast<std::uint8_t>(action), std::uint8_t(isLengthTest ? 1 : 0)});
}

bool answerOfType(const std::uint8_t* data, std::size_t size, AnswerType type)
{
    return size > 4 && data[0] == kStart1 && data[4] == static_cast<std::uint8_t>(type);
}

}  // namespace

bool readTypeByte(int type, std::uint8_t* byte)
{
    static constexpr std::uint8_t kByType[] = {kReadTypeDc, kReadTypeLength, kReadTypeAny};
    if (type < 0 || type >= int(sizeof kByType))
        return false;
    *byte = kByType[type];
    return true;
}

std::uint16_t checksum(const std::uint8_t* data, std::size_t first, std::size_t last)
{
    unsigned sum = 0;
    for (std::size_t i = first; i <= last; ++i)
        sum += data[i];
    return static_cast<std::uint16_t>(sum);
}

Bytes buildFrame(std::uint8_t command, const Bytes& parameters)
{
    Bytes frame{kStart1, kStart2};
    appendU16(frame, static_cast<std::uint16_t>(1 + parameters.size() + 2));
    frame.push_back(command);
    frame.insert(frame.end(), parameters.begin(), parameters.end());
    appendU16(frame, checksum(frame.data(), kHeaderSize, frame.size() - 1));
    return frame;
}

Bytes buildStartTestRequest(bool isLengthTest) { return groupRequest(GroupAction::StartTest, isLengthTest); }
Bytes buildStopTestRequest(bool isLengthTest) { return groupRequest(GroupAction::StopTest, isLengthTest); }

Bytes buildRealTimeRequest(std::uint8_t readType)
{
    return buildFrame(static_cast<std::uint8_t>(Command::RealTime), {readType});
}

Bytes buildStoredCountRequest()
{
    return buildFrame(static_cast<std::uint8_t>(Command::StoredCount), {});
}

Bytes buildReadBackRequest(int firstRecord, int count)
{
    Bytes parameters;
    appendU16(parameters, static_cast<std::uint16_t>(firstRecord & 0xFFFF));
    appendU16(parameters, static_cast<std::uint16_t>(count & 0xFFFF));
    return buildFrame(static_cast<std::uint8_t>(Command::StoredRecords), parameters);
}

Bytes buildKeyLockRequest() { return buildFrame(std::uint8_t(Command::Keys), {kLockOrOpen}); }
Bytes buildKeyUnlockRequest() { return buildFrame(std::uint8_t(Command::Keys), {kUnlockOrClose}); }
Bytes buildUpperOpenRequest() { return buildFrame(std::uint8_t(Command::Upper), {kLockOrOpen}); }
Bytes buildUpperCloseRequest() { return buildFrame(std::uint8_t(Command::Upper), {kUnlockOrClose}); }

Bytes wakeUpBytes() { return {kStart1, 0x00, 0x00, 0x00, 0x00}; }

bool isAcknowledge(const std::uint8_t* data, std::size_t size)
{
    return answerOfType(data, size, AnswerType::Acknowledge);
}

bool acknowledgeAccepts(const std::uint8_t* data, std::size_t size)
{
    return isAcknowledge(data, size) && size > 5 && data[5] == kAccepted;
}

bool isRealTimeRecord(const std::uint8_t* data, std::size_t size)
{
    return size == kRecordSize && answerOfType(data, size, AnswerType::RealTimeRecord);
}

bool isStoredRecord(const std::uint8_t* data, std::size_t size)
{
    return size == kRecordSize && answerOfType(data, size, AnswerType::StoredRecord);
}

bool isStoredCountAnswer(const std::uint8_t* data, std::size_t size)
{
    return size == kCountAnswerSize && data[4] == static_cast<std::uint8_t>(AnswerType::StoredCount);
}

bool storedCountValid(const std::uint8_t* data, std::size_t size)
{
    return isStoredCountAnswer(data, size) && data[0] == kStart1;
}

int storedCount(const std::uint8_t* data) { return readU16(data + 6); }
int storedRecordNumber(const std::uint8_t* data) { return readU16(data + answerlayout::kRecordNo); }

bool recordChecksumValid(const std::uint8_t* data, std::size_t size)
{
    if (size < kRecordSize)
        return false;
    return checksum(data, kChecksumFirst, kChecksumLast) == readU16(data + answerlayout::kChecksum);
}

std::uint16_t readU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

std::uint32_t readU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

float readFloat(const std::uint8_t* p)
{
    const std::uint32_t bits = readU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void appendU16(Bytes& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void appendFloat(Bytes& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

}  // namespace protocol
