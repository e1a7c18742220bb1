// How fast the exports are: the stored-data table of 9999 records to a workbook,
// against the bare library writing the same texts in the same run, and the PDF
// report of DC result tables of growing length (the time should grow with the rows).
//
//   QT_QPA_PLATFORM=offscreen bench-exports [repeats]   (default 5)

#include "app/chinesefonts.h"
#include "reports/reportpainter.h"
#include "reports/texttable.h"
#include "reports/workbookwriter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kStoredRows = 9999;
constexpr int kStoredColumns = 16;

// Texts like those of an imported record.
QString storedCell(int row, int column)
{
    static const char* const texts[] = {"2024-03-05 14:07:09", "12", "10.00A", "1.2345mΩ", "", "", "", "",
                                        "铜", "+20.0℃", "75℃", "05", "AB", "高压", "1.5678mΩ"};
    return column == 0 ? QString::number(row + 1) : QString::fromUtf8(texts[(column - 1) % 15]);
}

void fillStoredModel(QStandardItemModel& model)
{
    model.setColumnCount(kStoredColumns);
    QStringList headers;
    for (int c = 0; c < kStoredColumns; ++c)
        headers << QStringLiteral("列%1").arg(c);
    model.setHorizontalHeaderLabels(headers);
    for (int r = 0; r < kStoredRows; ++r) {
        QList<QStandardItem*> row;
        for (int c = 0; c < kStoredColumns; ++c) {
            auto* item = new QStandardItem(storedCell(r, c));
            item->setTextAlignment(Qt::AlignCenter);
            item->setEditable(false);
            row << item;
        }
        model.appendRow(row);
    }
}

// The bare library: texts already in UTF-8, one centred format, constant memory.
void writeBare(const QByteArray& path, const std::vector<std::vector<QByteArray>>& cells)
{
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* centred = workbook_add_format(workbook);
    format_set_align(centred, LXW_ALIGN_CENTER);
    format_set_align(centred, LXW_ALIGN_VERTICAL_CENTER);
    worksheet_set_column(sheet, 0, kStoredColumns - 1, 20, nullptr);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), cells[r][c].constData(), centred);
    }
    workbook_close(workbook);
}

// What the export does besides writing: every text of the table, as UTF-8.
std::size_t readAsUtf8(const reports::TextTable& table)
{
    std::size_t bytes = 0;
    for (int r = 0; r < table.rowCount; ++r) {
        for (int c = 0; c < table.columnCount(); ++c)
            bytes += std::size_t(table.cell(r, c).toUtf8().size());
    }
    return bytes;
}

double elapsedMs(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return timer.nsecsElapsed() / 1e6;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double medianMs(int repeats, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i)
        times.push_back(elapsedMs(run));
    return median(times);
}

reports::ReportContent dcReport(int rows)
{
    QStringList headers{"序号", "测试时间", "试品编号", "试品材质", "试品温度", "折算温度", "环境温度", "分接",
                        "相别", "绕组", "电流设置", "测试电流", "折算电阻", "测试电阻", "备注"};
    QVector<QStringList> cells;
    for (int r = 0; r < rows; ++r)
        cells << QStringList{QString::number(r + 1), "2024-03-05 14:07:09", "12", "铜", "+20.0℃", "75℃", "18.5℃",
                             "05", "AB", "高压", "10A", "10.00A", "1.5678mΩ", "1.2345mΩ", "油温正常，接线良好"};
    reports::ReportContent content;
    content.title = "直流电阻测量报告";
    content.records = reports::recordSections(reports::listTable(headers, cells), 14,
                                              {"记录 %1", "测试时间：", "数据", "备注", "%1："});
    return content;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    installChineseFontSubstitutes();
    QLoggingCategory::setFilterRules(QStringLiteral("tester.reports.debug=false"));
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    QStandardItemModel model;
    fillStoredModel(model);
    std::vector<std::vector<QByteArray>> utf8(kStoredRows + 1);
    for (int c = 0; c < kStoredColumns; ++c)
        utf8[0].push_back(model.headerData(c, Qt::Horizontal).toString().toUtf8());
    for (int r = 0; r < kStoredRows; ++r) {
        for (int c = 0; c < kStoredColumns; ++c)
            utf8[r + 1].push_back(storedCell(r, c).toUtf8());
    }

    const QByteArray barePath = QFile::encodeName(dir.filePath("bare.xlsx"));
    const QString exportPath = dir.filePath("export.xlsx");
    // Taken in turns, so that a change in the machine's load hits both alike.
    std::vector<double> bareTimes, wholeTimes, withValuesTimes, readTimes;
    reports::TextTable withValues = reports::modelTable(model);
    withValues.values = reports::ValueLayout::StoredRecords;
    for (int i = 0; i < repeats; ++i) {
        bareTimes.push_back(elapsedMs([&] { writeBare(barePath, utf8); }));
        wholeTimes.push_back(elapsedMs([&] { reports::writeWorkbook(exportPath, reports::modelTable(model)); }));
        withValuesTimes.push_back(elapsedMs([&] { reports::writeWorkbook(exportPath, withValues); }));
        readTimes.push_back(elapsedMs([&] { readAsUtf8(reports::modelTable(model)); }));
    }
    const double bare = median(bareTimes);
    const double whole = median(wholeTimes);
    std::printf("workbook %d x %d, median of %d:\n", kStoredRows, kStoredColumns, repeats);
    std::printf("  bare library, constant memory    %8.1f ms\n", bare);
    std::printf("  export, model to closed file     %8.1f ms   %.2fx the bare library\n", whole, whole / bare);
    std::printf("    of which reading the model's texts as UTF-8 %8.1f ms\n", median(readTimes));
    std::printf("  export with its values sheet     %8.1f ms\n", median(withValuesTimes));

    std::printf("PDF report of a DC result table, median of %d:\n", repeats);
    double perRowAt125 = 0;
    for (int rows : {125, 250, 500}) {
        const reports::ReportContent content = dcReport(rows);
        const QString path = dir.filePath(QStringLiteral("report%1.pdf").arg(rows));
        const double ms = medianMs(repeats, [&] { reports::writePdfReport(path, content); });
        if (rows == 125)
            perRowAt125 = ms / rows;
        std::printf("  %4d rows (%4d pages)  %8.1f ms   %.2f ms a row   %.2fx the rate at 125 rows\n", rows,
                    rows + 1, ms, ms / rows, (ms / rows) / perRowAt125);
    }
    return 0;
}
