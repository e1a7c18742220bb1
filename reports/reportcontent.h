#pragma once
// What a PDF report shows, as texts ready to draw (already translated): the
// header block, the current data of the page, a summary of the results and
// one record per result row.

#include "reports/texttable.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace reports {

// Where the columns of a field block start, in column units (a tenth of the
// printable width): the two labels, then the two values.
struct FieldColumns {
    int leftLabel;
    int rightLabel;
    int leftValue;
    int rightValue;
};
constexpr FieldColumns kDcColumns{0, 5, 3, 8};
constexpr FieldColumns kLengthColumns{0, 6, 4, 9};

struct Field {
    QString label;
    QString value;
};

// Fields in two columns side by side, row by row.
struct FieldBlock {
    QVector<Field> left;
    QVector<Field> right;
};

// The current data of the page, or one row of its result table.
struct DataSection {
    QString title;  // a heading below the header block, or a record's own page title
    Field time;
    QString dataHeading;
    FieldBlock fields;
    QString remarkHeading;
    QString remark;
};

struct ReportHeader {
    QString userHeading;
    QString testerHeading;
    FieldBlock userAndTester;  // the user's fields left, the tester's right
    QString objectHeading;
    QVector<Field> object;
};

// A table of the summary: a line of headers, then a line per row.
struct SummaryTable {
    QStringList headers;
    QVector<QStringList> rows;
};

// The results at a glance, on the pages after the first: a line per result
// row, the three-phase balance verdicts and the lines to sign.
struct ReportSummary {
    QString heading;  // repeated at the top of every page it takes
    SummaryTable results;
    QString legend;          // one line below the results: what their marks mean
    QString balanceHeading;  // with the balance table; no balance: empty
    SummaryTable balance;
    QStringList signatures;  // "测试人员：" …, side by side with room to sign after each
};

struct ReportContent {
    QString title;
    ReportHeader header;
    bool hasCurrentData = false;
    DataSection currentData;
    std::optional<ReportSummary> summary;
    QVector<DataSection> records;  // a page each
    FieldColumns columns = kDcColumns;
    QString pageFooter;  // "第 %1 页 / 共 %2 页" at the foot of every page; empty: no footer
};

// The texts of a record page that its table row does not hold.
struct RecordTexts {
    QString title;  // %1 takes the text of the row's column 0
    QString timeLabel;
    QString dataHeading;
    QString remarkHeading;
    QString label;  // %1 takes a column's header: "%1：" in Chinese
};

// One record per table row: column 1 is its time; columns 2 to remarkColumn / 2
// go to the left, the others before remarkColumn to the right, each labelled
// with its header in `texts.label`; remarkColumn holds the remark.
QVector<DataSection> recordSections(const TextTable& table, int remarkColumn, const RecordTexts& texts);

}  // namespace reports
