#include "analysis/quantities.h"

#include <cmath>

namespace analysis {

namespace {

struct UnitSuffix {
    const char* text;  // UTF-8
    double factor;
};

// Longer suffixes first: "mΩ" must not be read as "Ω". Both micro signs are
// accepted; the instrument's texts use the Greek one.
const UnitSuffix kResistanceUnits[] = {
    {"μΩ", 1e-6}, {"µΩ", 1e-6}, {"mΩ", 1e-3}, {"KΩ", 1e3}, {"kΩ", 1e3}, {"MΩ", 1e6}, {"Ω", 1.0},
};
const UnitSuffix kCurrentUnits[] = {{"mA", 1e-3}, {"A", 1.0}};
const UnitSuffix kTemperatureUnits[] = {{"℃", 1.0}, {"", 1.0}};
const UnitSuffix kLengthUnits[] = {{"KM", 1e3}, {"km", 1e3}, {"M", 1.0}, {"m", 1.0}};
const UnitSuffix kCrossSectionUnits[] = {{"平方", 1.0}, {"mm²", 1.0}, {"", 1.0}};
const UnitSuffix kPercentUnits[] = {{"%", 1.0}};

struct Number {
    double value = 0.0;
    double halfStep = 0.0;  // half a unit of the last digit shown
};

// A plain decimal number: optional sign, digits, optional point and digits.
// Exponent forms, hyphen placeholders and ">" texts are not numbers here.
std::optional<Number> parseDecimal(const QString& text)
{
    const QString t = text.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    int decimals = -1;
    for (; i < t.size(); ++i) {
        if (t[i].isDigit()) {
            ++digits;
            if (decimals >= 0)
                ++decimals;
        } else if (t[i] == QLatin1Char('.') && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (digits == 0 || !ok || !std::isfinite(value))
        return std::nullopt;
    return Number{value, 0.5 * std::pow(10.0, -std::max(decimals, 0))};
}

template <std::size_t N>
std::optional<Number> parseWithUnit(const QString& text, const UnitSuffix (&units)[N])
{
    for (const UnitSuffix& unit : units) {
        const QString suffix = QString::fromUtf8(unit.text);
        if (!text.endsWith(suffix))
            continue;
        const std::optional<Number> n = parseDecimal(text.chopped(suffix.size()));
        if (!n)
            return std::nullopt;
        return Number{n->value * unit.factor, n->halfStep * unit.factor};
    }
    return std::nullopt;
}

template <std::size_t N>
std::optional<double> parseValue(const QString& text, const UnitSuffix (&units)[N])
{
    const std::optional<Number> n = parseWithUnit(text.trimmed(), units);
    return n ? std::optional<double>(n->value) : std::nullopt;
}

}  // namespace

std::optional<Resistance> parseResistance(const QString& text)
{
    const std::optional<Number> n = parseWithUnit(text.trimmed(), kResistanceUnits);
    if (!n)
        return std::nullopt;
    return Resistance{n->value, n->halfStep};
}

std::optional<double> parseAmps(const QString& text)
{
    return parseValue(text, kCurrentUnits);
}

std::optional<double> parseCelsius(const QString& text)
{
    return parseValue(text, kTemperatureUnits);
}

std::optional<double> parseMetres(const QString& text)
{
    return parseValue(text, kLengthUnits);
}

std::optional<double> parseSquareMillimetres(const QString& text)
{
    return parseValue(text, kCrossSectionUnits);
}

std::optional<double> parsePercent(const QString& text)
{
    return parseValue(text, kPercentUnits);
}

ResistanceUnit unitFor(double ohms)
{
    const double size = std::fabs(ohms);
    if (size < 1e-3)
        return {QString::fromUtf8("μΩ"), 1e-6};
    if (size < 1.0)
        return {QString::fromUtf8("mΩ"), 1e-3};
    if (size < 1e3)
        return {QString::fromUtf8("Ω"), 1.0};
    if (size < 1e6)
        return {QString::fromUtf8("KΩ"), 1e3};
    return {QString::fromUtf8("MΩ"), 1e6};
}

}  // namespace analysis
