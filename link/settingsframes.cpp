#include "link/settingsframes.h"

#include "link/answerlayout.h"

#include <algorithm>

namespace protocol {

namespace {

bool within(int value, int low, int high) { return value >= low && value <= high; }

Bytes settingsFrame(GroupAction page, const Bytes& fields)
{
    Bytes parameters(1 + fields.size() + 2, 0x00);  // page, fields, two reserved bytes
    parameters[0] = static_cast<std::uint8_t>(page);
    std::copy(fields.begin(), fields.end(), parameters.begin() + 1);
    return buildFrame(static_cast<std::uint8_t>(Command::Group), parameters);
}

}  // namespace

Bytes buildDcSettingsFrame(const DcSettings& s)
{
    namespace al = answerlayout;
    if (!within(s.materialIndex, 0, 1) || !within(s.currentIndex, 0, al::kMaxCurrentCode)
        || !within(s.convertedTemp, 0, 255) || !within(s.tapping, 0, al::kMaxTapping)
        || !within(s.phaseIndex, 0, al::kMaxPhase - 1) || !within(s.windingIndex, 0, 1)
        || !within(s.conductorNo, 0, al::kMaxConductorNo))
        return {};
    Bytes fields{std::uint8_t(s.materialIndex), std::uint8_t(s.currentIndex), std::uint8_t(s.convertedTemp),
                 std::uint8_t(s.tapping),       std::uint8_t(s.phaseIndex + 1), std::uint8_t(s.windingIndex)};
    appendU16(fields, static_cast<std::uint16_t>(s.conductorNo));
    appendFloat(fields, s.conductorTemp);
    return settingsFrame(GroupAction::DcSettings, fields);
}

Bytes buildLengthSettingsFrame(const LengthSettings& s)
{
    namespace al = answerlayout;
    if (!within(s.sampleNo, 0, al::kMaxSampleNo) || !within(s.currentIndex, 0, kLengthAutoIndex)
        || !within(s.conductorNo, 0, al::kMaxConductorNo) || !within(s.standardModeIndex, 0, 1)
        || !within(s.standardUnitIndex, 0, 2))
        return {};
    const int currentCode = s.currentIndex == kLengthAutoIndex ? kAutoCode : s.currentIndex;
    Bytes fields{std::uint8_t(s.sampleNo), std::uint8_t(currentCode)};
    appendU16(fields, static_cast<std::uint16_t>(s.conductorNo));
    appendFloat(fields, s.wireSquare);
    fields.push_back(std::uint8_t(s.standardModeIndex));
    appendFloat(fields, s.standardValue);
    fields.push_back(std::uint8_t(s.standardUnitIndex));
    return settingsFrame(GroupAction::LengthSettings, fields);
}

}  // namespace protocol
