#pragma once
// Writes a table of texts to an Excel workbook (.xlsx): a sheet of the texts,
// and for one of the program's tables a second sheet of their values.

#include "reports/texttable.h"
#include "reports/writeprogress.h"

#include <QString>

namespace reports {

constexpr double kWorkbookColumnWidth = 20.0;  // in the spreadsheet's character widths
constexpr int kMaxCellCharacters = 32767;      // what one spreadsheet cell can hold

// Row 1 holds the headers, the rows below the cells, every cell written as a
// string (also those that look like numbers) with one centred format, every
// column 20 wide. The values sheet (valuesheet.h), when the table names its
// layout, follows with its first row frozen and its columns fitted to their
// cells. Rows are streamed, so memory stays small for large tables.
// A longer text than a cell can hold is cut at the cell's limit; characters
// the workbook's XML cannot carry (control characters other than tab, line
// feed and carriage return, noncharacters such as U+FFFE, lone surrogates)
// are left out and counted in *droppedCharacters (when given).
// The file at path is replaced only by a complete workbook, and only when it
// is a regular file or a link to one (see mayReplace); on failure it is left
// as it was and *error (when given) says why; so it is when progress (asked
// before each row) stops the writing.
bool writeWorkbook(const QString& path, const TextTable& table, QString* error = nullptr,
                   const WriteProgress& progress = {}, int* droppedCharacters = nullptr);

}  // namespace reports
