// The report's summary pages and page footers: a DC session of nine tappings
// by three phases, judged and not, in both languages; a session too long for
// one page; the length page's summary. Read back with pdftotext.

#include "app/chinesefonts.h"
#include "app/reportsummary.h"
#include "app/settledmark.h"
#include "reports/reportpainter.h"
#include "resources/programresources.h"
#include "tests/exportreaders.h"

#include <QtTest>

#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTranslator>

using namespace exportreaders;

namespace {

const QStringList kDcHeaders = {"序号", "测试时间", "试品编号", "试品材质", "试品温度", "折算温度", "环境温度", "分接",
                                "相别", "绕组", "电流设置", "测试电流", "折算电阻", "测试电阻", "备注"};
const QStringList kLengthHeaders = {"序号",   "测试时间", "试品编号", "样品编号", "1米导线标称截面积", "标准值设置", "标准值",
                                    "环境温度", "电流设置", "测试电流", "测试电阻", "导体长度", "备注"};

// Row r of a session that tests A0, B0 and C0 of the high-voltage winding at
// each tapping in turn, as the table holds it; every fifth reading had not settled.
QList<QStandardItem*> dcRow(int r)
{
    const QString phase = QStringList{"A0", "B0", "C0"}[r % 3];
    const QString tapping = QStringLiteral("%1").arg(r / 3 + 1, 2, 10, QLatin1Char('0'));
    const QString ohms = QString::number(12.000 + 0.1 * (r / 3) + 0.01 * (r % 3), 'f', 3) + "mΩ";
    const QStringList texts{QString::number(r + 1), "2024-03-05 14:07:09", "1", "铜", "+20.0℃", "75℃", "+18.0℃",
                            tapping, phase, "高压", "10A", "10.00A", ohms, ohms, ""};
    QList<QStandardItem*> items;
    for (const QString& text : texts)
        items << new QStandardItem(text);
    markSettled(items.first(), r % 5 != 4);
    return items;
}

// The headers in the language in force, as the window's table has them.
std::unique_ptr<QStandardItemModel> dcSession(int rows)
{
    auto model = std::make_unique<QStandardItemModel>();
    QStringList headers;
    for (const QString& header : kDcHeaders)
        headers << QCoreApplication::translate("MainWindow", header.toUtf8().constData());
    model->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows; ++r)
        model->appendRow(dcRow(r));
    return model;
}

// Row 2 within the first band, row 3 in the second, row 4 beyond; row 1 has no reference.
analysis::Judgements judgementsOf(int rows)
{
    analysis::Judgements judgements(std::size_t(rows), analysis::Judgement{0.25, analysis::Verdict::Pass});
    judgements[0] = std::nullopt;
    judgements[2] = analysis::Judgement{-1.5, analysis::Verdict::Watch};
    judgements[3] = analysis::Judgement{2.125, analysis::Verdict::Fail};
    return judgements;
}

reports::ReportContent reportOf(const QStandardItemModel& model, const reports::ReportSummary& summary)
{
    reports::ReportContent content;
    content.title = "直流电阻测量报告";
    content.header.userHeading = "用户信息";
    content.header.objectHeading = "测量对象";
    content.summary = summary;
    for (int r = 0; r < model.rowCount(); ++r)
        content.records.append({QStringLiteral("记录 %1").arg(r + 1), {}, "数据", {}, "备注", {}});
    content.pageFooter = QCoreApplication::translate("MainWindow", "第 %1 页 / 共 %2 页");
    return content;
}

QString compact(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// The lines of a page that begin with a row number, keyed by it.
QHash<int, QString> numberedLines(const QString& page)
{
    QHash<int, QString> found;
    const QRegularExpression numbered(QStringLiteral("^(\\d+)\\s"));
    for (const QString& line : lines(page)) {
        const QRegularExpressionMatch match = numbered.match(line);
        if (match.hasMatch())
            found.insert(match.captured(1).toInt(), line);
    }
    return found;
}

}  // namespace

