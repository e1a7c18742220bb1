#pragma once
// Builds 63-byte record answers for the decoder tests and the fuzz seeds.

#include "link/answerlayout.h"
#include "link/protocol.h"

#include <cstring>
#include <utility>

class AnswerBuilder
{
public:
    // The complete DC real-time answer the instrument sends while testing:
    // 1A, 75℃, tap 05, phase A0, high-voltage side, conductor 12, 23.00℃,
    // 12.345 mΩ at 1.00 A, converted 14.500 mΩ, 25.5℃, 2024-03-05 08:07:09.
    static AnswerBuilder dcExample()
    {
        return AnswerBuilder({
            0xAB, 0xCD, 0x00, 0x3B, 0x02, 0x00, 0x00, 0x0A, 0x4B, 0x05, 0x01, 0x01, 0x00, 0x0C,
            0x41, 0xB8, 0x00, 0x00, 0x41, 0x45, 0x85, 0x1F, 0x01, 0x3F, 0x80, 0x00, 0x00, 0x01,
            0x41, 0x68, 0x00, 0x00, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0xCC, 0x00, 0x00, 0x18, 0x03, 0x05,
            0x08, 0x07, 0x09, 0x10, 0x00, 0x05, 0x50});
    }

    // A conductor length real-time answer while testing: sample 5, AUTO,
    // conductor 7, 1.2345 mΩ at 10.00 A, 2.5 mm², set value 1.234 mΩ/m,
    // 123.45 M, 20.0℃, 2024-03-05 08:07:09 (checksum filled in by bytes()).
    static AnswerBuilder lengthExample()
    {
        return AnswerBuilder({
            0xAB, 0xCD, 0x00, 0x3B, 0x02, 0x01, 0x05, 0x15, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07,
            0x00, 0x00, 0x00, 0x00, 0x3F, 0x9E, 0x04, 0x19, 0x01, 0x41, 0x20, 0x00, 0x00, 0x01,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x20, 0x00, 0x00, 0x00, 0x3F, 0x9D,
            0xF3, 0xB6, 0x01, 0x42, 0xF6, 0xE6, 0x66, 0x41, 0xA0, 0x00, 0x00, 0x18, 0x03, 0x05,
            0x08, 0x07, 0x09, 0x10, 0x00, 0x00, 0x00});
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
    explicit AnswerBuilder(protocol::Bytes bytes) : m_bytes(std::move(bytes)) {}

    protocol::Bytes m_bytes;
};
