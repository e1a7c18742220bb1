#include "reports/workbookwriter.h"

#include "reports/exportpaths.h"
#include "reports/valuesheet.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace reports {

namespace {

// XML 1.0 carries tab, line feed, carriage return, U+0020..U+D7FF,
// U+E000..U+FFFD and U+10000..U+10FFFF; the noncharacters among them
// (U+FDD0..U+FDEF and the last two of every plane) are left out as well.
bool workbookCarries(uint codePoint)
{
    if (codePoint < 0x20)
        return codePoint == '\t' || codePoint == '\n' || codePoint == '\r';
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        return false;  // a surrogate without its other half
    if (codePoint >= 0xFDD0 && codePoint <= 0xFDEF)
        return false;
    return (codePoint & 0xFFFE) != 0xFFFE && codePoint <= 0x10FFFF;
}

// The text without the characters a workbook cannot carry, counted in *dropped.
QString carriedText(const QString& text, int* dropped)
{
    QString kept;
    kept.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        const bool pair = unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const uint codePoint = pair ? QChar::surrogateToUcs4(unit, text.at(i + 1)) : unit.unicode();
        if (!workbookCarries(codePoint))
            ++*dropped;
        else if (pair)
            kept.append(unit).append(text.at(i + 1));
        else
            kept.append(unit);
        i += pair ? 1 : 0;
    }
    return kept;
}

QByteArray cellBytes(const QString& text, int* dropped)
{
    QString carried = carriedText(text, dropped);
    if (carried.size() <= kMaxCellCharacters)
        return carried.toUtf8();
    carried.truncate(kMaxCellCharacters);
    if (carried.at(carried.size() - 1).isHighSurrogate())
        carried.chop(1);
    return carried.toUtf8();
}

lxw_error writeRow(lxw_worksheet* sheet, lxw_format* format, int row, const TextTable& table,
                   const std::function<QString(int)>& text, int* dropped)
{
    for (int column = 0; column < table.columnCount(); ++column) {
        const lxw_error result = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column),
                                                        cellBytes(text(column), dropped).constData(), format);
        if (result != LXW_NO_ERROR)
            return result;
    }
    return LXW_NO_ERROR;
}

// The values sheet beside the texts: its columns grow to their widest cell,
// known only once every row is written (the library writes the widths last).
struct ValuesSheet {
    lxw_worksheet* sheet = nullptr;
    lxw_format* timeFormat = nullptr;
    QVector<double> widths;
};

constexpr double kWidestValueColumn = 60.0;
constexpr int kShownTimeWidth = 19;  // "2026-12-07 09:30:00"

