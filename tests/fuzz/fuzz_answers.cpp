// Arbitrary bytes against every answer recogniser and both decoder slots.
// The one property beyond "no crash, no undefined behaviour": the decoder
// never emits a record for an answer whose checksum does not match, and every
// call ends in exactly one outcome (a record or a message). Random bytes
// rarely carry a matching checksum, so each input of record size is also
// decoded once more with its checksum made to match, which takes the field
// checks and the formatting through arbitrary values.

#include "link/protocol.h"
#include "data/receivethread.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Outcomes {
    int records = 0;
    int messages = 0;
};

// One parser for the whole run, so that its held record carries state from
// one input to the next as it does between the instrument's answers.
ReceiveThread& parser(Outcomes& outcomes)
{
    static ReceiveThread* instance = [&outcomes] {
        auto* p = new ReceiveThread;
        QObject::connect(p, &ReceiveThread::finishReadRealTimeData, [&outcomes](const ReceiveData&) { ++outcomes.records; });
        QObject::connect(p, &ReceiveThread::finishReadReadBackData,
                         [&outcomes](const ReceiveData&, int) { ++outcomes.records; });
        QObject::connect(p, &ReceiveThread::stateProcessing, [&outcomes](const QString&, int) { ++outcomes.messages; });
        return p;
    }();
    return *instance;
}

void exerciseRecognisers(const std::uint8_t* data, std::size_t size)
{
    volatile int sink = 0;
    sink += protocol::isAcknowledge(data, size) + protocol::acknowledgeAccepts(data, size);
    sink += protocol::isRealTimeRecord(data, size) + protocol::isStoredRecord(data, size);
    sink += protocol::isStoredCountAnswer(data, size) + protocol::storedCountValid(data, size);
    sink += protocol::recordChecksumValid(data, size);
    if (protocol::isStoredCountAnswer(data, size))
        sink += protocol::storedCount(data);
    if (protocol::isStoredRecord(data, size))
        sink += protocol::storedRecordNumber(data);
    (void)sink;
}

void expectOneOutcome(const Outcomes& before, const Outcomes& after, bool checksumValid)
{
    const int records = after.records - before.records;
    const int messages = after.messages - before.messages;
    if (records + messages != 1)
        std::abort();
    if (records > 0 && !checksumValid)
        std::abort();
}

void decodeBoth(const std::vector<unsigned char>& answer)
{
    static Outcomes outcomes;
    ReceiveThread& decoder = parser(outcomes);
    const bool checksumValid = protocol::recordChecksumValid(answer.data(), answer.size());

    Outcomes before = outcomes;
    decoder.parseRealTimeData(answer);
    expectOneOutcome(before, outcomes, checksumValid);

    before = outcomes;
    decoder.parseReadBackData(answer, 1);
    expectOneOutcome(before, outcomes, checksumValid);
}

std::vector<unsigned char> withMatchingChecksum(std::vector<unsigned char> answer)
{
    const std::uint16_t sum = protocol::checksum(answer.data(), protocol::kChecksumFirst, protocol::kChecksumLast);
    answer[protocol::kChecksumLast + 1] = std::uint8_t(sum >> 8);
    answer[protocol::kChecksumLast + 2] = std::uint8_t(sum);
    return answer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    exerciseRecognisers(data, size);
    const std::vector<unsigned char> answer(data, data + size);
    decodeBoth(answer);
    if (size >= protocol::kRecordSize)
        decodeBoth(withMatchingChecksum(answer));
    return 0;
}
