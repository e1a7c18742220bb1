#include "reports/valuesheet.h"

#include "analysis/quantities.h"
#include "data/formattables.h"

#include <QCoreApplication>

#include <iterator>

namespace reports {

namespace {

enum class Reads {
    Integer,       // "05" → 5
    Time,          // "2026-12-07 09:30:00"
    Ohms,          // "12.345mΩ"; over range and negative placeholders read as nothing
    OhmsOfGroup,   // the part-th of "12.345/12.346/12.347 mΩ"
    Amps,          // "1.00A", "400.00mA"
    Celsius,       // "+23.00℃"
    Metres,        // "12.3M", "1.234KM"
    SquareMillimetres,  // "1.5平方"
    Percent,       // "0.123 %"
    ListText,      // a material, winding…: in the language on screen
    WrittenText,   // the remark, as the operator wrote it
    Settled,       // the row's settled flag: "是", "否"
    Deviation,     // the row's deviation from its reference, %
    Verdict,       // the verdict on that deviation
};

struct ValueColumn {
    const char* header;  // context "ValueSheet"
    Reads reads;
    int source = -1;  // the text sheet's column read; -1 for what the row knows beyond its texts
    int part = 0;     // OhmsOfGroup: which of the values
};

const ValueColumn kDcColumns[] = {
    {QT_TRANSLATE_NOOP("ValueSheet", "序号"), Reads::Integer, 0},          {QT_TRANSLATE_NOOP("ValueSheet", "测试时间"), Reads::Time, 1},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品编号"), Reads::Integer, 2},      {QT_TRANSLATE_NOOP("ValueSheet", "试品材质"), Reads::ListText, 3},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品温度 (℃)"), Reads::Celsius, 4},  {QT_TRANSLATE_NOOP("ValueSheet", "折算温度 (℃)"), Reads::Celsius, 5},
    {QT_TRANSLATE_NOOP("ValueSheet", "环境温度 (℃)"), Reads::Celsius, 6},  {QT_TRANSLATE_NOOP("ValueSheet", "分接"), Reads::Integer, 7},
    {QT_TRANSLATE_NOOP("ValueSheet", "相别"), Reads::ListText, 8},         {QT_TRANSLATE_NOOP("ValueSheet", "绕组"), Reads::ListText, 9},
    {QT_TRANSLATE_NOOP("ValueSheet", "电流设置"), Reads::ListText, 10},    {QT_TRANSLATE_NOOP("ValueSheet", "测试电流 (A)"), Reads::Amps, 11},
    {QT_TRANSLATE_NOOP("ValueSheet", "折算电阻 (Ω)"), Reads::Ohms, 12},    {QT_TRANSLATE_NOOP("ValueSheet", "测试电阻 (Ω)"), Reads::Ohms, 13},
    {QT_TRANSLATE_NOOP("ValueSheet", "备注"), Reads::WrittenText, 14},     {QT_TRANSLATE_NOOP("ValueSheet", "读数已稳定"), Reads::Settled},
    {QT_TRANSLATE_NOOP("ValueSheet", "偏差 (%)"), Reads::Deviation},       {QT_TRANSLATE_NOOP("ValueSheet", "判定"), Reads::Verdict},
};

const ValueColumn kLengthColumns[] = {
    {QT_TRANSLATE_NOOP("ValueSheet", "序号"), Reads::Integer, 0},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试时间"), Reads::Time, 1},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品编号"), Reads::Integer, 2},
    {QT_TRANSLATE_NOOP("ValueSheet", "样品编号"), Reads::Integer, 3},
    {QT_TRANSLATE_NOOP("ValueSheet", "1米导线标称截面积 (mm²)"), Reads::SquareMillimetres, 4},
    {QT_TRANSLATE_NOOP("ValueSheet", "标准值设置"), Reads::ListText, 5},
    {QT_TRANSLATE_NOOP("ValueSheet", "标准值 (Ω)"), Reads::Ohms, 6},
    {QT_TRANSLATE_NOOP("ValueSheet", "环境温度 (℃)"), Reads::Celsius, 7},
    {QT_TRANSLATE_NOOP("ValueSheet", "电流设置"), Reads::ListText, 8},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试电流 (A)"), Reads::Amps, 9},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试电阻 (Ω)"), Reads::Ohms, 10},
    {QT_TRANSLATE_NOOP("ValueSheet", "导体长度 (m)"), Reads::Metres, 11},
    {QT_TRANSLATE_NOOP("ValueSheet", "备注"), Reads::WrittenText, 12},
    {QT_TRANSLATE_NOOP("ValueSheet", "读数已稳定"), Reads::Settled},
};

