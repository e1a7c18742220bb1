#pragma once
// A workbook of one sheet holding a table of texts: a bold header line, then
// the rows, every cell as the text it is shown with (a tapping "05" stays "05").

#include <QList>
#include <QString>
#include <QStringList>

namespace analysis {

struct TextTable {
    QString sheetName;
    QStringList headers;
    QList<QStringList> rows;
};

// False, with the reason in `error`, when the file could not be written.
bool writeTableWorkbook(const QString& path, const TextTable& table, QString* error = nullptr);

}  // namespace analysis
