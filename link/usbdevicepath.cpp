#include "link/usbdevicepath.h"

#include <algorithm>
#include <cstring>

namespace usbdevicepath {
namespace {

constexpr int kMaxBus = 255;
constexpr int kMaxPort = 255;

// Reads a decimal number without sign or leading zero at text[*at], up to max.
bool readNumber(const std::string& text, std::size_t* at, int max, int* value)
{
    const std::size_t start = *at;
    int number = 0;
    while (*at < text.size() && text[*at] >= '0' && text[*at] <= '9') {
        number = number * 10 + (text[*at] - '0');
        if (number > max) return false;
        ++*at;
    }
    const std::size_t digits = *at - start;
    if (digits == 0 || (digits > 1 && text[start] == '0')) return false;
    *value = number;
    return true;
}

std::string hex4(std::uint16_t value)
{
    static const char digits[] = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) text[std::size_t(i)] = digits[value & 0xF];
    return text;
}

}  // namespace

std::string format(const Location& location)
{
    std::string path = kPrefix + std::to_string(location.bus) + "-";
    for (std::size_t i = 0; i < location.ports.size(); ++i) {
        if (i > 0) path += '.';
        path += std::to_string(location.ports[i]);
    }
    return path;
}

bool hasPrefix(const std::string& path)
{
    return path.compare(0, std::strlen(kPrefix), kPrefix) == 0;
}

bool parse(const std::string& path, Location* location)
{
    if (!hasPrefix(path)) return false;
    std::size_t at = std::strlen(kPrefix);
    Location parsed;
    if (!readNumber(path, &at, kMaxBus, &parsed.bus)) return false;
    if (at >= path.size() || path[at] != '-') return false;
    ++at;
    while (true) {
        int port = 0;
        if (!readNumber(path, &at, kMaxPort, &port) || port == 0) return false;
        parsed.ports.push_back(port);
        if (parsed.ports.size() > std::size_t(kMaxDepth)) return false;
        if (at == path.size()) break;
        if (path[at] != '.') return false;
        ++at;
    }
    *location = std::move(parsed);
    return true;
}

bool lessThan(const Location& a, const Location& b)
{
    if (a.bus != b.bus) return a.bus < b.bus;
    return a.ports < b.ports;
}

std::vector<std::string> orderedPaths(std::vector<Location> locations)
{
    std::sort(locations.begin(), locations.end(), lessThan);
    std::vector<std::string> paths;
    paths.reserve(locations.size());
    for (const Location& location : locations) paths.push_back(format(location));
    return paths;
}

std::string accessNotice(const std::vector<DeniedDevice>& devices)
{
    if (devices.empty()) return {};
    std::string names;
    for (const DeniedDevice& device : devices) {
        if (!names.empty()) names += ", ";
        names += format(device.location) + " (" + hex4(device.vendorId) + ":" + hex4(device.productId) + ")";
    }
    const bool one = devices.size() == 1;
    return std::string(one ? "USB device " : "USB devices ") + names +
           (one ? " may not be opened by this user, so it cannot be checked for an instrument."
                : " may not be opened by this user, so they cannot be checked for an instrument.") +
           " Install the program's package (or run cmake --install as root), which brings the udev rule " +
           kUdevRule + ", then unplug and replug the device.";
}

}  // namespace usbdevicepath