const ValueColumn kStoredColumns[] = {
    {QT_TRANSLATE_NOOP("ValueSheet", "序号"), Reads::Integer, 0},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试时间"), Reads::Time, 1},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品编号"), Reads::Integer, 2},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试电流 (A)"), Reads::Amps, 3},
    {QT_TRANSLATE_NOOP("ValueSheet", "测试电阻 (Ω)"), Reads::Ohms, 4},
    {QT_TRANSLATE_NOOP("ValueSheet", "导体长度 (m)"), Reads::Metres, 5},
    {QT_TRANSLATE_NOOP("ValueSheet", "样品编号"), Reads::Integer, 6},
    {QT_TRANSLATE_NOOP("ValueSheet", "1米导线标称截面积 (mm²)"), Reads::SquareMillimetres, 7},
    {QT_TRANSLATE_NOOP("ValueSheet", "1米标准值 (Ω)"), Reads::Ohms, 8},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品材质"), Reads::ListText, 9},
    {QT_TRANSLATE_NOOP("ValueSheet", "试品温度 (℃)"), Reads::Celsius, 10},
    {QT_TRANSLATE_NOOP("ValueSheet", "折算温度 (℃)"), Reads::Celsius, 11},
    {QT_TRANSLATE_NOOP("ValueSheet", "分接"), Reads::Integer, 12},
    {QT_TRANSLATE_NOOP("ValueSheet", "相别"), Reads::ListText, 13},
    {QT_TRANSLATE_NOOP("ValueSheet", "绕组"), Reads::ListText, 14},
    {QT_TRANSLATE_NOOP("ValueSheet", "折算电阻 (Ω)"), Reads::Ohms, 15},
};

const ValueColumn kBalanceColumns[] = {
    {QT_TRANSLATE_NOOP("ValueSheet", "绕组"), Reads::ListText, 0},
    {QT_TRANSLATE_NOOP("ValueSheet", "分接"), Reads::Integer, 1},
    {QT_TRANSLATE_NOOP("ValueSheet", "相别"), Reads::ListText, 2},
    {QT_TRANSLATE_NOOP("ValueSheet", "电阻 1 (Ω)"), Reads::OhmsOfGroup, 3, 0},
    {QT_TRANSLATE_NOOP("ValueSheet", "电阻 2 (Ω)"), Reads::OhmsOfGroup, 3, 1},
    {QT_TRANSLATE_NOOP("ValueSheet", "电阻 3 (Ω)"), Reads::OhmsOfGroup, 3, 2},
    {QT_TRANSLATE_NOOP("ValueSheet", "依据"), Reads::ListText, 4},
    {QT_TRANSLATE_NOOP("ValueSheet", "不平衡率 (%)"), Reads::Percent, 5},
    {QT_TRANSLATE_NOOP("ValueSheet", "限值 (%)"), Reads::Percent, 6},
    {QT_TRANSLATE_NOOP("ValueSheet", "结论"), Reads::ListText, 7},
};

struct Columns {
    const ValueColumn* begin = nullptr;
    const ValueColumn* end = nullptr;
};

template <std::size_t N>
Columns columnsOf(const ValueColumn (&columns)[N])
{
    return {std::begin(columns), std::end(columns)};
}

Columns layoutColumns(ValueLayout layout)
{
    switch (layout) {
    case ValueLayout::DcResults:
        return columnsOf(kDcColumns);
    case ValueLayout::LengthResults:
        return columnsOf(kLengthColumns);
    case ValueLayout::StoredRecords:
        return columnsOf(kStoredColumns);
    case ValueLayout::Balance:
        return columnsOf(kBalanceColumns);
    case ValueLayout::None:
        break;
    }
    return {};
}

bool judged(Reads reads)
{
    return reads == Reads::Deviation || reads == Reads::Verdict;
}

// The columns the table's sheet has: those of its layout, the judgement's
// only when it carries judgements.
template <typename Visit>
void forEachColumn(const TextTable& table, Visit visit)
{
    const Columns columns = layoutColumns(table.values);
    for (const ValueColumn* column = columns.begin; column != columns.end; ++column) {
        if (!judged(column->reads) || !table.judgements.empty())
            visit(*column);
    }
}

Value number(std::optional<double> value)
{
    Value cell;
    if (value) {
        cell.type = Value::Number;
        cell.number = *value;
    }
    return cell;
}

Value text(const QString& shown)
{
    Value cell;
    if (!shown.trimmed().isEmpty()) {
        cell.type = Value::Text;
        cell.text = shown;
    }
    return cell;
}

