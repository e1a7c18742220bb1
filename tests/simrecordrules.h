#pragma once
// Checks a 63-byte instrument answer against the allowed values of every
// field, written from the record table independently of the simulator's
// encoder. Returns an empty string when the answer is acceptable, otherwise
// the first rule it breaks.

#include "protocol.h"

#include <string>

namespace simtest {

inline std::uint32_t rawAt(const protocol::Bytes& r, std::size_t offset) { return protocol::readU32(&r[offset]); }

inline bool allZero(const protocol::Bytes& r, std::size_t first, std::size_t last)
{
    for (std::size_t i = first; i <= last; ++i)
        if (r[i] != 0)
            return false;
    return true;
}

inline std::string recordRuleBroken(const protocol::Bytes& r)
{
    if (r.size() != protocol::kRecordSize)
        return "size " + std::to_string(r.size());
    if (r[0] != 0xAB || r[1] != 0xCD || protocol::readU16(&r[2]) != 59)
        return "frame start or length";
    if (r[4] != 2 && r[4] != 3)
        return "answer type";
    if (!protocol::recordChecksumValid(r.data(), r.size()))
        return "checksum";
    if (r[5] > 1)
        return "test type";
    if (r[7] > 21)
        return "current index";
    if (protocol::readU16(&r[12]) > 9999)
        return "conductor number";
    if (protocol::readU16(&r[33]) > 9999)
        return "record number / cycle code";
    for (std::size_t i = 53; i <= 58; ++i)
        if (r[i] == 0xFF)
            return "date byte " + std::to_string(i);
    if (r[59] & 0x80)
        return "status bit 7";
    if (r[4] == 3 && (r[59] & 0x70))
        return "real-time bits on a stored record";
    if (r[5] == 0) {
        if (r[6] > 1 || r[9] > 99 || r[10] < 1 || r[10] > 6 || r[11] > 1)
            return "DC setting field";
        if (!allZero(r, 35, 48) || r[60] != 0)
            return "length fields on a DC record";
    } else {
        if (r[6] > 199 || r[7] == 20)
            return "length setting field";
        if (!allZero(r, 8, 11) || !allZero(r, 14, 17) || !allZero(r, 28, 32))
            return "DC fields on a length record";
        if (r[39] > 1 || r[44] > 2)
            return "standard setting or unit";
    }
    const bool resistanceNone = rawAt(r, 18) == 0xFFFFFFFFu && r[22] == 0xFF;
    if (!resistanceNone && r[22] > 4)
        return "resistance unit";
    if ((r[59] & 0x04) && !resistanceNone)
        return "over-range bit without the no-value pattern";
    if (!resistanceNone && protocol::readFloat(&r[18]) > 9999.9f)
        return "resistance above 9999.9";
    if (r[5] == 0 && rawAt(r, 28) != 0xFFFFFFFFu && protocol::readFloat(&r[28]) > 9999.9f)
        return "converted resistance above 9999.9";
    if (r[27] > 1 && r[27] != 0xFF)
        return "current unit";
    if (r[5] == 1 && r[60] > 1 && r[60] != 0xFF)
        return "length unit";
    return {};
}

}  // namespace simtest
