// How fast a full stored memory (9999 records) is read out through the real
// libusb against the emulated instrument, against the same read-out through
// the in-process simulator transport in the same run, which is the link's own
// cost. The emulated node keeps libusb's event loop spinning, so the figure
// is the emulation's, not a real bus's.
//
//   bench-usb-import [repeats]   (default 3)

#include "testsupport/emulatedusb.h"
#include "sim/instrument.h"
#include "link/libusbtransport.h"
#include "sim/simtransport.h"
#include "link/usbdescriptors.h"
#include "link/winusbmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRecords = protocol::kMaxStoredRecords;

LinkTiming timing()
{
    LinkTiming t;
    t.transferTimeoutMs = 10000;
    t.pollPauseMs = t.retryPauseMs = t.wakeUpPauseMs = 1;
    t.flushPauseMs = 2;
    return t;
}

std::shared_ptr<sim::Instrument> fullInstrument()
{
    sim::InstrumentOptions options;
    options.storedRecords = kRecords;
    return std::make_shared<sim::Instrument>(options);
}

// Milliseconds of one read-out over transport from path; -1 when records went missing.
double readOut(std::unique_ptr<transport::Transport> transport, const QString& path)
{
    WinUSBManager manager(std::move(transport), timing());
    int records = 0;
    QObject::connect(&manager, &WinUSBManager::finishReadReadBack, [&records] { ++records; });
    manager.connectUsb(path);
    QElapsedTimer clock;
    clock.start();
    manager.readStoreTotalNum();
    manager.readReadBackData();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    return records == kRecords ? ms : -1;
}

double overLibusb()
{
    usbemu::Bus bus;
    bus.plug("1-1", usbemu::msOs20Device(usbdescriptors::kInstrumentInterfaceGuid), fullInstrument());
    return readOut(std::make_unique<LibusbTransport>(timing()), QStringLiteral("usb:1-1"));
}

double overSimulator()
{
    return readOut(std::make_unique<sim::SimulatorTransport>(fullInstrument()), QStringLiteral("sim:0"));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<double> usb, simulator;
    for (int i = 0; i < repeats; ++i) {
        usb.push_back(overLibusb());
        simulator.push_back(overSimulator());
        if (usb.back() < 0 || simulator.back() < 0) {
            std::fprintf(stderr, "records went missing\n");
            return 1;
        }
    }
    const double u = median(usb), s = median(simulator);
    std::printf("%d stored records, median of %d read-outs\n", kRecords, repeats);
    std::printf("  libusb, emulated device  %9.1f ms  %7.0f records/s  %6.3f ms per record\n", u, kRecords * 1000 / u,
                u / kRecords);
    std::printf("  in-process simulator     %9.1f ms  %7.0f records/s  %6.3f ms per record\n", s, kRecords * 1000 / s,
                s / kRecords);
    std::printf("  ratio libusb / simulator %9.1f\n", u / s);
    return 0;
}
