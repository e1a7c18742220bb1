#pragma once
// The values sheet of a workbook: the rows of its text sheet as numbers a
// spreadsheet computes with. Resistances, currents, temperatures and lengths
// in SI units with the unit in the header, the test time as a date and time,
// numbers and taps as integers, texts as texts. A value the text does not
// give (over range, a placeholder, blank) is an empty cell, never 0.

#include "reports/texttable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace reports {

struct Value {
    enum Type { Empty, Number, DateTime, Text };
    Type type = Empty;
    double number = 0.0;
    QDateTime time;
    QString text;
};

// The sheet's name and its column headers in the language in force; no
// columns for ValueLayout::None. The deviation and verdict columns are there
// only when the table carries judgements.
QString valuesSheetName();
QStringList valueHeaders(const TextTable& table);

// One row of the sheet, a value per header.
QVector<Value> valueRow(const TextTable& table, int row);

}  // namespace reports
