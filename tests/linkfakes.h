#pragma once
// Transports for the link's tests: a scripted one whose reads answer from a
// function, and a wrapper that slows down every read and checks that no two
// waits ever overlap.

#include "transport.h"

#include <QThread>

#include <algorithm>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace linktest {

using Bytes = std::vector<std::uint8_t>;

// Reads are answered by `answer(readIndex)`; an empty optional times out.
class ScriptedTransport : public transport::Transport {
public:
    struct Transfer : transport::Transfer {
        std::uint8_t pipe = 0;
        std::uint8_t* buffer = nullptr;
        std::uint32_t length = 0;
        std::optional<Bytes> answer;
        bool cancelled = false;
    };

    std::function<std::optional<Bytes>(int readIndex)> answer = [](int) { return std::nullopt; };
    std::vector<std::string> paths = {"fake:0"};
    std::string prefix = "fake:";  // of the paths this backend claims
    std::string noticeText;        // left by every enumeration and open
    bool openFails = false;
    bool writesTimeOut = false;

    // What the link did, for the checks.
    std::mutex mutex;  // guards the members below
    std::vector<Bytes> written;
    int reads = 0;
    int started = 0;
    int finished = 0;
    int finishedAfterCancel = 0;
    int cancelledOpen = 0;  // cancels of transfers that were never finished afterwards
    std::vector<std::uint32_t> syncTimeouts;

    int inFlight()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return started - finished;
    }

    std::vector<std::string> devicePaths() override { return paths; }
    bool handles(const std::string& path) const override { return path.rfind(prefix, 0) == 0; }
    bool openDevice(const std::string&) override { return !openFails; }
    bool bindInterface() override { return true; }
    bool queryEndpointCount(int* count) override
    {
        *count = 2;
        return true;
    }
    bool queryPipe(int index, transport::PipeInfo* pipe) override
    {
        pipe->type = transport::PipeType::Bulk;
        pipe->id = index == 0 ? 0x81 : 0x01;
        return true;
    }
    bool releaseInterface() override { return true; }
    bool closeDevice() override { return true; }

    transport::Transfer* startTransfer(std::uint8_t pipe, std::uint8_t* buffer, std::uint32_t length) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto* transfer = new Transfer;
        transfer->pipe = pipe;
        transfer->buffer = buffer;
        transfer->length = length;
        ++started;
        if (pipe & 0x80)
            transfer->answer = answer(reads++);
        else
            written.emplace_back(buffer, buffer + length);
        return transfer;
    }
    transport::WaitResult waitTransfer(transport::Transfer* base, std::uint32_t) override
    {
        auto* transfer = static_cast<Transfer*>(base);
        if ((transfer->pipe & 0x80) ? !transfer->answer : writesTimeOut)
            return transport::WaitResult::TimedOut;
        return transport::WaitResult::Completed;
    }
    bool transferResult(transport::Transfer* base, std::uint32_t* transferred) override
    {
        auto* transfer = static_cast<Transfer*>(base);
        if (transfer->pipe & 0x80) {
            const Bytes& bytes = *transfer->answer;
            std::copy(bytes.begin(), bytes.end(), transfer->buffer);
            *transferred = static_cast<std::uint32_t>(bytes.size());
        } else {
            *transferred = transfer->length;
        }
        return true;
    }
    void cancelTransfer(transport::Transfer* base) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        static_cast<Transfer*>(base)->cancelled = true;
    }
    void finishTransfer(transport::Transfer* base) override
    {
        auto* transfer = static_cast<Transfer*>(base);
        std::lock_guard<std::mutex> lock(mutex);
        ++finished;
        if (transfer->cancelled) {
            ++finishedAfterCancel;
            // The platform writes into a cancelled read's buffer until it lets
            // go of it; the buffer must still be there now.
            if (transfer->pipe & 0x80)
                std::fill(transfer->buffer, transfer->buffer + transfer->length, 0xEE);
        }
        delete transfer;
    }
    bool writeSync(std::uint8_t, const std::uint8_t* data, std::uint32_t length, std::uint32_t timeoutMs) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        written.emplace_back(data, data + length);
        syncTimeouts.push_back(timeoutMs);
        return true;
    }
    bool flushPipe(std::uint8_t) override { return true; }
    int lastError() const override { return 5; }
    std::string notice() const override { return noticeText; }
};

// Forwards to another transport, holding every IN wait for readDelayMs first,
// and counts how many waits ran at the same time.
class PacedTransport : public transport::Transport {
public:
    PacedTransport(transport::Transport* inner, int readDelayMs) : inner(inner), readDelayMs(readDelayMs) {}

    std::atomic<int> maxConcurrentWaits{0};

    std::vector<std::string> devicePaths() override { return inner->devicePaths(); }
    bool handles(const std::string& path) const override { return inner->handles(path); }
    bool openDevice(const std::string& path) override { return inner->openDevice(path); }
    bool bindInterface() override { return inner->bindInterface(); }
    bool queryEndpointCount(int* count) override { return inner->queryEndpointCount(count); }
    bool queryPipe(int index, transport::PipeInfo* pipe) override { return inner->queryPipe(index, pipe); }
    bool releaseInterface() override { return inner->releaseInterface(); }
    bool closeDevice() override { return inner->closeDevice(); }
    transport::Transfer* startTransfer(std::uint8_t pipe, std::uint8_t* buffer, std::uint32_t length) override
    {
        std::lock_guard<std::mutex> lock(pipesMutex);
        transport::Transfer* transfer = inner->startTransfer(pipe, buffer, length);
        if (transfer && (pipe & 0x80))
            inTransfers.push_back(transfer);
        return transfer;
    }
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs) override
    {
        const int now = ++waiting;
        int seen = maxConcurrentWaits;
        while (now > seen && !maxConcurrentWaits.compare_exchange_weak(seen, now)) {
        }
        if (isIn(transfer))
            QThread::msleep(static_cast<unsigned long>(readDelayMs));
        const transport::WaitResult result = inner->waitTransfer(transfer, timeoutMs);
        --waiting;
        return result;
    }
    bool transferResult(transport::Transfer* t, std::uint32_t* n) override { return inner->transferResult(t, n); }
    void cancelTransfer(transport::Transfer* transfer) override { inner->cancelTransfer(transfer); }
    void finishTransfer(transport::Transfer* transfer) override
    {
        {
            std::lock_guard<std::mutex> lock(pipesMutex);
            inTransfers.erase(std::remove(inTransfers.begin(), inTransfers.end(), transfer), inTransfers.end());
        }
        inner->finishTransfer(transfer);
    }
    bool writeSync(std::uint8_t pipe, const std::uint8_t* data, std::uint32_t length, std::uint32_t timeoutMs) override
    {
        return inner->writeSync(pipe, data, length, timeoutMs);
    }
    bool flushPipe(std::uint8_t pipe) override { return inner->flushPipe(pipe); }
    int lastError() const override { return inner->lastError(); }

private:
    bool isIn(transport::Transfer* transfer)
    {
        std::lock_guard<std::mutex> lock(pipesMutex);
        return std::find(inTransfers.begin(), inTransfers.end(), transfer) != inTransfers.end();
    }

    transport::Transport* inner;
    const int readDelayMs;
    std::atomic<int> waiting{0};
    std::mutex pipesMutex;  // guards inTransfers
    std::vector<transport::Transfer*> inTransfers;
};

}  // namespace linktest
