// Writes a seed corpus of valid record answers for the fuzz run: the DC and
// length answers, as real-time and stored records, in the states that take
// the decoder's different branches. Given a second folder, also the answers
// of instruments that declare their class through each kind of descriptor,
// for the descriptor reader's fuzz run.

#include "tests/answerbuilder.h"
#include "tests/fuzz/devicetranscript.h"
#include "testsupport/descriptorbytes.h"

#include <cstdio>
#include <string>

namespace al = answerlayout;

namespace {

bool writeSeed(const std::string& folder, const std::string& name, const protocol::Bytes& bytes)
{
    const std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool writeDescriptorSeeds(const std::string& folder)
{
    using namespace usbemu;
    const std::string kOurs = "{DEE824EF-729B-4A0E-9C14-B7117D33A817}";
    const std::string kOther = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    const Bytes set = descriptorSet(configurationSubset(functionSubset(1, guidsProperty({kOurs}))));
    const Bytes properties =
        extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kOurs}))});
    const Bytes bosBytes = bos({kUsb2Extension, platformCapability(true, 0x21, set.size())});
    const Bytes string = msOs10String("MSFT100", 0x42);
    const struct { const char* name; Bytes bytes; } seeds[] = {
        {"msos20", transcript::encode(0x0210, {bosBytes, bosBytes, set})},
        {"msos10", transcript::encode(0x0200, {string, properties, properties})},
        {"msos10-device-request", transcript::encode(0x0200, {string, std::nullopt, properties, properties})},
        {"msos20-other-then-msos10", transcript::encode(0x0210, {bosBytes, bosBytes, descriptorSet(guidsProperty({kOther})),
                                                                 string, properties, properties})},
    };
    for (const auto& seed : seeds)
        if (!writeSeed(folder, seed.name, seed.bytes))
            return false;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <corpus folder> [<descriptor corpus folder>]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    AnswerBuilder dcOver = AnswerBuilder::dcExample();
    dcOver.set(al::kStatus, 0x15).setRaw32(al::kResistance, al::kNoValue).set(al::kResistanceUnit, 0xFF);
    AnswerBuilder dcIdle = AnswerBuilder::dcExample();
    dcIdle.set(al::kStatus, 0x40).setRaw32(al::kResistance, 0).setRaw32(al::kConverted, 0);
    AnswerBuilder lengthOver = AnswerBuilder::lengthExample();
    lengthOver.set(al::kStatus, 0x1C).setRaw32(al::kLength, al::kNoValue).set(al::kLengthUnit, 0xFF);
    lengthOver.setRaw32(al::kResistance, al::kNoValue).set(al::kResistanceUnit, 0xFF);

    const struct { const char* name; protocol::Bytes bytes; } seeds[] = {
        {"dc", AnswerBuilder::dcExample().bytes()},
        {"dc-over-range", dcOver.bytes()},
        {"dc-idle", dcIdle.bytes()},
        {"dc-stored", AnswerBuilder::dcExample().asStoredRecord(12).bytes()},
        {"length", AnswerBuilder::lengthExample().bytes()},
        {"length-over-range", lengthOver.bytes()},
        {"length-stored", AnswerBuilder::lengthExample().asStoredRecord(9999).bytes()},
    };
    for (const auto& seed : seeds) {
        if (!writeSeed(folder, seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write seed %s in %s\n", seed.name, folder.c_str());
            return 1;
        }
    }
    if (argc == 3 && !writeDescriptorSeeds(argv[2])) {
        std::fprintf(stderr, "cannot write descriptor seeds in %s\n", argv[2]);
        return 1;
    }
    return 0;
}
