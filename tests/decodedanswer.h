#pragma once
// One answer through the application's decoder, as its signals tell it.

#include "data/receivethread.h"

#include <QSignalSpy>

// What one call of a parse slot produced; readedNum as echoed by a stored record.
struct Outcome { bool emitted = false; ReceiveData record; QString message; int errorType = -1; int readedNum = -1; };

// A real-time answer when readedNum is 0, else stored record number readedNum.
inline Outcome parse(ReceiveThread& parser, const std::vector<unsigned char>& answer, int readedNum = 0)
{
    QSignalSpy live(&parser, &ReceiveThread::finishReadRealTimeData);
    QSignalSpy stored(&parser, &ReceiveThread::finishReadReadBackData);
    QSignalSpy failed(&parser, &ReceiveThread::stateProcessing);
    readedNum > 0 ? parser.parseReadBackData(answer, readedNum) : parser.parseRealTimeData(answer);
    Outcome out;
    const QList<QVariant> args = readedNum > 0 ? stored.value(0) : live.value(0);
    out.emitted = live.size() + stored.size() == 1 && !args.isEmpty();
    if (out.emitted)
        out.record = args.at(0).value<ReceiveData>();
    out.readedNum = args.value(1, -1).toInt();
    out.message = failed.value(0).value(0).toString();
    out.errorType = failed.value(0).value(1, -1).toInt();
    return out;
}
