// Arbitrary devices against the descriptor reader that the program and the
// udev probe share, and arbitrary bytes against each descriptor parser. Beyond
// "no crash, no undefined behaviour": every request the reader makes is an IN
// request of a capped length, and a device cannot make it ask without end.

#include "tests/fuzz/devicetranscript.h"
#include "link/usbdescriptorreader.h"
#include "link/usbdescriptors.h"

#include <cstdlib>

namespace ud = usbdescriptors;

namespace {

constexpr int kMostRequests = 8;  // BOS header and whole, set; string, properties twice over

void readDevice(const std::uint8_t* data, std::size_t size)
{
    transcript::Reader device(data, size);
    const std::uint16_t usbVersion = device.usbVersion();
    int requests = 0;
    const ud::ControlIn controlIn = [&](const ud::ControlRequest& r) {
        if (!(r.requestType & ud::kDirectionIn) || r.length == 0 || r.length > ud::kMaxDescriptorRead ||
            ++requests > kMostRequests)
            std::abort();
        return device.next(r.length);
    };
    const auto interface = ud::readInstrumentInterface(usbVersion, controlIn);
    if (interface && (*interface < 0 || *interface > 255))
        std::abort();
}

void parseEach(const std::uint8_t* data, std::size_t size)
{
    ud::parseBos(data, size);
    ud::instrumentInterface(ud::parseMsOs20Set(data, size));
    ud::parseMsOs10String(data, size);
    ud::parseExtendedProperties(data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    readDevice(data, size);
    parseEach(data, size);
    return 0;
}
