// The udev helper that tells the instrument from other USB devices:
//
//   resistance-tester-usbprobe /dev/bus/usb/BBB/DDD
//
// udev runs it as root for every device with a vendor-class interface
// (IMPORT{program} in 60-resistance-tester.rules). It asks the device for the
// Microsoft OS descriptors that declare its device-interface class, the same
// reading the program does, and prints the udev properties
//   RESISTANCE_TESTER_INSTRUMENT=1
//   RESISTANCE_TESTER_INTERFACE=<interface number>
// when the instrument's class is declared, nothing otherwise.
//
// The argument must be a node of the USB device folder, as written and once
// links and dot segments are resolved: nothing else is ever opened.
//
// Running as root on any device, it only sends IN control requests, each with
// a short time-out and all within a fixed budget, reads at most a few KiB per
// descriptor, never claims an interface or changes a setting, and does not
// enumerate other devices.

#include <fcntl.h>
#include <libusb.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "link/libusbcontrol.h"
#include "link/usbdescriptorreader.h"

namespace {

constexpr std::uint32_t kRequestTimeoutMs = 400;
constexpr std::uint32_t kBudgetMs = 1500;
constexpr const char kDeviceFolder[] = "/dev/bus/usb/";
constexpr std::size_t kNumberDigits = 3;  // of the bus and of the device: BBB/DDD

enum ExitCode { kDone = 0, kCannotRead = 1, kUsage = 2 };

// Whether path is the device folder followed by BBB/DDD and nothing else.
bool isDeviceNode(const std::string& path)
{
    const std::size_t folder = sizeof kDeviceFolder - 1;
    if (path.size() != folder + 2 * kNumberDigits + 1 || path.compare(0, folder, kDeviceFolder) != 0) return false;
    for (std::size_t at = folder; at < path.size(); ++at) {
        const bool separator = at == folder + kNumberDigits;
        if (separator ? path[at] != '/' : (path[at] < '0' || path[at] > '9')) return false;
    }
    return true;
}

int usage(const char* program)
{
    std::fprintf(stderr, "usage: %s %sBBB/DDD\n"
                         "Prints RESISTANCE_TESTER_INSTRUMENT=1 and RESISTANCE_TESTER_INTERFACE=<n> when the\n"
                         "USB device declares the resistance tester's device-interface class.\n",
                 program, kDeviceFolder);
    return kUsage;
}

// The device node, opened, when the path is one also once resolved; -1 otherwise (told on stderr).
int openDeviceNode(const char* path)
{
    char resolved[PATH_MAX];
    if (!realpath(path, resolved)) {
        std::fprintf(stderr, "cannot open %s: %s\n", path, std::strerror(errno));
        return -1;
    }
    if (!isDeviceNode(resolved)) {
        std::fprintf(stderr, "%s is %s, not a USB device node\n", path, resolved);
        return -1;
    }
    // usbfs refuses every request on a descriptor not opened for writing, so
    // read-write it must be; the probe itself only ever asks (IN requests).
    const int fd = open(resolved, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    struct stat node;
    if (fd < 0 || fstat(fd, &node) != 0 || !S_ISCHR(node.st_mode)) {
        std::fprintf(stderr, "cannot open %s: %s\n", resolved, fd < 0 ? std::strerror(errno) : "not a device");
        if (fd >= 0) close(fd);
        return -1;
    }
    return fd;
}

std::optional<int> probe(libusb_context* context, int fd)
{
    libusb_device_handle* handle = nullptr;
    if (libusb_wrap_sys_device(context, intptr_t(fd), &handle) != LIBUSB_SUCCESS) return std::nullopt;
    std::optional<int> interface;
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(libusb_get_device(handle), &descriptor) == LIBUSB_SUCCESS) {
        const auto controlIn = usbdescriptors::boundedControlIn(
            usbdescriptors::libusbControl(handle), kRequestTimeoutMs, kBudgetMs, usbdescriptors::steadyNowMs);
        interface = usbdescriptors::readInstrumentInterface(descriptor.bcdUSB, controlIn);
    }
    libusb_close(handle);
    return interface;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 || !isDeviceNode(argv[1]))
        return usage(argc > 0 ? argv[0] : "resistance-tester-usbprobe");
    const int fd = openDeviceNode(argv[1]);
    if (fd < 0) return kCannotRead;
    // Only the one device: no scan of the bus.
    libusb_set_option(nullptr, LIBUSB_OPTION_NO_DEVICE_DISCOVERY);
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
        close(fd);
        return kCannotRead;
    }
    const std::optional<int> interface = probe(context, fd);
    libusb_exit(context);
    close(fd);
    if (interface) std::printf("RESISTANCE_TESTER_INSTRUMENT=1\nRESISTANCE_TESTER_INTERFACE=%d\n", *interface);
    return kDone;
}
