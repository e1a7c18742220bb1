#include "cli/readingformat.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>

#include <charconv>
#include <cmath>
#include <vector>

namespace cli {

namespace {

using RD = ReceiveData;


struct Unit {
    const char* text;
    int exponent;  // of ten, to the SI unit
};

// The units of the decoder's texts.
const Unit kUnits[] = {{"μΩ", -6}, {"mΩ", -3}, {"Ω", 0}, {"kΩ", 3}, {"MΩ", 6},
                       {"mA", -3}, {"A", 0},   {"M", 0}, {"KM", 3}, {"℃", 0}};

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

struct NumberParts {
    QStringView number;
    QStringView suffix;
};

// A plain decimal number ([+-]digits[.digits]) followed by its suffix, both
// without blanks around them. A line break inside the suffix makes it no number.
std::optional<NumberParts> splitNumber(QStringView text)
{
    text = text.trimmed();
    int end = 0;
    if (end < text.size() && (text[end] == QLatin1Char('+') || text[end] == QLatin1Char('-')))
        ++end;
    const int digits = end;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    if (end == digits)
        return std::nullopt;
    if (end + 1 < text.size() && text[end] == QLatin1Char('.') && isDigit(text[end + 1])) {
        end += 2;
        while (end < text.size() && isDigit(text[end]))
            ++end;
    }
    const QStringView suffix = text.mid(end);
    if (suffix.contains(QLatin1Char('\n')))
        return std::nullopt;
    return NumberParts{text.left(end), suffix.trimmed()};
}

// The double nearest to a plain decimal number times ten to the exponent.
double scaledNumber(QStringView number, int exponent)
{
    char text[64];
    if (number.size() + 8 < int(sizeof text)) {
        char* end = text;
        for (QChar c : number)
            if (c != QLatin1Char('+'))
                *end++ = char(c.unicode());
        *end++ = 'e';
        const auto exponentEnd = std::to_chars(end, text + sizeof text, exponent).ptr;
        double value = 0;
        const auto result = std::from_chars(text, exponentEnd, value);
        if (result.ec == std::errc() && result.ptr == exponentEnd)
            return value;
    }
    return (number.toString() + QStringLiteral("e%1").arg(exponent)).toDouble();
}

QJsonValue number(std::optional<double> value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue si(const QString& text, const QString& unit) { return number(siValue(text, unit)); }

// A text carrying its unit at its end, such as "23.5℃".
QJsonValue siWithUnit(const QString& text)
{
    const auto parts = splitNumber(text);
    return parts ? number(siValue(parts->number, parts->suffix)) : QJsonValue(QJsonValue::Null);
}

QJsonValue leadingNumber(const QString& text)
{
    const auto parts = splitNumber(text);
    return parts ? QJsonValue(scaledNumber(parts->number, 0)) : QJsonValue(QJsonValue::Null);
}

QJsonValue wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

struct Column {
    const char* name;
    QJsonValue (*value)(const RD&);
};

// Every field of a reading, in the order of the CSV columns.
const Column kColumns[] = {
    {"test", [](const RD& r) { return QJsonValue(r.testType == 0 ? "dc" : "length"); }},
    {"record_no", [](const RD& r) { return wholeNumber(r.recordNo); }},
    {"test_time", [](const RD& r) { return QJsonValue(r.testTime); }},
    {"test_state", [](const RD& r) { return QJsonValue(r.testState); }},
    {"test_status", [](const RD& r) { return QJsonValue(r.testStatus); }},
    {"charging", [](const RD& r) { return QJsonValue(r.charging); }},
    {"danger", [](const RD& r) { return QJsonValue(r.danger); }},
    {"resistance_over_range", [](const RD& r) { return QJsonValue(r.resistanceOverRange); }},
    {"length_over_range", [](const RD& r) { return QJsonValue(r.lengthOverRange); }},
    {"high_limit_table", [](const RD& r) { return QJsonValue(r.highLimitTable); }},
    {"tested_current_a", [](const RD& r) { return si(r.testedCurrent, r.testedCurrentUnit); }},
    {"tested_current", [](const RD& r) { return QJsonValue(r.testedCurrent + r.testedCurrentUnit); }},
    {"tested_resistance_ohm", [](const RD& r) { return si(r.testedResistance, r.testedResistanceUnit); }},
    {"tested_resistance", [](const RD& r) { return QJsonValue(r.testedResistance + r.testedResistanceUnit); }},
    // The decoder keeps the last limit; it belongs only to an over-range reading.
    {"resistance_limit",
     [](const RD& r) { return QJsonValue(r.resistanceOverRange ? r.resistanceLimit : QString()); }},
    {"converted_resistance_ohm",
     [](const RD& r) { return si(r.convertedResistance, r.convertedResistanceUnit); }},
    {"converted_resistance",
     [](const RD& r) { return QJsonValue(r.convertedResistance + r.convertedResistanceUnit); }},
    {"environment_temp_c", [](const RD& r) { return siWithUnit(r.environmentTemp); }},
    {"environment_temp", [](const RD& r) { return QJsonValue(r.environmentTemp); }},
    {"conductor_no", [](const RD& r) { return wholeNumber(r.conductorNo); }},
    {"conductor_material", [](const RD& r) { return QJsonValue(r.conductorMaterial); }},
    {"current_setting", [](const RD& r) { return QJsonValue(r.currentSetting); }},
    {"current_setting_index", [](const RD& r) { return QJsonValue(r.currentSettingIndex); }},
    {"converted_temp_c", [](const RD& r) { return siWithUnit(r.convertedTemp); }},
    {"converted_temp", [](const RD& r) { return QJsonValue(r.convertedTemp); }},
    {"conductor_temp_c", [](const RD& r) { return siWithUnit(r.conductorTemp); }},
    {"conductor_temp", [](const RD& r) { return QJsonValue(r.conductorTemp); }},
    {"tapping", [](const RD& r) { return wholeNumber(r.tapping); }},
    {"phase", [](const RD& r) { return QJsonValue(r.phaseType); }},
    {"winding", [](const RD& r) { return QJsonValue(r.winding); }},
    {"sample_no", [](const RD& r) { return wholeNumber(r.sampleNo); }},
    {"wire_square_mm2", [](const RD& r) { return leadingNumber(r.wireSquare); }},
    {"wire_square", [](const RD& r) { return QJsonValue(r.wireSquare); }},
    {"standard_setting", [](const RD& r) { return QJsonValue(r.standardSetting); }},
    {"standard_value_ohm", [](const RD& r) { return si(r.standardValue, r.standardUnit); }},
    {"standard_value", [](const RD& r) { return QJsonValue(r.standardValue + r.standardUnit); }},
    {"conductor_length_m", [](const RD& r) { return si(r.conductorLength, r.conductorLengthUnit); }},
    {"conductor_length", [](const RD& r) { return QJsonValue(r.conductorLength + r.conductorLengthUnit); }},
};

bool needsQuotes(QStringView text)
{
    for (QChar c : text)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return false;
}

void appendCsvField(QString& line, QStringView text)
{
    if (!needsQuotes(text)) {
        line.append(text.data(), int(text.size()));
        return;
    }
    line += QLatin1Char('"');
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            line += c;
        line += c;
    }
    line += QLatin1Char('"');
}

// A number with 15 significant digits. Whole numbers below 10^15 (record
// numbers and the like) read the same as integers, without the costly rounding.
QString numberText(double value)
{
    if (std::trunc(value) == value && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

void appendCsvValue(QString& line, const QJsonValue& value)
{
    if (value.isBool())
        line += value.toBool() ? QLatin1Char('1') : QLatin1Char('0');
    else if (value.isDouble())
        line += numberText(value.toDouble());
    else
        appendCsvField(line, value.toString());
}

QString textLine(const RD& r)
{
    QStringList parts{r.testType == 0 ? QStringLiteral("dc") : QStringLiteral("length")};
    if (!r.recordNo.isEmpty())
        parts << r.recordNo << r.testTime;
    else
        parts << r.testStatus;
    parts << r.testedCurrent + r.testedCurrentUnit << r.testedResistance + r.testedResistanceUnit;
    if (r.testType == 0)
        parts << r.convertedResistance + r.convertedResistanceUnit;
    else
        parts << r.conductorLength + r.conductorLengthUnit;
    parts << r.environmentTemp;
    return parts.join(QLatin1Char('\t'));
}

}  // namespace

std::optional<Format> parseFormat(const QString& name)
{
    if (name == QLatin1String("text"))
        return Format::Text;
    if (name == QLatin1String("csv"))
        return Format::Csv;
    if (name == QLatin1String("json"))
        return Format::Json;
    return std::nullopt;
}

std::optional<double> siValue(QStringView number, QStringView unit)
{
    static const std::vector<std::pair<QString, int>> units = [] {
        std::vector<std::pair<QString, int>> texts;
        for (const Unit& known : kUnits)
            texts.emplace_back(QString::fromUtf8(known.text), known.exponent);
        return texts;
    }();
    const auto parts = splitNumber(number);
    if (!parts || !parts->suffix.isEmpty())
        return std::nullopt;
    for (const auto& [text, exponent] : units) {
        if (unit == text)
            // Shifted as text, so that 12.345 mΩ gives the double nearest 0.012345.
            return scaledNumber(parts->number, exponent);
    }
    return std::nullopt;
}

QJsonObject readingObject(const ReceiveData& rd)
{
    QJsonObject object;
    for (const Column& column : kColumns)
        object.insert(QLatin1String(column.name), column.value(rd));
    return object;
}

QByteArray csvLine(const QStringList& fields)
{
    QString line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        appendCsvField(line, fields[i]);
    }
    return line.toUtf8();
}

ReadingWriter::ReadingWriter(Format format_, std::FILE* out_, Flush flush_) : format(format_), out(out_), flush(flush_)
{
}

QByteArray ReadingWriter::line(const ReceiveData& rd)
{
    switch (format) {
    case Format::Text:
        return textLine(rd).toUtf8();
    case Format::Json:
        return QJsonDocument(readingObject(rd)).toJson(QJsonDocument::Compact);
    case Format::Csv:
        break;
    }
    QByteArray text;
    if (!headerWritten) {
        QStringList names;
        for (const Column& column : kColumns)
            names << QLatin1String(column.name);
        text = csvLine(names) + '\n';
        headerWritten = true;
    }
    csvBuffer.clear();
    for (const Column& column : kColumns) {
        if (&column != kColumns)
            csvBuffer += QLatin1Char(',');
        appendCsvValue(csvBuffer, column.value(rd));
    }
    return text + csvBuffer.toUtf8();
}

bool ReadingWriter::write(const ReceiveData& rd)
{
    QByteArray text = line(rd);
    text += '\n';
    const bool written = std::fwrite(text.constData(), 1, std::size_t(text.size()), out) == std::size_t(text.size());
    return written && (flush == Flush::AtEnd || std::fflush(out) == 0);
}

}  // namespace cli
