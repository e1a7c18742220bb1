#include "cli/readingformat.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>

namespace cli {

namespace {

using RD = ReceiveData;

const QString kDegrees = QStringLiteral("℃");

struct Unit {
    const char* text;
    int exponent;  // of ten, to the SI unit
};

// The units of the decoder's texts.
const Unit kUnits[] = {{"μΩ", -6}, {"mΩ", -3}, {"Ω", 0}, {"kΩ", 3}, {"MΩ", 6},
                       {"mA", -3}, {"A", 0},   {"M", 0}, {"KM", 3}, {"℃", 0}};

// A plain decimal number followed by its suffix.
std::optional<std::pair<QString, QString>> splitNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?\\d+(?:\\.\\d+)?)(.*)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return std::make_pair(match.captured(1), match.captured(2).trimmed());
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
    return parts ? si(parts->first, parts->second) : QJsonValue(QJsonValue::Null);
}

QJsonValue leadingNumber(const QString& text)
{
    const auto parts = splitNumber(text);
    return parts ? QJsonValue(parts->first.toDouble()) : QJsonValue(QJsonValue::Null);
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

QString csvText(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

QString csvField(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
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

std::optional<double> siValue(const QString& number, const QString& unit)
{
    const auto parts = splitNumber(number);
    if (!parts || !parts->second.isEmpty())
        return std::nullopt;
    for (const Unit& known : kUnits) {
        if (unit == QString::fromUtf8(known.text))
            // Shifted as text, so that 12.345 mΩ gives the double nearest 0.012345.
            return (parts->first + QStringLiteral("e%1").arg(known.exponent)).toDouble();
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
    QStringList quoted;
    for (const QString& field : fields)
        quoted << csvField(field);
    return quoted.join(QLatin1Char(',')).toUtf8();
}

ReadingWriter::ReadingWriter(Format format_, std::FILE* out_) : format(format_), out(out_) {}

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
    QStringList fields;
    for (const Column& column : kColumns)
        fields << csvText(column.value(rd));
    QByteArray text = csvLine(fields);
    if (!headerWritten) {
        QStringList names;
        for (const Column& column : kColumns)
            names << QLatin1String(column.name);
        text.prepend(csvLine(names) + '\n');
        headerWritten = true;
    }
    return text;
}

bool ReadingWriter::write(const ReceiveData& rd)
{
    const QByteArray text = line(rd) + '\n';
    return std::fwrite(text.constData(), 1, std::size_t(text.size()), out) == std::size_t(text.size())
        && std::fflush(out) == 0;
}

}  // namespace cli
