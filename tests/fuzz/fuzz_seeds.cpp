// Writes a seed corpus of valid record answers for the fuzz run: the DC and
// length answers, as real-time and stored records, in the states that take
// the decoder's different branches.

#include "answerbuilder.h"

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
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
    return 0;
}
