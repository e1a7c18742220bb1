#include "data/formattables.h"

#include "link/settingsframes.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QTranslator>

#include <array>

namespace formattables {

namespace {

const char kContext[] = "ReceiveThread";

std::optional<QString> entry(const QStringList& list, int index)
{
    if (index < 0 || index >= list.size())
        return std::nullopt;
    return list.at(index);
}

template <std::size_t N>
std::optional<QString> translatedEntry(const char* const (&sources)[N], int index)
{
    if (index < 0 || index >= int(N))
        return std::nullopt;
    return QCoreApplication::translate(kContext, sources[index]);
}

const QStringList& dcCurrentList()
{
    static const QStringList list{
        QStringLiteral("40mA"),  QStringLiteral("80mA"),  QStringLiteral("120mA"), QStringLiteral("160mA"),
        QStringLiteral("200mA"), QStringLiteral("240mA"), QStringLiteral("280mA"), QStringLiteral("320mA"),
        QStringLiteral("360mA"), QStringLiteral("400mA"), QStringLiteral("1A"),    QStringLiteral("2A"),
        QStringLiteral("3A"),    QStringLiteral("4A"),    QStringLiteral("5A"),    QStringLiteral("6A"),
        QStringLiteral("7A"),    QStringLiteral("8A"),    QStringLiteral("9A"),    QStringLiteral("10A"),
        QStringLiteral("12V/<5mA"), QStringLiteral("AUTO")};
    return list;
}

// The length test has no 12 V range: 40mA .. 10A only, AUTO is handled apart.
const QStringList& lengthCurrentList()
{
    static const QStringList list = dcCurrentList().mid(0, 20);
    return list;
}

const char* const kMaterials[] = {QT_TRANSLATE_NOOP("ReceiveThread", "铜"),
                                  QT_TRANSLATE_NOOP("ReceiveThread", "铝")};
const char* const kWindings[] = {QT_TRANSLATE_NOOP("ReceiveThread", "低压"),
                                 QT_TRANSLATE_NOOP("ReceiveThread", "高压")};
const char* const kStandardSettings[] = {QT_TRANSLATE_NOOP("ReceiveThread", "设定值"),
                                         QT_TRANSLATE_NOOP("ReceiveThread", "测试值")};
// Indexed by the test state of status bits 4-5; state 0 reads "charging" only
// while a test cycle is under way.
const char* const kTestStates[] = {QT_TRANSLATE_NOOP("ReceiveThread", "充电中..."),
                                   QT_TRANSLATE_NOOP("ReceiveThread", "测试中..."),
                                   QT_TRANSLATE_NOOP("ReceiveThread", "放电中..."),
                                   QT_TRANSLATE_NOOP("ReceiveThread", "测试完成")};

const QTranslator& englishCatalogue()
{
    static const QTranslator* const catalogue = [] {
        auto* translator = new QTranslator;
        if (!translator->load(QStringLiteral(":/lang_en.qm")))
            qWarning("fixed-list texts: no English catalogue in the resources");
        return translator;
    }();
    return *catalogue;
}

// Each recorded form of the fixed texts (the Chinese source and its English)
// to its source; a text of two lists belongs to the first. Looked up once per
// cell, so that a report of thousands of rows costs one hash lookup a cell.
const QHash<QString, const char*>& fixedTextSources()
{
    static const QHash<QString, const char*> sources = [] {
        QHash<QString, const char*> known;
        auto add = [&known](const auto& list) {
            for (const char* source : list) {
                for (const QString& recorded : {QString::fromUtf8(source), englishCatalogue().translate(kContext, source)}) {
                    if (!recorded.isEmpty() && !known.contains(recorded))
                        known.insert(recorded, source);
                }
            }
        };
        add(kMaterials);
        add(kWindings);
        add(kStandardSettings);
        return known;
    }();
    return sources;
}

enum class LimitUnit { Milli, Ohm, Mega };

struct LimitRow {
    const char* limitA;
    LimitUnit unitA;
    const char* limitB;
    LimitUnit unitB;
};

// One row per current code: 40mA .. 10A, 12V/<5mA, AUTO.
constexpr std::array<LimitRow, kCurrentCodeCount> kLimits{{
    {"500.00", LimitUnit::Ohm, "300.00", LimitUnit::Ohm},
    {"250.00", LimitUnit::Ohm, "120.00", LimitUnit::Ohm},
    {"160.00", LimitUnit::Ohm, "100.00", LimitUnit::Ohm},
    {"125.00", LimitUnit::Ohm, "80.000", LimitUnit::Ohm},
    {"100.00", LimitUnit::Ohm, "60.000", LimitUnit::Ohm},
    {"80.000", LimitUnit::Ohm, "54.000", LimitUnit::Ohm},
    {"70.000", LimitUnit::Ohm, "48.000", LimitUnit::Ohm},
    {"60.000", LimitUnit::Ohm, "42.000", LimitUnit::Ohm},
    {"50.000", LimitUnit::Ohm, "36.000", LimitUnit::Ohm},
    {"50.000", LimitUnit::Ohm, "30.000", LimitUnit::Ohm},
    {"20.000", LimitUnit::Ohm, "12.000", LimitUnit::Ohm},
    {"10.000", LimitUnit::Ohm, "6.0000", LimitUnit::Ohm},
    {"6.0000", LimitUnit::Ohm, "3.0000", LimitUnit::Ohm},
    {"4.0000", LimitUnit::Ohm, "1.5000", LimitUnit::Ohm},
    {"4.0000", LimitUnit::Ohm, "800.00", LimitUnit::Milli},
    {"3.0000", LimitUnit::Ohm, "680.00", LimitUnit::Milli},
    {"2.0000", LimitUnit::Ohm, "560.00", LimitUnit::Milli},
    {"1.8000", LimitUnit::Ohm, "440.00", LimitUnit::Milli},
    {"1.6000", LimitUnit::Ohm, "320.00", LimitUnit::Milli},
    {"1.5000", LimitUnit::Ohm, "200.00", LimitUnit::Milli},
    {"1.0000", LimitUnit::Mega, "1.0000", LimitUnit::Mega},
    {"1.0000", LimitUnit::Mega, "1.0000", LimitUnit::Mega},
}};

QString limitUnitText(LimitUnit unit)
{
    switch (unit) {
    case LimitUnit::Milli: return QStringLiteral("mΩ");
    case LimitUnit::Mega: return QStringLiteral("MΩ");
    case LimitUnit::Ohm: break;
    }
    return QStringLiteral("Ω");
}

}  // namespace

std::optional<QString> dcCurrentSetting(int code) { return entry(dcCurrentList(), code); }

std::optional<QString> lengthCurrentSetting(int code)
{
    if (code == protocol::kAutoCode)
        return dcCurrentList().at(protocol::kAutoCode);
    return entry(lengthCurrentList(), code);
}

std::optional<QString> phase(int index)
{
    static const QStringList list{QStringLiteral("A0"), QStringLiteral("B0"), QStringLiteral("C0"),
                                  QStringLiteral("AB"), QStringLiteral("AC"), QStringLiteral("BC")};
    return entry(list, index);
}

std::optional<QString> currentUnit(int code)
{
    static const QStringList list{QStringLiteral("mA"), QStringLiteral("A")};
    return entry(list, code);
}

std::optional<QString> resistanceUnit(int code)
{
    static const QStringList list{QStringLiteral("μΩ"), QStringLiteral("mΩ"), QStringLiteral("Ω"),
                                  QStringLiteral("KΩ"), QStringLiteral("MΩ")};
    return entry(list, code);
}

std::optional<QString> standardUnit(int code)
{
    static const QStringList list{QStringLiteral("μΩ"), QStringLiteral("mΩ"), QStringLiteral("Ω")};
    return entry(list, code);
}

std::optional<QString> lengthUnit(int code)
{
    static const QStringList list{QStringLiteral("M"), QStringLiteral("KM")};
    return entry(list, code);
}

std::optional<QString> conductorMaterial(int code) { return translatedEntry(kMaterials, code); }
std::optional<QString> winding(int code) { return translatedEntry(kWindings, code); }
std::optional<QString> standardSetting(int code) { return translatedEntry(kStandardSettings, code); }

QString testStatus(int state, bool charging)
{
    if (state == 0 && !charging)
        return QString();
    return translatedEntry(kTestStates, state).value_or(QString());
}

QString fixedTextOnScreen(const QString& recorded)
{
    if (recorded.isEmpty())
        return recorded;
    const char* const source = fixedTextSources().value(recorded, nullptr);
    return source ? QCoreApplication::translate(kContext, source) : recorded;
}

std::optional<RangeLimit> rangeLimit(int row, bool tableA)
{
    if (row < 0 || row >= int(kLimits.size()))
        return std::nullopt;
    const LimitRow& limits = kLimits[std::size_t(row)];
    if (tableA)
        return RangeLimit{QString::fromLatin1(limits.limitA), limitUnitText(limits.unitA)};
    return RangeLimit{QString::fromLatin1(limits.limitB), limitUnitText(limits.unitB)};
}

}  // namespace formattables
