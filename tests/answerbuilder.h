#pragma once
// Builds 63-byte record answers for the decoder tests and the fuzz seeds.

#include "answerlayout.h"
#include "protocol.h"

#include <cstring>

class AnswerBuilder
{
public:
    // The complete DC real-time answer the instrument sends while testing:
    // 1A, 75℃, tap 05, phase A0, high-voltage side, conductor 12, 23.00℃,
    // 12.345 mΩ at 1.00 A, converted 14.500 mΩ, 25.5℃, 2024-03-05 08:07:09.
    static AnswerBuilder dcExample()
    {
        static const std::uint8_t bytes[protocol::kRecordSize] = {
            0xAB, 0xCD, 0x00, 0x3B, 0x02, 0x00, 0x00, 0x0A, 0x4B, 0x05, 0x01, 0x01, 0x00, 0x0C,
            0x41, 0xB8, 0x00, 0x00, 0x41, 0x45, 0x85, 0x1F, 0x01, 0x3F, 0x80, 0x00, 0x00, 0x01,
            0x41, 0x68, 0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0xCC, 0x00, 0x00, 0x18, 0x03, 0x05,
            0x08, 0x07, 0x09, 0x10, 0x00, 0x05, 0x50};
        AnswerBuilder b;
        b.m_bytes.assign(bytes, bytes + sizeof bytes);
        return b;
    }

    // A conductor length real-time answer while testing: sample 5, AUTO,
    // conductor 7, 1.2345 mΩ at 10.00 A, 2.5 mm², set value 1.234 mΩ/m,
    // 123.45 M, 20.0℃.
    static AnswerBuilder lengthExample()
    {
        namespace al = answerlayout;
        AnswerBuilder b;
        b.m_bytes.assign(protocol::kRecordSize, 0);
        b.set(0, 0xAB).set(1, 0xCD).set(3, 0x3B).set(al::kAnswerType, al::kRealTimeAnswer);
        b.set(al::kTestType, 1).set(al::kMaterialOrSample, 5).set(al::kCurrentCode, 21);
        b.setU16(al::kConductorNo, 7);
        b.setFloat(al::kResistance, 1.2345f).set(al::kResistanceUnit, 1);
        b.setFloat(al::kCurrent, 10.0f).set(al::kCurrentUnit, 1);
        b.setFloat(al::kCrossSection, 2.5f).set(al::kStandardSetting, 0);
        b.setFloat(al::kStandardValue, 1.234f).set(al::kStandardUnit, 1);
        b.setFloat(al::kLength, 123.45f).set(al::kLengthUnit, 0);
        b.setFloat(al::kAmbientTemp, 20.0f);
        const std::uint8_t date[] = {24, 3, 5, 8, 7, 9};
        for (std::size_t i = 0; i < sizeof date; ++i)
            b.set(al::kYear + i, date[i]);
        return b.set(al::kStatus, 0x10);
    }

    AnswerBuilder& set(std::size_t offset, std::uint8_t value)
    {
        m_bytes.at(offset) = value;
        return *this;
    }
    AnswerBuilder& setU16(std::size_t offset, std::uint16_t value)
    {
        return set(offset, std::uint8_t(value >> 8)).set(offset + 1, std::uint8_t(value));
    }
    AnswerBuilder& setRaw32(std::size_t offset, std::uint32_t bits)
    {
        for (int i = 0; i < 4; ++i)
            set(offset + std::size_t(i), std::uint8_t(bits >> (24 - 8 * i)));
        return *this;
    }
    AnswerBuilder& setFloat(std::size_t offset, float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return setRaw32(offset, bits);
    }
    AnswerBuilder& asStoredRecord(std::uint16_t recordNo)
    {
        namespace al = answerlayout;
        return set(al::kAnswerType, al::kStoredAnswer).setU16(al::kRecordNo, recordNo);
    }

    // The answer with its checksum made to match.
    protocol::Bytes bytes() const
    {
        protocol::Bytes out = m_bytes;
        const std::uint16_t sum = protocol::checksum(out.data(), protocol::kChecksumFirst, protocol::kChecksumLast);
        out[answerlayout::kChecksum] = std::uint8_t(sum >> 8);
        out[answerlayout::kChecksum + 1] = std::uint8_t(sum);
        return out;
    }

private:
    protocol::Bytes m_bytes;
};
