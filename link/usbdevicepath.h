#pragma once
// Paths of USB instruments found through libusb: "usb:<bus>-<port path>",
// e.g. usb:1-2.3 for the device on port 3 of the hub on port 2 of bus 1.
// The port path stays the same while the device stays plugged into the same
// socket, unlike the device address, which changes on every re-plug.

#include <cstdint>
#include <string>
#include <vector>

namespace usbdevicepath {

constexpr const char kPrefix[] = "usb:";

constexpr int kMaxDepth = 7;  // port numbers from the root hub outwards, at most (USB tier limit)

struct Location {
    int bus = 0;
    std::vector<int> ports;  // from the root hub outwards, never empty
};

std::string format(const Location& location);
// False for anything format() would not produce.
bool parse(const std::string& path, Location* location);
// Whether the text has the prefix of these paths.
bool hasPrefix(const std::string& path);
// By bus, then port by port (1-2 before 1-2.1 before 1-10).
bool lessThan(const Location& a, const Location& b);
// Sorts and formats.
std::vector<std::string> orderedPaths(std::vector<Location> locations);

// The udev rule, installed with the program, that lets the user open the instrument.
constexpr const char kUdevRule[] = "60-resistance-tester.rules";

// A device that might be an instrument but may not be opened by this user.
struct DeniedDevice {
    Location location;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};
// One message naming every such device and the rule that helps; empty for none.
std::string accessNotice(const std::vector<DeniedDevice>& devices);

}  // namespace usbdevicepath
