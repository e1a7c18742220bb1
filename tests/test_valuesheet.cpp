// Every kind of workbook gains a sheet of values: numbers in SI units, the
// test time as a date, empty where the text gives no value. Read back with
// openpyxl and converted to CSV by the spreadsheet program itself.

#include "analysis/judgement.h"
#include "reports/sessiontable.h"
#include "reports/workbookwriter.h"
#include "resources/programresources.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUrl>

#include <cmath>

namespace {

struct Case {
    const char* name;
    reports::TextTable table;
    const char* values;  // the values sheet as JSON rows, headers first; dates as "date:…"
};

reports::TextTable layoutTable(reports::ValueLayout layout, const QStringList& headers, const QVector<QStringList>& rows)
{
    reports::TextTable table = reports::listTable(headers, rows);
    table.values = layout;
    return table;
}

Case dcResults()
{
    reports::TextTable table = layoutTable(
        reports::ValueLayout::DcResults,
        {"序号", "测试时间", "试品编号", "试品材质", "试品温度", "折算温度", "环境温度", "分接", "相别", "绕组", "电流设置",
         "测试电流", "折算电阻", "测试电阻", "备注"},
        {{"1", "2026-12-07 09:30:00", "3", "铜", "+20.00℃", "75℃", "+21.5℃", "05", "A0", "高压", "10A", "10.00A",
          "15.123mΩ", "12.345mΩ", "铜"},
         {"2", "2026-12-07 09:31:05", "3", "铝", "-5.50℃", "115℃", "------℃", "17", "BC", "低压", "AUTO", "400.00mA",
          ">20.00KΩ", ">20.00KΩ", ""},
         {"3", "", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " ", " "}});
    table.settled = {true, false};  // the third row's is not known
    table.judgements = {analysis::Judgement{-1.25, analysis::Verdict::Watch}, std::nullopt};
    return {"dc results", table, R"json([
        ["序号","测试时间","试品编号","试品材质","试品温度 (℃)","折算温度 (℃)","环境温度 (℃)","分接","相别","绕组",
         "电流设置","测试电流 (A)","折算电阻 (Ω)","测试电阻 (Ω)","备注","读数已稳定","偏差 (%)","判定"],
        [1,"date:2026-12-07T09:30:00",3,"铜",20,75,21.5,5,"A0","高压","10A",10,0.015123,0.012345,"铜","是",-1.25,"注意"],
        [2,"date:2026-12-07T09:31:05",3,"铝",-5.5,115,null,17,"BC","低压","AUTO",0.4,null,null,null,"否",null,null],
        [3,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null,null]])json"};
}

Case lengthSession()
{
    const QStringList headers{"序号", "测试时间", "试品编号", "样品编号", "1米导线标称截面积", "标准值设置", "标准值",
                              "环境温度", "电流设置", "测试电流", "测试电阻", "导体长度", "备注"};
    store::Row first;
    first.cells = QStringList{"1", "2026-12-07 10:00:00", "2", "4", "1.5平方", "设定值", "12.100mΩ", "+19.0℃",
                              "AUTO", "5.00A", "148.500mΩ", "12.27M", "卷 1"};
    first.settled = true;
    store::Row second;
    second.cells = QStringList{"2", "2026-12-07 10:02:00", "2", "5", "10平方", "测试值", "1.831μΩ", "+19.0℃",
                               "1A", "1.00A", "2.197Ω", "1.200KM", ""};
    return {"length results, from the history", reports::sessionTable(headers, {first, second}, store::TableKind::LengthResults),
            R"json([
        ["序号","测试时间","试品编号","样品编号","1米导线标称截面积 (mm²)","标准值设置","标准值 (Ω)","环境温度 (℃)",
         "电流设置","测试电流 (A)","测试电阻 (Ω)","导体长度 (m)","备注","读数已稳定"],
        [1,"date:2026-12-07T10:00:00",2,4,1.5,"设定值",0.0121,19,"AUTO",5,0.1485,12.27,"卷 1","是"],
        [2,"date:2026-12-07T10:02:00",2,5,10,"测试值",1.831e-6,19,"1A",1,2.197,1200,null,null]])json"};
}

