#include "link/libusbcontrol.h"

#include <libusb.h>

namespace usbdescriptors {

TimedControlIn libusbControl(libusb_device_handle* handle)
{
    return [handle](const ControlRequest& r, std::uint32_t timeoutMs) -> std::optional<std::vector<std::uint8_t>> {
        if (!(r.requestType & LIBUSB_ENDPOINT_IN)) return std::nullopt;
        std::vector<std::uint8_t> bytes(r.length);
        const int received = libusb_control_transfer(handle, r.requestType, r.request, r.value, r.index,
                                                     bytes.data(), r.length, timeoutMs);
        if (received < 0) return std::nullopt;
        bytes.resize(std::size_t(received));
        return bytes;
    };
}

}  // namespace usbdescriptors
