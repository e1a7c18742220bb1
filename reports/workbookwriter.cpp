#include "reports/workbookwriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryFile>

#include <xlsxwriter.h>

namespace reports {

namespace {

QByteArray cellBytes(const QString& text)
{
    if (text.size() <= kMaxCellCharacters)
        return text.toUtf8();
    QString cut = text.left(kMaxCellCharacters);
    if (cut.at(cut.size() - 1).isHighSurrogate())
        cut.chop(1);
    return cut.toUtf8();
}

lxw_error writeRow(lxw_worksheet* sheet, lxw_format* format, int row, const TextTable& table,
                   const std::function<QString(int)>& text)
{
    for (int column = 0; column < table.columnCount(); ++column) {
        const lxw_error result = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column),
                                                        cellBytes(text(column)).constData(), format);
        if (result != LXW_NO_ERROR)
            return result;
    }
    return LXW_NO_ERROR;
}

// Rows must reach the sheet in order: the workbook keeps only the current one.
lxw_error writeSheet(lxw_workbook* workbook, const TextTable& table, const WriteProgress& progress, bool* stopped)
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
    lxw_error result = writeRow(sheet, centred, 0, table, [&](int column) { return table.headers[column]; });
    for (int row = 0; row < table.rowCount && result == LXW_NO_ERROR; ++row) {
        if (!keepWriting(progress, row, table.rowCount)) {
            *stopped = true;
            break;
        }
        result = writeRow(sheet, centred, row + 1, table, [&](int column) { return table.cell(row, column); });
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

bool writeWorkbook(const QString& path, const TextTable& table, QString* error, const WriteProgress& progress)
{
    // The workbook is assembled in a scratch file first: the library needs a
    // file name of its own, and a failure must not leave half a workbook at path.
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/workbook-XXXXXX.xlsx"));
    if (!scratch.open())
        return fail(error, scratch.errorString());
    scratch.close();

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray scratchName = QFile::encodeName(scratch.fileName());
    lxw_workbook* workbook = workbook_new_opt(scratchName.constData(), &options);
    if (!workbook)
        return fail(error, QStringLiteral("cannot start a workbook"));
    bool stopped = false;
    const lxw_error written = writeSheet(workbook, table, progress, &stopped);
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
