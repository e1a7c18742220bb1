// Tries the Windows backend against a real instrument: lists the instrument
// interfaces, opens the first, finds its bulk pipes, announces the PC side and
// reads one real-time record.
//
// Exit codes: 0 a record arrived, 1 no instrument, 2 open or pipe failure,
// 3 a transfer failed, 4 the answer was no valid real-time record.
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/linktiming.h"
#include "link/protocol.h"
#include "link/wintransport.h"

namespace {

struct Pipes {
    int in = -1;
    int out = -1;
};

void pause(std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool findBulkPipes(WinTransport& usb, Pipes* pipes)
{
    int count = 0;
    if (!usb.queryEndpointCount(&count)) return false;
    for (int i = 0; i < count; ++i) {
        transport::PipeInfo pipe;
        if (!usb.queryPipe(i, &pipe) || pipe.type != transport::PipeType::Bulk) continue;
        (pipe.id & 0x80 ? pipes->in : pipes->out) = pipe.id;
    }
    return pipes->in >= 0 && pipes->out >= 0;
}

// One transfer, waited for with the link's bound and cancelled when it runs out.
bool transfer(WinTransport& usb, int pipe, std::uint8_t* buffer, std::uint32_t length, std::uint32_t* moved,
              const LinkTiming& timing)
{
    transport::Transfer* t = usb.startTransfer(std::uint8_t(pipe), buffer, length);
    if (!t) return false;
    bool ok = false;
    const transport::WaitResult waited = usb.waitTransfer(t, timing.transferTimeoutMs);
    if (waited == transport::WaitResult::Completed) ok = usb.transferResult(t, moved);
    if (waited == transport::WaitResult::TimedOut) usb.cancelTransfer(t);
    usb.finishTransfer(t);
    return ok;
}

bool write(WinTransport& usb, int pipe, protocol::Bytes bytes, const LinkTiming& timing)
{
    std::uint32_t moved = 0;
    return transfer(usb, pipe, bytes.data(), std::uint32_t(bytes.size()), &moved, timing);
}

void printHex(const std::uint8_t* data, std::uint32_t size)
{
    for (std::uint32_t i = 0; i < size; ++i) std::printf("%02X%s", data[i], i + 1 < size ? " " : "\n");
}

int roundTrip(WinTransport& usb, const Pipes& pipes, const LinkTiming& timing)
{
    const protocol::Bytes wakeUp = protocol::wakeUpBytes();
    usb.writeSync(std::uint8_t(pipes.out), wakeUp.data(), std::uint32_t(wakeUp.size()), timing.transferTimeoutMs);
    pause(timing.wakeUpPauseMs);
    if (!write(usb, pipes.out, protocol::buildUpperOpenRequest(), timing)) return 3;
    usb.flushPipe(std::uint8_t(pipes.in));
    pause(timing.flushPauseMs);
    if (!write(usb, pipes.out, protocol::buildRealTimeRequest(protocol::kReadTypeAny), timing)) return 3;
    pause(timing.pollPauseMs);

    std::uint8_t answer[protocol::kReadLength] = {};
    std::uint32_t received = 0;
    if (!transfer(usb, pipes.in, answer, sizeof answer, &received, timing)) return 3;
    std::printf("answer (%u bytes): ", unsigned(received));
    printHex(answer, received);
    write(usb, pipes.out, protocol::buildUpperCloseRequest(), timing);
    const bool record = protocol::isRealTimeRecord(answer, received) &&
                        protocol::recordChecksumValid(answer, received);
    return record ? 0 : 4;
}

}  // namespace

int main()
{
    const LinkTiming timing;
    WinTransport usb;
    const std::vector<std::string> paths = usb.devicePaths();
    std::printf("%u instrument interface(s)\n", unsigned(paths.size()));
    for (const std::string& path : paths) std::printf("  %s\n", path.c_str());
    if (paths.empty()) return 1;

    Pipes pipes;
    if (!usb.openDevice(paths.front()) || !usb.bindInterface() || !findBulkPipes(usb, &pipes)) {
        std::printf("cannot use %s: system error %d\n", paths.front().c_str(), usb.lastError());
        usb.closeDevice();
        return 2;
    }
    std::printf("bulk IN pipe %d, bulk OUT pipe %d\n", pipes.in, pipes.out);
    const int result = roundTrip(usb, pipes, timing);
    if (result == 3) std::printf("transfer failed: system error %d\n", usb.lastError());
    usb.releaseInterface();
    usb.closeDevice();
    return result;
}
