#pragma once
// Reads written reports and workbooks back with tools that are not ours:
// poppler's command-line programs and openpyxl.

#include <QtTest>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

namespace exportreaders {

// Standard output of a program that must succeed.
inline QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pdfPageCount(const QString& pdf)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(output(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text as drawn, laid out as on the page.
inline QString searchableText(const QStringList& pdftotextArguments)
{
    return output(QStringLiteral("pdftotext"), QStringList{QStringLiteral("-layout")} + pdftotextArguments);
}

// The text of one page (counted from 1).
inline QString pdfPageText(const QString& pdf, int page)
{
    return searchableText({QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                           QStringLiteral("-")});
}

inline QString pdfText(const QString& pdf)
{
    return searchableText({pdf, QStringLiteral("-")});
}

// The non-empty, trimmed lines of a text.
inline QStringList lines(const QString& text)
{
    QStringList kept;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            kept << line.trimmed();
    }
    return kept;
}

// What openpyxl finds in the workbook's first sheet: the sheet count, the used
// size, the width of each column (keyed by its number from 1), the cells that
// are not centred both ways or hold a value that is not a string, the values of
// the first rows and of the last row; the second sheet's name and headers.
inline QJsonObject workbookSummary(const QString& xlsx, int firstRows = 20)
{
    static const char* const script = R"PY(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
widths = {}
for dim in ws.column_dimensions.values():
    if dim.min and dim.max:
        for column in range(dim.min, dim.max + 1):
            widths[str(column)] = dim.width
odd = [c.coordinate for row in ws.iter_rows() for c in row
       if c.alignment.horizontal != 'center' or c.alignment.vertical != 'center'
       or (c.value is not None and c.data_type != 's')]
print(json.dumps({
    'sheets': len(wb.worksheets), 'rows': ws.max_row, 'columns': ws.max_column, 'widths': widths,
    'odd': odd[:20],
    'first': [[c.value for c in row] for row in ws.iter_rows(max_row=int(sys.argv[2]))],
    'last': [c.value for c in next(ws.iter_rows(min_row=ws.max_row))],
    'values': [wb.sheetnames[1]] + [c.value for c in next(wb.worksheets[1].iter_rows(max_row=1))]
              if len(wb.worksheets) > 1 else [],
}, ensure_ascii=False))
)PY";
    const QString json = output(QStringLiteral(SYSTEM_PYTHON),
                                {QStringLiteral("-c"), QLatin1String(script), xlsx, QString::number(firstRows)});
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

// How a spreadsheet stores a column 20 characters wide (the characters' padding included).
constexpr double kStoredWidth20 = 20.7109375;

}  // namespace exportreaders
