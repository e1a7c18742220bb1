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
// Running as root on any device, it only sends IN control requests, each with
// a short time-out and all within a fixed budget, reads at most a few KiB per
// descriptor, never claims an interface or changes a setting, and does not
// enumerate other devices.

#include <fcntl.h>
#include <libusb.h>
#include <unistd.h>

#include <cstdio>
#include <cerrno>
#include <cstring>
#include <optional>

#include "link/libusbcontrol.h"
#include "link/usbdescriptorreader.h"

namespace {

constexpr std::uint32_t kRequestTimeoutMs = 400;
constexpr std::uint32_t kBudgetMs = 1500;
constexpr const char kDeviceFolder[] = "/dev/bus/usb/";

enum ExitCode { kDone = 0, kCannotRead = 1, kUsage = 2 };

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
    if (argc != 2 || std::strncmp(argv[1], kDeviceFolder, sizeof kDeviceFolder - 1) != 0) {
        std::fprintf(stderr, "usage: %s %sBBB/DDD\n"
                             "Prints RESISTANCE_TESTER_INSTRUMENT=1 and RESISTANCE_TESTER_INTERFACE=<n> when the\n"
                             "USB device declares the resistance tester's device-interface class.\n",
                     argc > 0 ? argv[0] : "resistance-tester-usbprobe", kDeviceFolder);
        return kUsage;
    }
    // usbfs takes control requests only on a descriptor opened for writing.
    const int fd = open(argv[1], O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open %s: %s\n", argv[1], std::strerror(errno));
        return kCannotRead;
    }
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