Case storedRecords()
{
    const QStringList headers{"序号", "测试时间", "试品编号", "测试电流", "测试电阻", "导体长度", "样品编号",
                              "1米导线标称截面积", "1米标准值", "试品材质", "试品温度", "折算温度", "分接", "相别",
                              "绕组", "折算电阻"};
    return {"stored records",
            layoutTable(reports::ValueLayout::StoredRecords, headers,
                        {{"0001", "2025-01-31 23:59:59", "7", "10.00A", "1.2345KΩ", "0.350KM", "2", "2.5平方",
                          "3.210mΩ", "铝", "+23.00", "75℃", "09", "C0", "低压", "1.5000KΩ"}}),
            R"json([
        ["序号","测试时间","试品编号","测试电流 (A)","测试电阻 (Ω)","导体长度 (m)","样品编号","1米导线标称截面积 (mm²)",
         "1米标准值 (Ω)","试品材质","试品温度 (℃)","折算温度 (℃)","分接","相别","绕组","折算电阻 (Ω)"],
        [1,"date:2025-01-31T23:59:59",7,10,1234.5,350,2,2.5,0.00321,"铝",23,75,9,"C0","低压",1500]])json"};
}

Case balance()
{
    return {"balance",
            layoutTable(reports::ValueLayout::Balance,
                        {"绕组", "分接", "相别", "电阻", "依据", "不平衡率", "限值", "结论"},
                        {{"高压", "05", "A0/B0/C0", "12.345/12.346/12.400 mΩ", "折算电阻", "0.445 %", "2.00 %", "合格"},
                         {"低压", "05", "AB/BC/AC", "AB 第 1 行  BC 缺  AC 第 3 行", "", "", "2.00 %", "不完整"}}),
            R"json([
        ["绕组","分接","相别","电阻 1 (Ω)","电阻 2 (Ω)","电阻 3 (Ω)","依据","不平衡率 (%)","限值 (%)","结论"],
        ["高压",5,"A0/B0/C0",0.012345,0.012346,0.0124,"折算电阻",0.445,2,"合格"],
        ["低压",5,"AB/BC/AC",null,null,null,null,null,2,"不完整"]])json"};
}

std::vector<Case> cases()
{
    return {dcResults(), lengthSession(), storedRecords(), balance()};
}

