#pragma once
// Asks a USB device for the descriptors that tell whether it is the
// instrument, through whatever carries its control requests: libusb in the
// program and in the udev probe, a scripted device in the tests.
//
// Only IN requests are made. Each length asked for comes from bytes received
// before, is capped, and is checked again by the parsers; the first request
// that fails ends its route.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace usbdescriptors {

struct ControlRequest {
    std::uint8_t requestType = 0;
    std::uint8_t request = 0;
    std::uint16_t value = 0;
    std::uint16_t index = 0;
    std::uint16_t length = 0;
};

// Carries one control request: the bytes received (at most length), or
// nullopt when the device stalls, times out or is gone.
using ControlIn = std::function<std::optional<std::vector<std::uint8_t>>(const ControlRequest&)>;
// The same with the time-out for this one request.
using TimedControlIn =
    std::function<std::optional<std::vector<std::uint8_t>>(const ControlRequest&, std::uint32_t timeoutMs)>;

constexpr std::uint8_t kDirectionIn = 0x80;
constexpr std::uint16_t kFirstUsbVersionWithBos = 0x0201;
// No descriptor this program reads is near this size.
constexpr std::uint16_t kMaxDescriptorRead = 4096;

// The interface that declares the instrument's class: from the MS OS 2.0 set
// when the device's USB version (bcdUSB) has a BOS descriptor, otherwise or
// when that set declares nothing, from the MS OS 1.0 descriptors (which name
// interface 0).
std::optional<int> readInstrumentInterface(std::uint16_t bcdUsb, const ControlIn& controlIn);

// Bounds a carrier: requests that are not IN are refused without reaching it,
// each request waits at most requestTimeoutMs and all of them together at most
// budgetMs, and once the budget is spent nothing more is sent. nowMs is a
// monotonic clock in milliseconds.
ControlIn boundedControlIn(TimedControlIn carrier, std::uint32_t requestTimeoutMs, std::uint32_t budgetMs,
                           std::function<std::uint64_t()> nowMs);
// The steady clock in milliseconds, for boundedControlIn.
std::uint64_t steadyNowMs();

}  // namespace usbdescriptors
