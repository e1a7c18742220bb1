#include "reports/workbookwriter.h"

#include "reports/exportpaths.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

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

// Rows must reach the sheet in order: the workbook keeps only the current one.
lxw_error writeSheet(lxw_workbook* workbook, const TextTable& table, const WriteProgress& progress, bool* stopped,
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
    lxw_error result =
        writeRow(sheet, centred, 0, table, [&](int column) { return table.headers[column]; }, dropped);
    for (int row = 0; row < table.rowCount && result == LXW_NO_ERROR; ++row) {
        if (!keepWriting(progress, row, table.rowCount)) {
            *stopped = true;
            break;
        }
        result = writeRow(sheet, centred, row + 1, table, [&](int column) { return table.cell(row, column); },
                          dropped);
    }
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
    const lxw_error written = writeSheet(workbook, table, progress, &stopped, &dropped);
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