std::optional<double> integer(const QString& shown)
{
    bool ok = false;
    const qlonglong value = shown.trimmed().toLongLong(&ok);
    return ok ? std::optional<double>(double(value)) : std::nullopt;
}

std::optional<double> ohms(const QString& shown)
{
    const std::optional<analysis::Resistance> r = analysis::parseResistance(shown);
    return r && r->ohms >= 0.0 ? std::optional<double>(r->ohms) : std::nullopt;
}

// "12.345/12.346/12.347 mΩ": the part-th value with the unit after the last.
std::optional<double> ohmsOfGroup(const QString& shown, int part)
{
    const int space = shown.lastIndexOf(QLatin1Char(' '));
    if (space < 0)
        return std::nullopt;
    const QStringList values = shown.left(space).split(QLatin1Char('/'));
    if (part >= values.size())
        return std::nullopt;
    return ohms(values.at(part) + shown.mid(space + 1));
}

// "yyyy-MM-dd hh:mm:ss", as the window and the instrument write it; read by
// hand, for it comes once a row of tables of thousands.
Value time(const QString& shown)
{
    const QString t = shown.trimmed();
    const auto separatorAt = [&t](int at, char c) { return t.at(at) == QLatin1Char(c); };
    if (t.size() != 19 || !separatorAt(4, '-') || !separatorAt(7, '-') || !separatorAt(10, ' ') || !separatorAt(13, ':')
        || !separatorAt(16, ':'))
        return {};
    int parts[6] = {};
    const int starts[6] = {0, 5, 8, 11, 14, 17};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        parts[i] = t.midRef(starts[i], i == 0 ? 4 : 2).toInt(&ok);
        if (!ok)
            return {};
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime clock(parts[3], parts[4], parts[5]);
    if (!date.isValid() || !clock.isValid())
        return {};
    Value cell;
    cell.type = Value::DateTime;
    cell.time = QDateTime(date, clock, Qt::UTC);  // as shown: no time zone is implied
    return cell;
}

template <typename T>
const T* entryOf(const std::vector<T>& entries, int row)
{
    return row < int(entries.size()) && entries[std::size_t(row)] ? &entries[std::size_t(row)] : nullptr;
}

Value rowFact(const TextTable& table, int row, Reads reads)
{
    if (reads == Reads::Settled) {
        const std::optional<bool>* settled = entryOf(table.settled, row);
        if (!settled)
            return {};
        return text(**settled ? QCoreApplication::translate("ValueSheet", "是")
                              : QCoreApplication::translate("ValueSheet", "否"));
    }
    const std::optional<analysis::Judgement>* judgement = entryOf(table.judgements, row);
    if (!judgement)
        return {};
    if (reads == Reads::Deviation)
        return number((*judgement)->deviationPercent);
    return text(analysis::verdictText((*judgement)->verdict));
}

Value valueOf(const TextTable& table, int row, const ValueColumn& column)
{
    if (column.source < 0)
        return rowFact(table, row, column.reads);
    const QString shown = table.cell(row, column.source);
    switch (column.reads) {
    case Reads::Integer:
        return number(integer(shown));
    case Reads::Time:
        return time(shown);
    case Reads::Ohms:
        return number(ohms(shown));
    case Reads::OhmsOfGroup:
        return number(ohmsOfGroup(shown, column.part));
    case Reads::Amps:
        return number(analysis::parseAmps(shown));
    case Reads::Celsius:
        return number(analysis::parseCelsius(shown));
    case Reads::Metres:
        return number(analysis::parseMetres(shown));
    case Reads::SquareMillimetres:
        return number(analysis::parseSquareMillimetres(shown));
    case Reads::Percent:
        return number(analysis::parsePercent(shown));
    case Reads::ListText:
        return text(formattables::fixedTextOnScreen(shown));
    case Reads::WrittenText:
        return text(shown);
    case Reads::Settled:
    case Reads::Deviation:
    case Reads::Verdict:
        break;
    }
    return {};
}

}  // namespace

QString valuesSheetName()
{
    return QCoreApplication::translate("ValueSheet", "数值");
}

QStringList valueHeaders(const TextTable& table)
{
    QStringList headers;
    forEachColumn(table, [&](const ValueColumn& column) {
        headers << QCoreApplication::translate("ValueSheet", column.header);
    });
    return headers;
}

QVector<Value> valueRow(const TextTable& table, int row)
{
    QVector<Value> values;
    forEachColumn(table, [&](const ValueColumn& column) { values << valueOf(table, row, column); });
    return values;
}

}  // namespace reports
