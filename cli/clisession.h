#pragma once
// One instrument for a command-line program: the link and the answer decoder
// run in the calling thread. Every call blocks for at most the link's own
// bounded waits (LinkTiming) and tells how it ended; the signals of the link
// and the decoder are collected while it runs.

#include "cli/exitcodes.h"
#include "data/receivedata.h"
#include "data/receivethread.h"
#include "link/winusbmanager.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace cli {

struct Found {
    QString path;
    QString reach;  // "usb" or "simulator"
};

class CliSession : public QObject {
    Q_OBJECT

public:
    CliSession();  // this platform's backends, as the window uses them
    CliSession(std::unique_ptr<WinUSBManager> link, QString socketFolder);
    ~CliSession() override;

    QList<Found> instruments();

    // Opens device, or the first instrument listed when device is empty, and
    // greets it as the window does. Success or NoInstrument; *error says why.
    ExitCode open(const QString& device, QString* error);
    // Lets the instrument go as the window does when it closes, then closes the link.
    void close();

    // Which screen the readings come from: 0 DC, 1 length, 2 whichever the instrument shows.
    void chooseReadings(int type);
    // One live reading, or none: then *status is InstrumentLost, Refused once
    // the instrument has answered several polls without a reading (it shows
    // no test page), or Success after a single such answer.
    std::optional<ReceiveData> poll(ExitCode* status);

    ExitCode startTest(bool lengthTest, QString* error);
    ExitCode stopTest(bool lengthTest, QString* error);
    ExitCode sendSettings(const QByteArray& frame, QString* error);

    // The number of stored records (0 when none), or nullopt with *status set.
    std::optional<int> storedCount(ExitCode* status, QString* error);
    // Reads the stored records out, handing each to take with its number;
    // returns how many were taken. A stop request ends it between two records.
    int readStored(const std::function<void(const ReceiveData&, int)>& take);

    QString lastMessage() const { return lastReport.message; }

private:
    struct Report {
        QString message;
        int code = -1;  // a linkstatus::Code; -1: none since the call began
    };

    void beginCall();
    ExitCode acknowledged(const std::function<void()>& request, QString* error);

    std::unique_ptr<WinUSBManager> link;
    ReceiveThread decoder;
    QString simulatorFolder;
    bool connected = false;
    bool linkFailed = false;  // a transfer failed since the call began
    Report lastReport;
    std::optional<ReceiveData> reading;
    std::function<void(const ReceiveData&, int)> takeRecord;
};

}  // namespace cli
