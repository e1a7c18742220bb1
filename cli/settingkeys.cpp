#include "cli/settingkeys.h"

#include "data/formattables.h"
#include "link/answerlayout.h"

#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace cli {

namespace {

namespace al = answerlayout;

// The window's entry ranges of its decimal settings.
constexpr double kMinConductorTemp = -40.0;
constexpr double kMaxConductorTemp = 100.0;
constexpr double kMaxStandardValue = 500.0;
// The window's reference temperatures and cross-sections (1 to 10 mm² in half steps).
const int kConvertedTemps[] = {75, 115};
constexpr double kMinWireSquare = 1.0;
constexpr double kMaxWireSquare = 10.0;
constexpr double kWireSquareStep = 0.5;

// A setting's value as a number; entries of a list by their list index.
struct ValueKind {
    QStringList entries;  // empty: a number in [low, high]
    double low = 0;
    double high = 0;
    int decimals = 0;
    bool entryIsNumber = false;  // an entry is sent as its number, not as its index
};

QStringList listOf(std::optional<QString> (*entry)(int), int first, int last)
{
    QStringList list;
    for (int code = first; code <= last; ++code)
        list << entry(code).value_or(QString());
    return list;
}

QStringList lengthCurrents()
{
    QStringList list = listOf(formattables::lengthCurrentSetting, 0, protocol::kLengthAutoIndex - 1);
    return list << formattables::lengthCurrentSetting(protocol::kAutoCode).value_or(QString());
}

QStringList wireSquares()
{
    QStringList list;
    for (double square = kMinWireSquare; square <= kMaxWireSquare; square += kWireSquareStep)
        list << QString::number(square);
    return list;
}

QStringList convertedTemps()
{
    QStringList list;
    for (int temp : kConvertedTemps)
        list << QString::number(temp);
    return list;
}

// Every key: its page, what it accepts and where it lives in the frame's fields.
struct Field {
    const char* name;
    Page page;
    ValueKind kind;
    int* (*intField)(PageSettings&);
    float* (*floatField)(PageSettings&);
};

const QList<Field>& fields()
{
    static const QList<Field> table{
        {"conductor-no", Page::Dc, {{}, 0, al::kMaxConductorNo}, [](PageSettings& s) { return &s.dc.conductorNo; }, nullptr},
        {"conductor-temp", Page::Dc, {{}, kMinConductorTemp, kMaxConductorTemp, 2}, nullptr,
         [](PageSettings& s) { return &s.dc.conductorTemp; }},
        {"tapping", Page::Dc, {{}, 0, al::kMaxTapping}, [](PageSettings& s) { return &s.dc.tapping; }, nullptr},
        {"winding", Page::Dc, {{"low", "high"}}, [](PageSettings& s) { return &s.dc.windingIndex; }, nullptr},
        {"material", Page::Dc, {{"copper", "aluminium"}}, [](PageSettings& s) { return &s.dc.materialIndex; }, nullptr},
        {"current", Page::Dc, {listOf(formattables::dcCurrentSetting, 0, al::kMaxCurrentCode)},
         [](PageSettings& s) { return &s.dc.currentIndex; }, nullptr},
        {"converted-temp", Page::Dc, {convertedTemps(), 0, 0, 0, true}, [](PageSettings& s) { return &s.dc.convertedTemp; }, nullptr},
        {"phase", Page::Dc, {listOf(formattables::phase, 0, al::kMaxPhase - 1)},
         [](PageSettings& s) { return &s.dc.phaseIndex; }, nullptr},
        {"length-conductor-no", Page::Length, {{}, 0, al::kMaxConductorNo},
         [](PageSettings& s) { return &s.length.conductorNo; }, nullptr},
        {"sample-no", Page::Length, {{}, 0, al::kMaxSampleNo}, [](PageSettings& s) { return &s.length.sampleNo; }, nullptr},
        {"wire-square", Page::Length, {wireSquares(), 0, 0, 0, true}, nullptr, [](PageSettings& s) { return &s.length.wireSquare; }},
        {"length-current", Page::Length, {lengthCurrents()}, [](PageSettings& s) { return &s.length.currentIndex; },
         nullptr},
        {"standard", Page::Length, {{"set", "tested"}}, [](PageSettings& s) { return &s.length.standardModeIndex; },
         nullptr},
        {"standard-value", Page::Length, {{}, 0, kMaxStandardValue, 3}, nullptr,
         [](PageSettings& s) { return &s.length.standardValue; }},
        {"standard-unit", Page::Length, {{"uohm", "mohm", "ohm"}},
         [](PageSettings& s) { return &s.length.standardUnitIndex; }, nullptr},
    };
    return table;
}

const Field* fieldOf(const QString& key)
{
    for (const Field& field : fields()) {
        if (key == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

}  // namespace

PageSettings settingsOf(const ReceiveData& rd)
{
    PageSettings s;
    s.dc.materialIndex = rd.conductorMaterialIndex;
    s.dc.currentIndex = rd.currentSettingIndex;
    s.dc.convertedTemp = QString(rd.convertedTemp).remove(QStringLiteral("℃")).toInt();
    s.dc.tapping = rd.tapping.toInt();
    s.dc.phaseIndex = rd.phaseTypeIndex;
    s.dc.windingIndex = rd.windingIndex;
    s.dc.conductorNo = rd.conductorNo.toInt();
    s.dc.conductorTemp = rd.conductorTempValue.toFloat();
    s.length.sampleNo = rd.sampleNo.toInt();
    s.length.currentIndex = rd.currentSettingIndex == protocol::kAutoCode ? protocol::kLengthAutoIndex
                                                                         : rd.currentSettingIndex;
    s.length.conductorNo = rd.conductorNo.toInt();
    s.length.wireSquare = QString(rd.wireSquare).remove(QRegularExpression(QStringLiteral("[^0-9.].*$"))).toFloat();
    s.length.standardModeIndex = rd.standardSettingIndex;
    s.length.standardValue = rd.standardValue.toFloat();
    s.length.standardUnitIndex = rd.standardUnitIndex;
    return s;
}

QStringList keysOf(Page page)
{
    QStringList keys;
    for (const Field& field : fields()) {
        if (field.page == page)
            keys << QLatin1String(field.name);
    }
    return keys;
}

bool pageOfKey(const QString& key, Page* page)
{
    const Field* field = fieldOf(key);
    if (field)
        *page = field->page;
    return field != nullptr;
}

QString allowedValues(const QString& key)
{
    const Field* field = fieldOf(key);
    if (!field)
        return QString();
    if (!field->kind.entries.isEmpty())
        return field->kind.entries.join(QStringLiteral(", "));
    return QStringLiteral("%1..%2").arg(field->kind.low).arg(field->kind.high);
}

bool setValue(PageSettings* settings, const QString& key, const QString& text)
{
    const Field* field = fieldOf(key);
    if (!field)
        return false;
    const ValueKind& kind = field->kind;
    if (!kind.entries.isEmpty()) {
        const int index = kind.entries.indexOf(text);
        if (index < 0)
            return false;
        if (field->floatField)
            *field->floatField(*settings) = text.toFloat();
        else
            *field->intField(*settings) = kind.entryIsNumber ? text.toInt() : index;
        return true;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < kind.low || value > kind.high)
        return false;
    if (field->floatField) {
        *field->floatField(*settings) = float(value);
        return true;
    }
    const int whole = text.toInt(&ok);
    if (!ok)
        return false;
    *field->intField(*settings) = whole;
    return true;
}

QString valueText(const PageSettings& settings, const QString& key)
{
    const Field* field = fieldOf(key);
    if (!field)
        return QString();
    PageSettings copy = settings;
    if (field->floatField) {
        const float value = *field->floatField(copy);
        return field->kind.entries.isEmpty() ? QString::number(double(value), 'f', field->kind.decimals)
                                             : QString::number(double(value));
    }
    const int value = *field->intField(copy);
    if (field->kind.entries.isEmpty() || field->kind.entryIsNumber)
        return QString::number(value);
    return field->kind.entries.value(value);
}

protocol::Bytes settingsFrame(const PageSettings& settings, Page page)
{
    return page == Page::Dc ? protocol::buildDcSettingsFrame(settings.dc)
                            : protocol::buildLengthSettingsFrame(settings.length);
}

}  // namespace cli