QJsonArray expectedValues(const Case& c)
{
    return QJsonDocument::fromJson(QByteArray("{\"rows\":") + c.values + "}").object()["rows"].toArray();
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        qWarning() << program << arguments << process.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What openpyxl reads in the workbook: its sheets' names, the values sheet's
// cells with their types, its frozen pane and column widths, and whether its
// first sheet is byte for byte that of the workbook of texts alone.
QJsonObject readBack(const QString& xlsx, const QString& textsOnly)
{
    static const char* const script = R"PY(
import datetime, json, sys, zipfile, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[1]
def cell(v):
    return 'date:' + v.isoformat() if isinstance(v, datetime.datetime) else v
first = lambda path: zipfile.ZipFile(path).read('xl/worksheets/sheet1.xml')
print(json.dumps({
    'names': wb.sheetnames,
    'rows': [[cell(c.value) for c in row] for row in ws.iter_rows()],
    'numeric': all(c.data_type == 'n' for row in ws.iter_rows(min_row=2) for c in row
                   if isinstance(c.value, (int, float))),
    'frozen': ws.freeze_panes,
    'widths': [ws.column_dimensions[openpyxl.utils.get_column_letter(i)].width for i in range(1, ws.max_column + 1)],
    'firstSheetAsBefore': first(sys.argv[1]) == first(sys.argv[2]),
}, ensure_ascii=False))
)PY";
    const QString json = run(QStringLiteral(SYSTEM_PYTHON), {QStringLiteral("-c"), QLatin1String(script), xlsx, textsOnly});
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

bool sameValue(const QJsonValue& read, const QJsonValue& expected)
{
    if (expected.isDouble() && read.isDouble())
        return std::fabs(read.toDouble() - expected.toDouble()) <= 1e-12 * std::max(1.0, std::fabs(expected.toDouble()));
    return read == expected;
}

// The cell as the spreadsheet program shows it in CSV: numbers in its
// general format, dates in the cell's format, an empty cell as nothing.
bool sameShown(const QString& shown, const QJsonValue& expected)
{
    if (expected.isNull())
        return shown.isEmpty();
    if (expected.isDouble()) {
        bool ok = false;
        const double value = shown.toDouble(&ok);
        return ok && std::fabs(value - expected.toDouble()) <= 1e-9 * std::max(1.0, std::fabs(expected.toDouble()));
    }
    QString text = expected.toString();
    if (text.startsWith(QLatin1String("date:")))
        text = text.mid(5).replace(QLatin1Char('T'), QLatin1Char(' '));
    return shown == text;
}

// Rows of a CSV that quotes no separator, as the conversion writes these sheets.
QVector<QStringList> csvRows(const QString& path)
{
    QFile file(path);
    QVector<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly))
        return rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList cells = line.split(QLatin1Char(','));
        for (QString& cell : cells) {
            if (cell.size() >= 2 && cell.startsWith(QLatin1Char('"')) && cell.endsWith(QLatin1Char('"')))
                cell = cell.mid(1, cell.size() - 2);
        }
        rows << cells;
    }
    return rows;
}

}  // namespace

class TestValueSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerProgramResources(); }

    void readByOpenpyxl_data()
    {
        QTest::addColumn<int>("index");
        const std::vector<Case> all = cases();
        for (std::size_t i = 0; i < all.size(); ++i)
            QTest::newRow(all[i].name) << int(i);
    }

    void readByOpenpyxl()
    {
        QFETCH(int, index);
        const Case c = cases()[std::size_t(index)];
        const QString path = dir.filePath("values.xlsx");
        const QString textsOnly = dir.filePath("texts.xlsx");
        QString error;
        QVERIFY2(reports::writeWorkbook(path, c.table, &error), qPrintable(error));
        reports::TextTable texts = c.table;
        texts.values = reports::ValueLayout::None;
        QVERIFY(reports::writeWorkbook(textsOnly, texts));

        const QJsonObject book = readBack(path, textsOnly);
        QCOMPARE(book["names"].toArray(), QJsonArray({"Sheet1", "数值"}));
        QVERIFY(book["firstSheetAsBefore"].toBool());
        QCOMPARE(book["frozen"].toString(), QString("A2"));
        QVERIFY(book["numeric"].toBool());
        const QJsonArray rows = book["rows"].toArray();
        const QJsonArray expected = expectedValues(c);
        QCOMPARE(rows.size(), expected.size());
        for (int r = 0; r < expected.size(); ++r) {
            const QJsonArray read = rows[r].toArray();
            const QJsonArray wanted = expected[r].toArray();
            QCOMPARE(read.size(), wanted.size());
            for (int column = 0; column < wanted.size(); ++column)
                QVERIFY2(sameValue(read[column], wanted[column]),
                         qPrintable(QString("row %1 column %2: %3, not %4")
                                        .arg(r)
                                        .arg(column)
                                        .arg(QString(QJsonDocument(QJsonArray{read[column]}).toJson(QJsonDocument::Compact)),
                                             QString(QJsonDocument(QJsonArray{wanted[column]}).toJson(QJsonDocument::Compact)))));
        }
        // Each column is as wide as its widest cell, the header included (ideographs count double).
        const QJsonArray widths = book["widths"].toArray();
        for (int column = 0; column < widths.size(); ++column)
            QVERIFY2(widths[column].toDouble() >= expected[0].toArray()[column].toString().size() + 2,
                     qPrintable(expected[0].toArray()[column].toString()));
        if (c.table.values == reports::ValueLayout::DcResults)
            QVERIFY(widths[1].toDouble() >= 19);  // the test time
    }

    // A character a workbook cannot carry is left out of both sheets, and
    // counted once for the operator.
    void leftOutCharacterCountedOnce()
    {
        reports::TextTable table = dcResults().table;
        const auto cells = table.cell;
        table.cell = [cells](int row, int column) {
            return column == 14 ? QString::fromLatin1("a\x01b") : cells(row, column);
        };
        int dropped = -1;
        QVERIFY(reports::writeWorkbook(dir.filePath("odd.xlsx"), table, nullptr, {}, &dropped));
        QCOMPARE(dropped, table.rowCount);
    }

    // In English the sheet, its headers, the recorded list texts, the settled
    // flag and the verdict are English; the remark stays as written.
    void followsTheLanguageInForce()
    {
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/lang_en.qm")));
        QCoreApplication::installTranslator(&english);
        const QString path = dir.filePath("english.xlsx");
        const bool written = reports::writeWorkbook(path, dcResults().table);
        QCoreApplication::removeTranslator(&english);
        QVERIFY(written);

        const QJsonObject book = readBack(path, path);
        QCOMPARE(book["names"].toArray(), QJsonArray({"Sheet1", "Values"}));
        const QJsonArray rows = book["rows"].toArray();
        QCOMPARE(rows[0].toArray()[13], QJsonValue("Tested Res. (Ω)"));
        const QJsonArray first = rows[1].toArray();
        QCOMPARE(first[3], QJsonValue("Cu"));
        QCOMPARE(first[9], QJsonValue("High"));
        QCOMPARE(first[14], QJsonValue("铜"));
        QCOMPARE(first[15], QJsonValue("Yes"));
        QCOMPARE(first[17], QJsonValue("Watch"));
    }

    // One run of the spreadsheet program converts every kind, each sheet to a
    // CSV of its own, through a profile of its own in the test's folder.
    void convertedBySpreadsheetProgram()
    {
        const std::vector<Case> all = cases();
        QStringList arguments{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(dir.filePath("profile")).toString(),
                              QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                              // UTF-8, every sheet (the last field), cells as shown
                              QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1"),
                              QStringLiteral("--outdir"), dir.filePath("csv")};
        for (std::size_t i = 0; i < all.size(); ++i) {
            const QString path = dir.filePath(QStringLiteral("kind%1.xlsx").arg(i));
            QVERIFY(reports::writeWorkbook(path, all[i].table));
            arguments << path;
        }
        run(QStringLiteral("soffice"), arguments);

        for (std::size_t i = 0; i < all.size(); ++i) {
            const Case& c = all[i];
            const QString stem = dir.filePath(QStringLiteral("csv/kind%1-").arg(i));
            const QVector<QStringList> texts = csvRows(stem + "Sheet1.csv");
            const QVector<QStringList> values = csvRows(stem + "数值.csv");
            const QJsonArray expected = expectedValues(c);
            QCOMPARE(texts.size(), c.table.rowCount + 1);
            QCOMPARE(values.size(), expected.size());
            for (int r = 0; r < c.table.rowCount; ++r) {
                for (int column = 0; column < c.table.columnCount(); ++column)
                    QCOMPARE(texts[r + 1].value(column).trimmed(), c.table.cell(r, column).trimmed());
            }
            for (int r = 0; r < expected.size(); ++r) {
                const QJsonArray wanted = expected[r].toArray();
                for (int column = 0; column < wanted.size(); ++column)
                    QVERIFY2(sameShown(values[r].value(column), wanted[column]),
                             qPrintable(QString("%1, row %2 column %3: %4")
                                            .arg(c.name)
                                            .arg(r)
                                            .arg(column)
                                            .arg(values[r].value(column))));
            }
        }
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestValueSheet)
#include "test_valuesheet.moc"
