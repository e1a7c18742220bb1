#include "link/usbdescriptorreader.h"

#include <algorithm>
#include <chrono>
#include <string>

#include "link/usbdescriptors.h"

namespace usbdescriptors {
namespace {

constexpr std::uint8_t kGetDescriptor = 0x06;
constexpr std::uint8_t kStandardDeviceIn = 0x80;
constexpr std::uint8_t kVendorDeviceIn = 0xC0;
constexpr std::uint8_t kVendorInterfaceIn = 0xC1;

using Bytes = std::vector<std::uint8_t>;

std::optional<Bytes> ask(const ControlIn& controlIn, std::uint8_t requestType, std::uint8_t request,
                         std::uint16_t value, std::uint16_t index, std::size_t length)
{
    if (length == 0 || length > kMaxDescriptorRead) return std::nullopt;
    auto bytes = controlIn({requestType, request, value, index, std::uint16_t(length)});
    // A carrier never hands back more than was asked for; should one, the rest is not read.
    if (bytes && bytes->size() > length) bytes->resize(length);
    return bytes;
}

std::optional<Bytes> standardDescriptor(const ControlIn& controlIn, std::uint8_t type, std::uint8_t index,
                                        std::size_t length)
{
    return ask(controlIn, kStandardDeviceIn, kGetDescriptor, std::uint16_t((type << 8) | index), 0, length);
}

std::optional<int> msOs20Interface(const ControlIn& controlIn)
{
    const auto header = standardDescriptor(controlIn, kDescriptorTypeBos, 0, kBosHeaderSize);
    if (!header) return std::nullopt;
    const auto total = bosTotalLength(header->data(), header->size());
    if (!total) return std::nullopt;
    const auto bos = standardDescriptor(controlIn, kDescriptorTypeBos, 0, *total);
    if (!bos) return std::nullopt;
    const auto location = parseBos(bos->data(), bos->size());
    if (!location) return std::nullopt;
    const auto set = ask(controlIn, kVendorDeviceIn, location->vendorCode, 0, kMsOs20DescriptorIndex,
                         location->setLength);
    if (!set) return std::nullopt;
    return instrumentInterface(parseMsOs20Set(set->data(), set->size()));
}

// The extended-properties descriptor of interface 0. Devices differ in
// whether they answer it as an interface or as a device request.
std::optional<Bytes> extendedProperties(const ControlIn& controlIn, std::uint8_t vendorCode)
{
    for (const std::uint8_t requestType : {kVendorInterfaceIn, kVendorDeviceIn}) {
        const auto header = ask(controlIn, requestType, vendorCode, 0, kMsOs10ExtendedPropertiesIndex,
                                kMsOs10ExtendedPropertiesHeaderSize);
        if (!header) continue;
        const auto total = extendedPropertiesLength(header->data(), header->size());
        if (!total) return std::nullopt;
        return ask(controlIn, requestType, vendorCode, 0, kMsOs10ExtendedPropertiesIndex, *total);
    }
    return std::nullopt;
}

bool msOs10DeclaresInstrument(const ControlIn& controlIn)
{
    const auto text = standardDescriptor(controlIn, kDescriptorTypeString, kMsOs10StringIndex, kMsOs10StringLength);
    if (!text) return false;
    const auto vendorCode = parseMsOs10String(text->data(), text->size());
    if (!vendorCode) return false;
    const auto properties = extendedProperties(controlIn, *vendorCode);
    if (!properties) return false;
    const std::vector<std::string> guids = parseExtendedProperties(properties->data(), properties->size());
    return std::any_of(guids.begin(), guids.end(), isInstrumentGuid);
}

}  // namespace

std::optional<int> readInstrumentInterface(std::uint16_t bcdUsb, const ControlIn& controlIn)
{
    if (bcdUsb >= kFirstUsbVersionWithBos) {
        if (const auto interface = msOs20Interface(controlIn)) return interface;
    }
    if (msOs10DeclaresInstrument(controlIn)) return 0;
    return std::nullopt;
}

ControlIn boundedControlIn(TimedControlIn carrier, std::uint32_t requestTimeoutMs, std::uint32_t budgetMs,
                           std::function<std::uint64_t()> nowMs)
{
    const std::uint64_t deadline = nowMs() + budgetMs;
    return [carrier = std::move(carrier), requestTimeoutMs, deadline,
            nowMs = std::move(nowMs)](const ControlRequest& request) -> std::optional<Bytes> {
        if (!(request.requestType & kDirectionIn)) return std::nullopt;
        const std::uint64_t now = nowMs();
        if (now >= deadline) return std::nullopt;
        // Never 0, which libusb takes for no time-out at all.
        const auto timeout = std::uint32_t(std::min<std::uint64_t>(std::max<std::uint32_t>(requestTimeoutMs, 1),
                                                                   deadline - now));
        return carrier(request, timeout);
    };
}

std::uint64_t steadyNowMs()
{
    using namespace std::chrono;
    return std::uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace usbdescriptors
