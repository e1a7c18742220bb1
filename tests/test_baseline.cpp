#include "analysis/baselinefile.h"
#include "analysis/deviation.h"
#include "dcresultcells.h"

#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

using analysis::BaselineEntry;
using analysis::Verdict;

Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(analysis::DcResult)
Q_DECLARE_METATYPE(BaselineEntry)

namespace {

const QByteArray kHeader = "winding,tapping,phase,resistance_ohm,temperature_c,material\n";

analysis::DcResult dcRow(const QString& phase, const QString& measured, const QString& tapping,
                         const QString& winding, const QString& material, const QString& conductorTemp,
                         const QString& referenceTemp)
{
    return analysis::dcResultFromCells(
        dcCells(phase, measured, QStringLiteral(" "), tapping, winding, material, conductorTemp, referenceTemp));
}

// A workbook as a spreadsheet program leaves it: the sheet's texts partly
// shared (one of them in formatted runs), partly inline, the numbers as numbers.
bool writeWorkbook(const QString& path)
{
    const QList<QPair<const char*, QByteArray>> parts{
        {"[Content_Types].xml", "<?xml version=\"1.0\"?><Types/>"},
        {"xl/workbook.xml",
         "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
         "<sheet name=\"Ref\" sheetId=\"1\" r:id=\"rId7\"/><sheet name=\"Other\" sheetId=\"2\" r:id=\"rId8\"/>"
         "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId8\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId7\" Target=\"/xl/worksheets/sheet2.xml\"/></Relationships>"},
        {"xl/sharedStrings.xml",
         "<sst><si><t>winding</t></si><si><t>tapping</t></si><si><t>phase</t></si><si><t>resistance_ohm</t></si>"
         "<si><t>temperature_c</t></si><si><t>material</t></si>"
         "<si><r><t>高</t></r><r><t>压</t></r><rPh><t>こう</t></rPh></si></sst>"},
        {"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row r=\"1\"><c t=\"s\"><v>0</v></c></row>"
                                     "</sheetData></worksheet>"},
        {"xl/worksheets/sheet2.xml",
         "<worksheet><sheetData>"
         "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c>"
         "<c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" t=\"s\"><v>5</v></c></row>"
         "<row r=\"3\"><c r=\"A3\" t=\"s\"><v>6</v></c><c r=\"B3\"><v>3</v></c>"
         "<c r=\"C3\" t=\"inlineStr\"><is><t>ab</t></is></c><c r=\"D3\"><v>1.2345E-2</v></c>"
         "<c r=\"E3\"><v>21.5</v></c><c r=\"F3\" t=\"inlineStr\"><is><t>Al</t></is></c></row>"
         "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t>LV</t></is></c><c r=\"B4\"><v>5</v></c>"
         "<c r=\"C4\" t=\"inlineStr\"><is><t>A0</t></is></c><c r=\"E4\"><v>20</v></c>"
         "<c r=\"F4\" t=\"inlineStr\"><is><t>Cu</t></is></c></row>"
         "</sheetData></worksheet>"},
    };
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool written = true;
    for (const auto& [name, bytes] : parts) {
        written = written && zipOpenNewFileInZip64(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                                   Z_DEFAULT_COMPRESSION, 0) == ZIP_OK
                  && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK
                  && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && written;
}

}  // namespace

class TestBaseline : public QObject
{
    Q_OBJECT

private slots:
    void csvLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("badLine");  // 0: read

        QTest::newRow("with mark, CRLF, quotes and any case")
            << QByteArray("\xEF\xBB\xBF" "Winding,Tapping,Phase,Resistance_Ohm,Temperature_C,Material\r\n"
                          "高压,05,ab,0.5,20,铜\r\n\r\n"
                          "\"low\",\"1,2\",bc,\"1e-3\",-5,al\r\n")
            << 0;
        QTest::newRow("unknown winding") << kHeader + "HV,1,A0,1,20,Cu\nMV,1,A0,1,20,Cu\n" << 3;
        QTest::newRow("unknown phase") << kHeader + "HV,1,A1,1,20,Cu\n" << 2;
        QTest::newRow("unknown material") << kHeader + "HV,1,A0,1,20,Fe\n" << 2;
        QTest::newRow("zero resistance") << kHeader + "HV,1,A0,1,20,Cu\nHV,2,A0,0,20,Cu\n" << 3;
        QTest::newRow("resistance not a number") << kHeader + "HV,1,A0,1 mΩ,20,Cu\n" << 2;
        QTest::newRow("temperature not a number") << kHeader + "HV,1,A0,1,,Cu\n" << 2;
        QTest::newRow("missing column") << kHeader + "HV,1,A0,1,20\n" << 2;
        QTest::newRow("line numbers count a quoted line break")
            << kHeader + "HV,\"1\n2\",A0,1,20,Cu\nHV,1,A0,x,20,Cu\n" << 4;
        QTest::newRow("header without material") << QByteArray("winding,tapping,phase,resistance_ohm,temperature_c\n")
                                                 << 1;
    }

