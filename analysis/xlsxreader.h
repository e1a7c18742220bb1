#pragma once
// Reads the cells of a workbook's first sheet as texts: shared strings, inline
// strings and numbers (as the file writes them). Formats, formulas and the
// other sheets are left aside.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace analysis {

// A line of a text file or a row of a sheet, with the number a user sees for it.
struct TextRow {
    int line = 0;
    QStringList cells;
};

class XlsxReader
{
public:
    explicit XlsxReader(const QString& path);
    ~XlsxReader();
    XlsxReader(const XlsxReader&) = delete;
    XlsxReader& operator=(const XlsxReader&) = delete;

    // The rows that hold a cell, in sheet order; a cell missing between two
    // is an empty text. None when the file is not a readable workbook.
    std::optional<QList<TextRow>> firstSheet();

private:
    std::optional<QByteArray> part(const QString& name);
    std::optional<QString> firstSheetPath();
    std::optional<QStringList> sharedStrings();

    void* zip_ = nullptr;
};

}  // namespace analysis
