#include "analysis/baselinefile.h"

#include "analysis/balance.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <optional>
#include <variant>

namespace analysis {

namespace {

enum Column { kWinding, kTapping, kPhase, kOhms, kCelsius, kMaterial, kColumnCount };
const char* const kHeader[kColumnCount] = {"winding",        "tapping",       "phase",
                                           "resistance_ohm", "temperature_c", "material"};
const char* const kLowWindings[] = {"低压", "Low", "LV"};
const char* const kHighWindings[] = {"高压", "High", "HV"};

template <std::size_t N>
bool isOneOf(const QString& text, const char* const (&names)[N])
{
    for (const char* name : names) {
        if (text.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString tr(const char* text)
{
    return QCoreApplication::translate("BaselineFile", text);
}

BaselineFileRead failure(int line, const QString& problem)
{
    BaselineFileRead read;
    read.badLine = line;
    read.problem = line > 0 ? tr("第 %1 行：%2").arg(line).arg(problem) : problem;
    return read;
}

// The phase as the instrument names it, or empty for another text.
QString phaseOf(const QString& text)
{
    const QString upper = text.toUpper();
    for (PhaseKind kind : {PhaseKind::Phase, PhaseKind::Line}) {
        if (phaseNames(kind).contains(upper))
            return upper;
    }
    return QString();
}

std::optional<double> numberOf(const QString& text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// Where each named column stands in the header; a column missing is -1.
std::array<int, kColumnCount> headerColumns(const QStringList& header)
{
    std::array<int, kColumnCount> places{};
    for (int c = 0; c < kColumnCount; ++c) {
        places[std::size_t(c)] = -1;
        for (int i = 0; i < header.size(); ++i) {
            if (header[i].trimmed().compare(QLatin1String(kHeader[c]), Qt::CaseInsensitive) == 0)
                places[std::size_t(c)] = i;
        }
    }
    return places;
}

// The entry of one line, or what is wrong with it.
std::variant<BaselineEntry, QString> entryOf(const TextRow& row, const std::array<int, kColumnCount>& places)
{
    QStringList cells;
    for (int place : places) {
        if (place >= row.cells.size())
            return tr("缺少列");
        cells << row.cells[place].trimmed();
    }
    BaselineEntry entry;
    entry.winding = windingOf(cells[kWinding]);
    if (entry.winding < 0)
        return tr("未知的绕组“%1”").arg(cells[kWinding]);
    entry.tapping = cells[kTapping];
    entry.phase = phaseOf(cells[kPhase]);
    if (entry.phase.isEmpty())
        return tr("未知的相别“%1”").arg(cells[kPhase]);
    const std::optional<double> ohms = numberOf(cells[kOhms]);
    if (!ohms || *ohms <= 0.0)
        return tr("电阻“%1”不是大于 0 的数").arg(cells[kOhms]);
    entry.ohms = *ohms;
    entry.material = materialOf(cells[kMaterial]);
    if (entry.material < 0)
        return tr("未知的材质“%1”").arg(cells[kMaterial]);
    const std::optional<double> celsius = numberOf(cells[kCelsius]);
    // Below the material's constant no temperature correction exists.
    const double constant = entry.material == 0 ? kCopperConstant : kAluminiumConstant;
    if (!celsius || *celsius <= -constant)
        return tr("温度“%1”不是可用的数").arg(cells[kCelsius]);
    entry.celsius = *celsius;
    return entry;
}

// Splits CSV text into records, each with the line it starts on. Quoted
// fields may hold commas, doubled quotes and line breaks.
QList<TextRow> csvRows(const QString& text)
{
    QList<TextRow> rows;
    TextRow row{1, {}};
    QString field;
    bool quoted = false;
    bool rowHasText = false;
    int line = 1;
    auto endField = [&] {
        row.cells << field;
        rowHasText = rowHasText || !field.trimmed().isEmpty();
        field.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
                field += text[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
            line += c == QLatin1Char('\n');
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endField();
            if (rowHasText)
                rows << row;
            row = TextRow{++line, {}};
            rowHasText = false;
        } else if (c != QLatin1Char('\r')) {
            field += c;
        }
    }
    endField();
    if (rowHasText)
        rows << row;
    return rows;
}

}  // namespace

int windingOf(const QString& text)
{
    const QString t = text.trimmed();
    if (isOneOf(t, kLowWindings))
        return 0;
    if (isOneOf(t, kHighWindings))
        return 1;
    return -1;
}

BaselineFileRead readBaselineRows(const QList<TextRow>& rows)
{
    if (rows.isEmpty())
        return failure(0, tr("文件中没有基准值"));
    const std::array<int, kColumnCount> places = headerColumns(rows.first().cells);
    for (int c = 0; c < kColumnCount; ++c) {
        if (places[std::size_t(c)] < 0)
            return failure(rows.first().line, tr("表头缺少“%1”列").arg(QLatin1String(kHeader[c])));
    }
    if (rows.size() == 1)
        return failure(0, tr("文件中没有基准值"));
    BaselineFileRead read;
    for (int r = 1; r < rows.size(); ++r) {
        const std::variant<BaselineEntry, QString> entry = entryOf(rows[r], places);
        if (const QString* problem = std::get_if<QString>(&entry))
            return failure(rows[r].line, *problem);
        read.entries << std::get<BaselineEntry>(entry);
    }
    return read;
}

BaselineFileRead readBaselineCsv(const QByteArray& text)
{
    QString decoded = QString::fromUtf8(text);
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    return readBaselineRows(csvRows(decoded));
}

BaselineFileRead readBaselineFile(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0) {
        const std::optional<QList<TextRow>> rows = XlsxReader(path).firstSheet();
        return rows ? readBaselineRows(*rows) : failure(0, tr("无法读取工作簿：%1").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(0, tr("无法打开文件：%1").arg(file.errorString()));
    return readBaselineCsv(file.readAll());
}

}  // namespace analysis
