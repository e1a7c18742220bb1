#include "tableworkbook.h"

#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>

namespace analysis {

namespace {

constexpr double kMinColumnWidth = 10.0;
constexpr double kMaxColumnWidth = 60.0;
constexpr int kMaxSheetNameLength = 31;

// Column width in characters: CJK texts count double.
double widthOf(const QString& text)
{
    double width = 0.0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2E80 ? 2.0 : 1.0;
    return width + 2.0;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

}  // namespace

bool writeTableWorkbook(const QString& path, const TextTable& table, QString* error)
{
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* workbook = workbook_new(file.constData());
    if (!workbook)
        return fail(error, QStringLiteral("cannot create the workbook"));
    const QByteArray sheetName = table.sheetName.left(kMaxSheetNameLength).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName.isEmpty() ? nullptr : sheetName.constData());
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    lxw_format* centred = workbook_add_format(workbook);
    format_set_align(centred, LXW_ALIGN_CENTER);
    format_set_align(centred, LXW_ALIGN_VERTICAL_CENTER);

    QVector<double> widths(table.headers.size(), kMinColumnWidth);
    auto write = [&](int row, int column, const QString& text, lxw_format* format) {
        if (column >= widths.size())
            widths.resize(column + 1);
        widths[column] = std::clamp(std::max(widths[column], widthOf(text)), kMinColumnWidth, kMaxColumnWidth);
        worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(), format);
    };
    for (int c = 0; c < table.headers.size(); ++c)
        write(0, c, table.headers[c], bold);
    for (int r = 0; r < table.rows.size(); ++r)
        for (int c = 0; c < table.rows[r].size(); ++c)
            write(r + 1, c, table.rows[r][c], centred);
    for (int c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);

    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR)
        return fail(error, QString::fromUtf8(lxw_strerror(result)));
    return true;
}

}  // namespace analysis
