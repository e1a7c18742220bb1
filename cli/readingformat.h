#pragma once
// A reading (live or stored) as one line of output: text for people, CSV with
// one header line, or JSON Lines. CSV and JSON carry every field of the
// reading: the instrument's texts as they are, and beside each measured
// quantity its number in SI units (ohms, amperes, metres, degrees Celsius;
// the cross-section in mm²), null (CSV: empty) when the text holds none.

#include "data/receivedata.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <optional>

namespace cli {

enum class Format { Text, Csv, Json };

std::optional<Format> parseFormat(const QString& name);

// The number of a measured text in SI units: number "12.345" with unit "mΩ"
// gives 0.012345. Nothing when the text is no plain number or the unit is unknown.
std::optional<double> siValue(QStringView number, QStringView unit);

QJsonObject readingObject(const ReceiveData& rd);

// One CSV line (without its end) of texts, quoted where they need it.
QByteArray csvLine(const QStringList& fields);

class ReadingWriter {
public:
    // Live readings are flushed line by line; a batch of records only by the
    // stream's buffer and by the one who closes or flushes it at the end.
    enum class Flush { EachLine, AtEnd };

    ReadingWriter(Format format, std::FILE* out, Flush flush = Flush::EachLine);
    // Writes one line; false when the output failed.
    bool write(const ReceiveData& rd);

private:
    QByteArray line(const ReceiveData& rd);

    Format format;
    std::FILE* out;
    Flush flush;
    QString csvBuffer;  // kept, so that each line reuses its storage
    bool headerWritten = false;
};

}  // namespace cli
