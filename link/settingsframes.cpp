#include "settingsframes.h"

namespace protocol {

namespace {

bool within(int value, int low, int high) { return value >= low && value <= high; }

Bytes settingsFrame(GroupAction page, const Bytes& fields)
{
    Bytes parameters{static_cast<std::uint8_t>(page)};
    parameters.insert(parameters.end(), fields.begin(), fields.end());
    parameters.push_back(0x00);  // two reserved bytes
    parameters.push_back(0x00);
    return buildFrame(static_cast<std::uint8_t>(Command::Group), parameters);
}

}  // namespace

Bytes buildDcSettingsFrame(const DcSettings& s)
{
    if (!within(s.materialIndex, 0, 1) || !within(s.currentIndex, 0, 21) || !within(s.convertedTemp, 0, 255)
        || !within(s.tapping, 0, 99) || !within(s.phaseIndex, 0, 5) || !within(s.windingIndex, 0, 1)
        || !within(s.conductorNo, 0, 9999))
        return {};
    Bytes fields{std::uint8_t(s.materialIndex), std::uint8_t(s.currentIndex), std::uint8_t(s.convertedTemp),
                 std::uint8_t(s.tapping),       std::uint8_t(s.phaseIndex + 1), std::uint8_t(s.windingIndex)};
    appendU16(fields, static_cast<std::uint16_t>(s.conductorNo));
    appendFloat(fields, s.conductorTemp);
    return settingsFrame(GroupAction::DcSettings, fields);
}

Bytes buildLengthSettingsFrame(const LengthSettings& s)
{
    if (!within(s.sampleNo, 0, 199) || !within(s.currentIndex, 0, kLengthAutoIndex)
        || !within(s.conductorNo, 0, 9999) || !within(s.standardModeIndex, 0, 1)
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