// The width a text takes in the spreadsheet's character widths: ideographs take two.
double shownWidth(const QString& text)
{
    double width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

double shownWidth(const Value& value)
{
    switch (value.type) {
    case Value::Number:
        return QString::number(value.number, 'g', 10).size();
    case Value::DateTime:
        return kShownTimeWidth;
    case Value::Text:
        return shownWidth(value.text);
    case Value::Empty:
        break;
    }
    return 0;
}

lxw_datetime spreadsheetTime(const QDateTime& time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    return {date.year(), date.month(), date.day(), clock.hour(), clock.minute(), double(clock.second())};
}

lxw_error writeValue(ValuesSheet& values, int row, int column, const Value& value, int* dropped)
{
    values.widths[column] = std::max(values.widths[column], shownWidth(value));
    const auto r = lxw_row_t(row);
    const auto c = lxw_col_t(column);
    switch (value.type) {
    case Value::Number:
        return worksheet_write_number(values.sheet, r, c, value.number, nullptr);
    case Value::DateTime: {
        lxw_datetime time = spreadsheetTime(value.time);
        return worksheet_write_datetime(values.sheet, r, c, &time, values.timeFormat);
    }
    case Value::Text:
        return worksheet_write_string(values.sheet, r, c, cellBytes(value.text, dropped).constData(), nullptr);
    case Value::Empty:
        break;
    }
    return LXW_NO_ERROR;
}

lxw_error writeValueRow(ValuesSheet& values, int row, const QVector<Value>& cells, int* dropped)
{
    for (int column = 0; column < cells.size(); ++column) {
        const lxw_error result = writeValue(values, row, column, cells[column], dropped);
        if (result != LXW_NO_ERROR)
            return result;
    }
    return LXW_NO_ERROR;
}

lxw_error startValuesSheet(lxw_workbook* workbook, const TextTable& table, ValuesSheet* values, int* dropped)
{
    const QStringList headers = valueHeaders(table);
    const QByteArray name = valuesSheetName().toUtf8();
    values->sheet = workbook_add_worksheet(workbook, name.constData());
    values->timeFormat = workbook_add_format(workbook);
    if (!values->sheet || !values->timeFormat)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    format_set_num_format(values->timeFormat, "yyyy-mm-dd hh:mm:ss");
    worksheet_freeze_panes(values->sheet, 1, 0);
    values->widths.fill(0, headers.size());
    QVector<Value> cells;
    for (const QString& header : headers) {
        Value cell;
        cell.type = Value::Text;
        cell.text = header;
        cells << cell;
    }
    return writeValueRow(*values, 0, cells, dropped);
}

lxw_error fitValueColumns(const ValuesSheet& values)
{
    for (int column = 0; column < values.widths.size(); ++column) {
        const double width = std::min(values.widths[column] + 2, kWidestValueColumn);
        const lxw_error result = worksheet_set_column(values.sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
        if (result != LXW_NO_ERROR)
            return result;
    }
    return LXW_NO_ERROR;
}

// Rows must reach each sheet in order: the workbook keeps only the current
// one of each. A row goes to both sheets before the next one is read.
lxw_error writeSheets(lxw_workbook* workbook, const TextTable& table, const WriteProgress& progress, bool* stopped,
                      int* dropped)
{
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* centred = workbook_add_format(workbook);
    if (!sheet || !centred)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    format_set_align(centred, LXW_ALIGN_CENTER);
    format_set_align(centred, LXW_ALIGN_VERTICAL_CENTER);
    if (table.columnCount() > 0) {
        const lxw_error widths = worksheet_set_column(sheet, 0, lxw_col_t(table.columnCount() - 1),
                                                      kWorkbookColumnWidth, nullptr);
        if (widths != LXW_NO_ERROR)
            return widths;
    }
    const bool withValues = table.values != ValueLayout::None;
    ValuesSheet values;
    int droppedAgain = 0;  // the values sheet's texts are the first sheet's, counted there
    lxw_error result = withValues ? startValuesSheet(workbook, table, &values, &droppedAgain) : LXW_NO_ERROR;
    if (result == LXW_NO_ERROR)
        result = writeRow(sheet, centred, 0, table, [&](int column) { return table.headers[column]; }, dropped);
    for (int row = 0; row < table.rowCount && result == LXW_NO_ERROR; ++row) {
        if (!keepWriting(progress, row, table.rowCount)) {
            *stopped = true;
            break;
        }
        result = writeRow(sheet, centred, row + 1, table, [&](int column) { return table.cell(row, column); },
                          dropped);
        if (result == LXW_NO_ERROR && withValues)
            result = writeValueRow(values, row + 1, valueRow(table, row), &droppedAgain);
    }
    if (result == LXW_NO_ERROR && withValues)
        result = fitValueColumns(values);
    return result;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

bool copyInto(const QString& from, const QString& path, QString* error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return fail(error, source.errorString());
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return fail(error, target.errorString());
    const QByteArray bytes = source.readAll();
    if (target.write(bytes) != bytes.size() || !target.commit())
        return fail(error, target.errorString());
    return true;
}

}  // namespace

bool writeWorkbook(const QString& path, const TextTable& table, QString* error, const WriteProgress& progress,
                   int* droppedCharacters)
{
    int uncounted = 0;
    int& dropped = droppedCharacters ? *droppedCharacters : uncounted;
    dropped = 0;
    if (!mayReplace(path, error))
        return false;
    // The workbook is assembled in a scratch file first: the library needs a
    // file name of its own, and a failure must not leave half a workbook at
    // path. The scratch file goes when it goes out of scope, whatever happens.
    QTemporaryFile scratch(scratchPattern(path));
    if (!scratch.open())
        return fail(error, scratch.errorString());
    scratch.close();

    // The library's own scratch files (deleted as soon as they are made) go there too.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char*>(folder.constData());
    const QByteArray scratchName = QFile::encodeName(scratch.fileName());
    lxw_workbook* workbook = workbook_new_opt(scratchName.constData(), &options);
    if (!workbook)
        return fail(error, QStringLiteral("cannot start a workbook"));
    bool stopped = false;
    const lxw_error written = writeSheets(workbook, table, progress, &stopped, &dropped);
    const lxw_error closed = workbook_close(workbook);
    if (stopped)
        return fail(error, QStringLiteral("stopped before the end"));
    if (written != LXW_NO_ERROR)
        return fail(error, QString::fromUtf8(lxw_strerror(written)));
    if (closed != LXW_NO_ERROR)
        return fail(error, QString::fromUtf8(lxw_strerror(closed)));
    return copyInto(scratch.fileName(), path, error);
}

}  // namespace reports
