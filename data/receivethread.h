#pragma once
// Turns the instrument's 63-byte answers (real-time and stored records) into
// ReceiveData display records. Lives in a worker thread of its own; its slots
// are called through queued connections, one answer at a time.

#include "data/receivedata.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

class ReceiveThread : public QObject
{
    Q_OBJECT
public:
    explicit ReceiveThread(QObject* parent = nullptr);

    // The six-character number form of the measured quantities: 1.5 -> "1.5000",
    // 123.456 -> "123.46", 0.001234 -> "0.001234" (never cut).
    static QString formatSixChars(float value);

public slots:
    void parseRealTimeData(const std::vector<unsigned char>& data);
    void parseReadBackData(const std::vector<unsigned char>& data, int readedNum);
    // Passes the end of a read-out on behind the records decoded before it.
    void endReadBack(int readedNum);

signals:
    void finishReadRealTimeData(const ReceiveData& rd);
    void finishReadReadBackData(const ReceiveData& rd, int readedNum);
    void readBackEnded(int readedNum);
    void stateProcessing(QString logMessage, int errorType);  // errorType: a linkstatus::Code
    // Part of the interface the window knows; nothing emits it.
    void finishTestingAnswer(bool accepted);

private:
    // Decodes one answer whose length and checksum have been checked into the
    // held record; false when a field is out of range. A rejected answer
    // leaves the held record as it was.
    bool parseAnswer(const std::vector<unsigned char>& data);

    ReceiveData m_record;  // the held record: fields not written keep their last value
};