    void csvLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, badLine);
        const analysis::BaselineFileRead read = analysis::readBaselineCsv(text);
        QCOMPARE(read.badLine, badLine);
        QCOMPARE(read.ok(), badLine == 0);
        if (badLine > 0) {
            QVERIFY(read.entries.isEmpty());
            QVERIFY2(read.problem.contains(QString::number(badLine)), qPrintable(read.problem));
            return;
        }
        QCOMPARE(read.entries, (QList<BaselineEntry>{{1, QStringLiteral("05"), QStringLiteral("AB"), 0.5, 20.0, 0},
                                                      {0, QStringLiteral("1,2"), QStringLiteral("BC"), 1e-3, -5.0, 1}}));
    }

    void anEmptyFileImportsNothing()
    {
        QVERIFY(!analysis::readBaselineCsv(QByteArray()).ok());
        QVERIFY(!analysis::readBaselineCsv(kHeader).ok());
    }

    // The first sheet in the workbook's order, whatever its part is called;
    // a row missing a cell is reported by its row number in the sheet.
    void workbookFirstSheet()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.xlsx"));
        QVERIFY(writeWorkbook(path));
        const std::optional<QList<analysis::TextRow>> rows = analysis::XlsxReader(path).firstSheet();
        QVERIFY(rows);
        QCOMPARE(rows->size(), 3);
        QCOMPARE(rows->at(1).line, 3);
        QCOMPARE(rows->at(1).cells, (QStringList{"高压", "3", "ab", "1.2345E-2", "21.5", "Al"}));
        QCOMPARE(rows->at(2).cells, (QStringList{"LV", "5", "A0", QString(), "20", "Cu"}));

        const analysis::BaselineFileRead read = analysis::readBaselineFile(path);
        QCOMPARE(read.badLine, 4);
        QVERIFY(read.entries.isEmpty());
        QCOMPARE(analysis::readBaselineRows(rows->mid(0, 2)).entries,
                 (QList<BaselineEntry>{{1, QStringLiteral("3"), QStringLiteral("AB"), 0.012345, 21.5, 1}}));
    }

    void notAWorkbook()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reference.xlsx"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kHeader + "HV,1,A0,1,20,Cu\n");
        file.close();
        const analysis::BaselineFileRead read = analysis::readBaselineFile(path);
        QVERIFY(!read.ok());
        QVERIFY(read.entries.isEmpty());
    }

    // Hand calculation: R·(T + θref)/(T + θ) for both values, then (row − reference)/reference × 100.
    void deviationFromBaseline_data()
    {
        QTest::addColumn<analysis::DcResult>("row");
        QTest::addColumn<BaselineEntry>("entry");
        QTest::addColumn<double>("rowOhms");
        QTest::addColumn<double>("referenceOhms");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<Verdict>("verdict");

        // 1.000 Ω × 310/255 = 1.215686 Ω against 0.990 Ω × 310/265 = 1.158113 Ω.
        QTest::newRow("copper at 75 ℃") << dcRow("AB", "1.000Ω", "05", "高压", "铜", "+20.00℃", "75℃")
                                       << BaselineEntry{1, "05", "AB", 0.990, 30.0, 0} << 1.215686 << 1.158113
                                       << 4.971281 << Verdict::Fail;
        // 2.000 mΩ × 245/260 = 1.884615 mΩ against 1.950 mΩ × 245/235 = 2.032979 mΩ.
        QTest::newRow("aluminium at 20 ℃") << dcRow("B0", "2.000mΩ", "3", "Low", "Al", "+35.00℃", "20℃")
                                          << BaselineEntry{0, "03", "B0", 1.950e-3, 10.0, 1} << 1.884615e-3
                                          << 2.032979e-3 << -7.297830 << Verdict::Fail;
        // Same temperatures: the deviation is that of the readings.
        QTest::newRow("on the pass edge") << dcRow("A0", "1.010Ω", "1", "高压", "铜", "+20.00℃", "75℃")
                                         << BaselineEntry{1, "1", "A0", 1.0, 20.0, 0} << 1.227843 << 1.215686
                                         << 1.0 << Verdict::Pass;
        QTest::newRow("on the watch edge") << dcRow("A0", "0.980Ω", "1", "高压", "铜", "+20.00℃", "75℃")
                                          << BaselineEntry{1, "1", "A0", 1.0, 20.0, 0} << 1.191373 << 1.215686
                                          << -2.0 << Verdict::Watch;
        QTest::newRow("just beyond") << dcRow("A0", "1.0201Ω", "1", "高压", "铜", "+20.00℃", "75℃")
                                    << BaselineEntry{1, "1", "A0", 1.0, 20.0, 0} << 1.240121 << 1.215686 << 2.01
                                    << Verdict::Fail;
        // The row's material counts: the entry's aluminium would give another figure.
        QTest::newRow("row's material") << dcRow("C0", "1.000Ω", "1", "高压", "铜", "+20.00℃", "75℃")
                                       << BaselineEntry{1, "1", "C0", 1.0, 25.0, 1} << 1.215686 << 1.192308
                                       << 1.960784 << Verdict::Watch;
    }

    void deviationFromBaseline()
    {
        QFETCH(analysis::DcResult, row);
        QFETCH(BaselineEntry, entry);
        QFETCH(double, rowOhms);
        QFETCH(double, referenceOhms);
        QFETCH(double, deviation);
        const analysis::Comparisons c = analysis::compareWithBaseline({row}, {entry}, analysis::JudgementLimits{});
        QCOMPARE(int(c.size()), 1);
        QVERIFY(c[0]);
        QVERIFY(qAbs(c[0]->rowOhms - rowOhms) <= rowOhms * 1e-6);
        QVERIFY(qAbs(c[0]->referenceOhms - referenceOhms) <= referenceOhms * 1e-6);
        QVERIFY2(qAbs(c[0]->judgement.deviationPercent - deviation) < 0.001,
                 qPrintable(QString::number(c[0]->judgement.deviationPercent, 'f', 6)));
        QTEST(c[0]->judgement.verdict, "verdict");
    }

    void rowsWithoutTheirReference()
    {
        const QList<BaselineEntry> baseline{{1, "05", "AB", 1.0, 20.0, 0}};
        const std::vector<analysis::DcResult> rows{
            dcRow("AB", "1.000Ω", "05", "低压", "铜", "+20.00℃", "75℃"),     // other winding
            dcRow("BC", "1.000Ω", "05", "高压", "铜", "+20.00℃", "75℃"),     // other phase
            dcRow("AB", "1.000Ω", "06", "高压", "铜", "+20.00℃", "75℃"),     // other tapping
            dcRow("AB", "------", "05", "高压", "铜", "+20.00℃", "75℃"),     // no reading
            dcRow("AB", "1.000Ω", "5", "High", "Cu", "+20.00℃", "75℃"),     // its own
        };
        const analysis::Judgements j =
            analysis::judgementsOf(analysis::compareWithBaseline(rows, baseline, analysis::JudgementLimits{}));
        QCOMPARE(int(j.size()), 5);
        QCOMPARE(std::count_if(j.begin(), j.end(), [](const auto& one) { return bool(one); }), 1L);
        QVERIFY(j[4] && qAbs(j[4]->deviationPercent) < 1e-9);
    }

    // The previous session's row, at its own conductor temperature, corrected to this row's reference.
    void deviationFromThePreviousSession()
    {
        const std::vector<analysis::DcResult> earlier{
            dcRow("AB", "0.900Ω", "05", "高压", "铜", "+15.00℃", "75℃"),
            dcRow("AB", "0.985Ω", "05", "高压", "铜", "+15.00℃", "75℃"),  // the repeated test counts
            dcRow("BC", "------", "05", "高压", "铜", "+15.00℃", "75℃"),
        };
        const std::vector<analysis::DcResult> now{dcRow("AB", "1.000Ω", "05", "高压", "铜", "+20.00℃", "75℃"),
                                                   dcRow("BC", "1.000Ω", "05", "高压", "铜", "+20.00℃", "75℃")};
        const analysis::Comparisons c = analysis::compareWithBaseline(
            now, analysis::referencesFromSession(earlier), analysis::JudgementLimits{0.4, 0.5});
        QVERIFY(c[0] && !c[1]);
        // 1.000 × 310/255 = 1.215686 against 0.985 × 310/250 = 1.221400.
        QVERIFY(qAbs(c[0]->judgement.deviationPercent - -0.467801) < 0.001);
        QCOMPARE(c[0]->judgement.verdict, Verdict::Watch);
    }
};

QTEST_GUILESS_MAIN(TestBaseline)
#include "test_baseline.moc"