class TestReportSummary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerProgramResources();
        QVERIFY2(!installChineseFontSubstitutes().isEmpty(), "no Chinese font installed");
        QVERIFY(dir.isValid());
    }

    void nineTapSessionSummarisesOnItsOwnPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("judged");
        QTest::addColumn<QStringList>("texts");     // on the summary page
        QTest::addColumn<QString>("footer");        // of the last page, without spaces
        QTest::newRow("Chinese, no baseline")
            << "zh" << false
            << QStringList{"结果汇总", "稳定", "三相平衡", "A0/B0/C0", "合格", "测试人员：", "审核人员：", "日期：", "高压"}
            << "第29页/共29页";
        QTest::newRow("Chinese, judged")
            << "zh" << true << QStringList{"偏差 (%)", "判定", "+0.250", "-1.500", "+2.125", "注意", "不合格"}
            << "第29页/共29页";
        QTest::newRow("English, judged")
            << "en" << true
            << QStringList{"Summary of results", "Settled", "Verdict", "Watch", "Fail", "Tested by:",
                           "Reviewed by:", "Date:", "High"}
            << "Page29of29";
    }

    // 27 rows, 9 balance groups and the lines to sign on page 2 alone; every
    // page numbered; no Chinese left in the English summary.
    void nineTapSessionSummarisesOnItsOwnPage()
    {
        QFETCH(QString, language);
        QFETCH(bool, judged);
        QFETCH(QStringList, texts);
        QFETCH(QString, footer);
        QTranslator english;
        if (language == "en") {
            QVERIFY(english.load(":/lang_en.qm"));
            QCoreApplication::installTranslator(&english);
        }
        const auto model = dcSession(27);
        const reports::ReportSummary summary = dcReportSummary(*model, judged ? judgementsOf(27) : analysis::Judgements{}, {});
        const reports::ReportContent content = reportOf(*model, summary);
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(summary.balance.rows.size(), 9);

        const QString path = dir.filePath("session.pdf");
        QString error;
        QVERIFY2(reports::writePdfReport(path, content, &error), qPrintable(error));
        QCOMPARE(pdfPageCount(path), 1 + 1 + 27);

        const QString page = pdfPageText(path, 2);
        for (const QString& text : texts)
            QVERIFY2(page.contains(text), qPrintable(text + "\n" + page));
        QVERIFY2(!page.contains("…"), qPrintable(page));  // every header and cell fits its column
        if (language == "en")
            QVERIFY2(!page.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")), qPrintable(page));
        // A line per result row with its settled mark, the judged rows with their verdict.
        const QHash<int, QString> rows = numberedLines(page);
        for (int r = 1; r <= 27; ++r) {
            QVERIFY2(rows.contains(r), qPrintable(QString::number(r) + "\n" + page));
            QVERIFY2(rows[r].contains(r % 5 == 0 ? "○" : "●"), qPrintable(rows[r]));
        }
        if (judged)
            QVERIFY2(rows[1].endsWith("●"), qPrintable(rows[1]));
        QCOMPARE(lines(pdfPageText(path, 3)).first(), QStringLiteral("记录 1"));
        QVERIFY(!pdfPageText(path, 3).contains(summary.heading));

        for (int p = 1; p <= 29; ++p) {
            const QString expected = language == "en" ? QStringLiteral("Page%1of29").arg(p)
                                                      : QStringLiteral("第%1页/共29页").arg(p);
            QVERIFY2(compact(lines(pdfPageText(path, p)).last()) == expected, qPrintable(QString::number(p)));
        }
        QCOMPARE(compact(lines(pdfPageText(path, 29)).last()), footer);
    }

    // A session too long for a page: each summary page repeats the heading
    // and the table's header, every row is listed once, the records follow.
    void longSessionCarriesTheTableOverPages()
    {
        const auto model = dcSession(90);
        const reports::ReportSummary summary = dcReportSummary(*model, {}, {});
        const QString path = dir.filePath("long.pdf");
        QVERIFY(reports::writePdfReport(path, reportOf(*model, summary)));
        const int pages = pdfPageCount(path);
        int firstRecord = 2;
        while (firstRecord <= pages && lines(pdfPageText(path, firstRecord)).first() != "记录 1")
            ++firstRecord;
        QCOMPARE(pages, firstRecord - 1 + 90);
        QVERIFY2(firstRecord >= 4, qPrintable(QString::number(firstRecord)));

        QList<int> listed;
        for (int p = 2; p < firstRecord; ++p) {
            const QString page = pdfPageText(path, p);
            QCOMPARE(lines(page).first(), QStringLiteral("结果汇总"));
            const QHash<int, QString> rows = numberedLines(page);
            if (!rows.isEmpty())
                QVERIFY2(page.contains("序号"), qPrintable(QString::number(p)));
            listed << rows.keys();
        }
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed.size(), 90);
        QCOMPARE(listed.first(), 1);
        QCOMPARE(listed.last(), 90);
        QVERIFY(pdfPageText(path, firstRecord - 1).contains("日期："));
    }

    // Pages that a long remark adds are counted too: the last page names itself
    // as the last, and no line of the remark runs into the footer.
    void footerCountsThePagesOfLongRemarks()
    {
        const auto model = dcSession(3);
        reports::ReportContent content = reportOf(*model, dcReportSummary(*model, {}, {}));
        for (reports::DataSection& record : content.records) {
            for (int i = 0; record.remark.size() < 1500; ++i)
                record.remark += QStringLiteral("第%1次测量结果正常，").arg(i);
        }
        const QString path = dir.filePath("remarks.pdf");
        QVERIFY(reports::writePdfReport(path, content));
        const int pages = pdfPageCount(path);
        QVERIFY2(pages >= 2 + 2 * 3, qPrintable(QString::number(pages)));
        for (int p = 1; p <= pages; ++p) {
            QCOMPARE(compact(lines(pdfPageText(path, p)).last()), QStringLiteral("第%1页/共%2页").arg(p).arg(pages));
        }
    }

    // Without a baseline the tab judges no row: the summary has no deviation columns.
    void unjudgedRowsAddNoColumns()
    {
        const auto model = dcSession(3);
        const analysis::Judgements none(3);
        const reports::ReportSummary summary = dcReportSummary(*model, none, {});
        QCOMPARE(summary.results.headers.size(), 8);
        QCOMPARE(summary.results.rows.value(2).size(), 8);
    }

    // The length page lists its own columns and has no balance.
    void lengthSummaryHasItsOwnColumns()
    {
        QStandardItemModel model;
        model.setHorizontalHeaderLabels(kLengthHeaders);
        QList<QStandardItem*> items;
        for (const QString& text : QStringList{"1", "2024-03-05 14:07:09", "3", "4", "2.5平方", "设定值", "1.0000Ω",
                                               "+18.0℃", "AUTO", "1.000A", "7.410mΩ", "1.000m", ""})
            items << new QStandardItem(text);
        model.appendRow(items);
        const reports::ReportSummary summary = lengthReportSummary(model);
        QCOMPARE(summary.results.headers,
                 (QStringList{"序号", "试品编号", "样品编号", "测试电流", "测试电阻", "导体长度", "稳定"}));
        QCOMPARE(summary.results.rows.value(0), (QStringList{"1", "3", "4", "1.000A", "7.410mΩ", "1.000m", ""}));
        QVERIFY(summary.balance.rows.isEmpty());
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(TestReportSummary)
#include "test_reportsummary.moc"
