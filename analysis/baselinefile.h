#pragma once
// Reference values of an object read from a file the operator prepared: a CSV
// text (UTF-8, with or without a byte-order mark) or the first sheet of an
// XLSX workbook, both with the header
//     winding,tapping,phase,resistance_ohm,temperature_c,material
// and a line per winding, tapping and phase. A file with one bad line gives
// no entries at all: half a baseline would judge the rest against nothing.

#include "analysis/baselineentry.h"
#include "analysis/xlsxreader.h"

#include <QList>
#include <QString>

namespace analysis {

struct BaselineFileRead {
    QList<BaselineEntry> entries;
    int badLine = 0;   // the line (or sheet row) at fault; 0: none or the file as a whole
    QString problem;   // in the language in force; empty when the file was read

    bool ok() const { return problem.isEmpty(); }
};

// By the name's suffix: ".xlsx" a workbook, anything else CSV text.
BaselineFileRead readBaselineFile(const QString& path);
BaselineFileRead readBaselineCsv(const QByteArray& text);
// The header row first, then the entries.
BaselineFileRead readBaselineRows(const QList<TextRow>& rows);

// 0 low-voltage, 1 high-voltage side, -1 another text: 低压/高压, Low/High or
// LV/HV in any case (the table's texts in either language among them).
int windingOf(const QString& text);

}  // namespace analysis
