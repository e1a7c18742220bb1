// The reports library without a window: workbooks read back by openpyxl, PDF
// reports read back by poppler's tools, the proposed file names, and the
// report header dialog with its INI file.

#include "app/chinesefonts.h"
#include "reports/exportpaths.h"
#include "reports/pdftextlayer.h"
#include "tests/exportreaders.h"
#include "dialogs/pdfsettingdialog.h"
#include "reports/reportpainter.h"
#include "reports/workbookwriter.h"

#include <QtTest>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QJsonArray>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace exportreaders;

namespace {

const QStringList kDcHeaders = {"序号", "测试时间", "试品编号", "试品材质", "试品温度", "折算温度", "环境温度", "分接",
                                "相别", "绕组", "电流设置", "测试电流", "折算电阻", "测试电阻", "备注"};

QStringList numberedHeaders(int count)
{
    QStringList headers{"序号"};
    for (int c = 1; c < count; ++c)
        headers << QStringLiteral("列%1").arg(c);
    return headers;
}

// Row r: its number, then texts as the tables hold them (units, blanks, numbers).
QStringList sampleRow(int r, int columns)
{
    const QStringList texts = {"2024-03-05 14:07:09", " ", "0.1234", "铜", "+20.0℃", "12.34μΩ", "AB", "低压"};
    QStringList row{QString::number(r + 1)};
    for (int c = 1; c < columns; ++c)
        row << texts[(r + c - 1) % texts.size()];
    return row;
}

reports::DataSection section(const QString& title, const QString& remark, int fieldCount = 6)
{
    reports::DataSection s;
    s.title = title;
    s.time = {"测试时间：", "2024-03-05 14:07:09"};
    s.dataHeading = "数据";
    s.remarkHeading = "备注";
    s.remark = remark;
    for (int i = 0; i < fieldCount; ++i) {
        s.fields.left.append({QStringLiteral("左%1：").arg(i), QStringLiteral("LV%1").arg(i)});
        s.fields.right.append({QStringLiteral("右%1：").arg(i), QStringLiteral("RV%1").arg(i)});
    }
    return s;
}

reports::ReportContent content(int records, bool current, const QString& remark = QString())
{
    reports::ReportContent c;
    c.title = "直流电阻测量报告";
    c.header.userHeading = "用户信息";
    c.header.testerHeading = "测试仪信息";
    c.header.userAndTester.left = {{"公司：", "华东电力"}, {"姓名：", "张三"}, {"联系方式：", "13800000000"}};
    c.header.userAndTester.right = {{"名称：", "直流电阻测试仪"}, {"型号：", "DC-10A"}, {}};
    c.header.objectHeading = "测量对象";
    c.header.object = {{"名称：", "主变压器"}, {"场景：", "变电站"}};
    c.hasCurrentData = current;
    if (current)
        c.currentData = section("当前数据", remark);
    for (int r = 1; r <= records; ++r)
        c.records.append(section(QStringLiteral("记录 %1").arg(r), remark));
    return c;
}

// Every name in the folder, hidden ones, pipes and dangling links included.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString compact(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

}  // namespace

class TestReports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The documents folder is not moved by the test mode: a home of our own.
        QVERIFY(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(!installChineseFontSubstitutes().isEmpty(), "no Chinese font installed");
        QVERIFY(dir.isValid());
    }

    // --- workbooks -----------------------------------------------------------

    void workbookHoldsTheTableAsCentredStrings_data()
    {
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<int>("rows");
        QTest::newRow("DC results, two rows") << kDcHeaders << 2;
        QTest::newRow("header only") << numberedHeaders(3) << 0;
        QTest::newRow("stored table of 9999 rows") << numberedHeaders(16) << 9999;
    }

    // The first rows are compared cell by cell, the last one whole.
    void workbookHoldsTheTableAsCentredStrings()
    {
        QFETCH(QStringList, headers);
        QFETCH(int, rows);
        QVector<QStringList> cells;
        for (int r = 0; r < rows; ++r)
            cells << sampleRow(r, headers.size());
        if (rows > 0)
            cells[0][2].clear();  // an empty cell is still written centred
        const QString path = dir.filePath("table.xlsx");
        QString error;
        QVERIFY2(reports::writeWorkbook(path, reports::listTable(headers, cells), &error), qPrintable(error));

        const QJsonObject book = workbookSummary(path, 3);
        QCOMPARE(book["sheets"].toInt(), 1);
        QCOMPARE(book["rows"].toInt(), rows + 1);
        QCOMPARE(book["columns"].toInt(), headers.size());
        QCOMPARE(book["odd"].toArray(), QJsonArray());
        for (int c = 1; c <= headers.size(); ++c)
            QCOMPARE(book["widths"].toObject()[QString::number(c)].toDouble(), kStoredWidth20);
        const QJsonArray first = book["first"].toArray();
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(first[0].toArray()[c].toString(), headers[c]);
        for (int r = 0; r < qMin(rows, 2); ++r) {
            for (int c = 0; c < headers.size(); ++c)
                QCOMPARE(first[r + 1].toArray()[c].toString(), cells[r][c]);
        }
        if (rows == 0)
            return;
        QCOMPARE(first[1].toArray()[0], QJsonValue("1"));  // a string, not the number 1
        QCOMPARE(book["last"].toArray(), QJsonArray::fromStringList(cells.last()));
    }

    void overlongTextIsCutAtTheCellLimit()
    {
        const QString remark = QString(reports::kMaxCellCharacters + 100, QLatin1Char('x'));
        const QString path = dir.filePath("long.xlsx");
        QVERIFY(reports::writeWorkbook(path, reports::listTable({"备注"}, {{remark}})));
        const QJsonObject book = workbookSummary(path);
        QCOMPARE(book["first"].toArray()[1].toArray()[0].toString().size(), reports::kMaxCellCharacters);
    }

    // Each case holds a character XML 1.0 forbids (or a supplementary one it
    // takes); openpyxl refuses a sheet that is not well-formed.
    void workbookLeavesOutWhatXmlCannotCarry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("dropped");
        const QChar fffe(0xFFFE), ffff(0xFFFF), fdd0(0xFDD0), high(0xD800), low(0xDC00);
        QTest::newRow("U+FFFE and U+FFFF") << QString("a") + fffe + "b" + ffff << "ab" << 2;
        QTest::newRow("controls, tab and line feed kept")
            << QString::fromLatin1("1\x01\t2\x08\n3\x0B\x0C\x1F\x7F") << QString::fromLatin1("1\t2\n3\x7F") << 5;
        QTest::newRow("lone surrogates") << QString("x") + high + "y" + low << "xy" << 2;
        QTest::newRow("noncharacters of the planes")
            << QString("备") + fdd0 + QString::fromUcs4(U"\U0001FFFE\U0010FFFF") + "注" << "备注" << 3;
        QTest::newRow("supplementary characters kept") << QString::fromUcs4(U"\U0001F600\U00020000") << QString::fromUcs4(U"\U0001F600\U00020000") << 0;
    }

    void workbookLeavesOutWhatXmlCannotCarry()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QFETCH(int, dropped);
        const QString path = dir.filePath("odd.xlsx");
        QString error;
        int count = -1;
        QVERIFY2(reports::writeWorkbook(path, reports::listTable({"备注" + text}, {{text}, {"1"}}), &error, {}, &count),
                 qPrintable(error));
        QCOMPARE(count, 2 * dropped);  // the header and a cell
        const QJsonObject book = workbookSummary(path, 2);
        QCOMPARE(book["rows"].toInt(), 3);
        const QJsonArray first = book["first"].toArray();
        QCOMPARE(first[0].toArray()[0].toString(), "备注" + kept);
        QCOMPARE(first[1].toArray()[0].toString(), kept);
    }

    // While the workbook is written its scratch file is hidden beside the
    // target, and nothing lies in the temporary folder; afterwards it is gone.
    void workbookScratchLivesBesideTheTarget()
    {
        QTemporaryDir target;
        QTemporaryDir temporary;
        const QByteArray oldTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        QStringList besideWhileWriting;
        QStringList tempWhileWriting;
        reports::TextTable table = reports::listTable({"序号"}, {{"1"}, {"2"}});
        const auto cells = table.cell;
        table.cell = [&](int row, int column) {
            besideWhileWriting = entries(target.path());
            tempWhileWriting = entries(temporary.path());
            return cells(row, column);
        };
        const bool written = reports::writeWorkbook(target.filePath("data.xlsx"), table);
        qputenv("TMPDIR", oldTemp);
        QVERIFY(written);
        QCOMPARE(tempWhileWriting, QStringList());
        QCOMPARE(besideWhileWriting.size(), 1);
        QVERIFY2(besideWhileWriting.first().startsWith(".data.xlsx"), qPrintable(besideWhileWriting.first()));
        QCOMPARE(entries(target.path()), QStringList{"data.xlsx"});
    }

    // --- both kinds of file --------------------------------------------------

    // Only a regular file (or a link to one) is replaced; whatever else the
    // path names stays as it was, and no scratch file is left beside it.
    void unwritablePathFailsWithAReason_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<QString>("path");
        const QString fifo = dir.filePath("pipe");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(QFile::link("/dev/null", dir.filePath("device")));
        QVERIFY(QFile::link(dir.filePath("nowhere.xlsx"), dir.filePath("dangling")));
        for (bool pdf : {false, true}) {
            const QString kind = pdf ? "pdf" : "xlsx";
            QTest::newRow(qPrintable(kind + ", missing folder")) << pdf << dir.filePath("missing/data." + kind);
            QTest::newRow(qPrintable(kind + ", a folder's name")) << pdf << dir.path();
            QTest::newRow(qPrintable(kind + ", a pipe")) << pdf << fifo;
            QTest::newRow(qPrintable(kind + ", a link to a device")) << pdf << dir.filePath("device");
            QTest::newRow(qPrintable(kind + ", a dangling link")) << pdf << dir.filePath("dangling");
        }
    }

    void unwritablePathFailsWithAReason()
    {
        QFETCH(bool, pdf);
        QFETCH(QString, path);
        const QStringList before = entries(dir.path());
        QString error;
        const bool written = pdf ? reports::writePdfReport(path, content(1, true), &error)
                                 : reports::writeWorkbook(path, reports::listTable({"序号"}, {{"1"}}), &error);
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo(path).isFile());
        QCOMPARE(entries(dir.path()), before);
        QVERIFY(!QFileInfo(dir.filePath("pipe")).isFile());
        QVERIFY(QFileInfo(dir.filePath("device")).isSymLink());
        QVERIFY(QFileInfo(dir.filePath("dangling")).isSymLink());
    }

    void linkToARegularFileIsWrittenThrough_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("xlsx") << false;
        QTest::newRow("pdf") << true;
    }

    void linkToARegularFileIsWrittenThrough()
    {
        QFETCH(bool, pdf);
        QTemporaryDir folder;
        const QString file = folder.filePath("real");
        const QString link = folder.filePath("link");
        QFile stub(file);
        QVERIFY(stub.open(QIODevice::WriteOnly) && stub.write("old") == 3);
        stub.close();
        QVERIFY(QFile::link(file, link));
        QString error;
        const bool written = pdf ? reports::writePdfReport(link, content(1, true), &error)
                                 : reports::writeWorkbook(link, reports::listTable({"序号"}, {{"1"}}), &error);
        QVERIFY2(written, qPrintable(error));
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(file).size() > 3);
    }

    // --- PDF reports ---------------------------------------------------------

    void reportHasAFirstPageAndAPagePerRecord_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("current");
        QTest::newRow("no records") << 0 << true;
        QTest::newRow("three records") << 3 << true;
        QTest::newRow("three records, no reading") << 3 << false;
    }

    void reportHasAFirstPageAndAPagePerRecord()
    {
        QFETCH(int, records);
        QFETCH(bool, current);
        const QString path = dir.filePath("report.pdf");
        QString error;
        QVERIFY2(reports::writePdfReport(path, content(records, current, "第一段\n\n第二段"), &error), qPrintable(error));
        QCOMPARE(pdfPageCount(path), 1 + records);

        const QString first = pdfPageText(path, 1);
        for (const char* text : {"直流电阻测量报告", "用户信息", "测试仪信息", "公司：", "华东电力", "姓名：", "张三",
                                 "联系方式：", "13800000000", "型号：", "DC-10A", "直流电阻测试仪", "测量对象",
                                 "主变压器", "场景：", "变电站"})
            QVERIFY2(first.contains(QString::fromUtf8(text)), text);
        QCOMPARE(first.contains("当前数据"), current);
        QCOMPARE(first.contains("LV5"), current);
        for (int r = 1; r <= records; ++r) {
            const QString page = pdfPageText(path, 1 + r);
            QCOMPARE(lines(page).first(), QStringLiteral("记录 %1").arg(r));
            for (const char* text : {"测试时间：", "2024-03-05 14:07:09", "数据", "左0：", "LV0", "右5：", "RV5"})
                QVERIFY2(page.contains(QString::fromUtf8(text)), text);
            // The remark keeps its paragraphs on consecutive lines, below its heading.
            const int remarkAt = lines(page).indexOf("第一段");
            QCOMPARE(lines(page).mid(remarkAt - 1, 3), (QStringList{"备注", "第一段", "第二段"}));
        }
    }

    // Positions in column units of a tenth of the printable width (30 pt margins on A4).
    void fieldColumnsFollowThePage_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("DC") << 0;
        QTest::newRow("length") << 1;
    }

    void fieldColumnsFollowThePage()
    {
        QFETCH(int, page);
        reports::ReportContent c = content(1, false);
        c.columns = page == 0 ? reports::kDcColumns : reports::kLengthColumns;
        const QString path = dir.filePath("columns.pdf");
        QVERIFY(reports::writePdfReport(path, c));
        const QString words = output("pdftotext", {"-bbox", "-f", "2", "-l", "2", path, "-"});
        const auto xOf = [&words](const QString& word) {
            const QRegularExpression re("<word xMin=\"([0-9.]+)\"[^>]*>" + QRegularExpression::escape(word) + "</word>");
            return re.match(words).captured(1).toDouble();
        };
        const double unit = double(int((595 - 60) * 300 / 72) / 10) * 72 / 300;  // C in points (A4 is 595 pt wide)
        const double margin = 30;
        QVERIFY(qAbs(xOf("LV3") - (margin + c.columns.leftValue * unit)) < 1);
        QVERIFY(qAbs(xOf("RV3") - (margin + c.columns.rightValue * unit)) < 1);
        QVERIFY(qAbs(xOf("右3：") - (margin + c.columns.rightLabel * unit)) < 1);
        QVERIFY(qAbs(xOf("左3：") - margin) < 1);
    }

    // A remark wider than a line wraps; one longer than the page goes on on the
    // next page, and the records still begin on pages of their own.
    void longRemarkWrapsAndCrossesThePageEnd()
    {
        QString remark;
        for (int i = 0; remark.size() < 1200; ++i)
            remark += QStringLiteral("第%1次测量结果正常，").arg(i);
        const QString path = dir.filePath("long.pdf");
        QVERIFY(reports::writePdfReport(path, content(2, true, remark)));
        // first page + its remark's overflow, then each record with its own overflow
        QCOMPARE(pdfPageCount(path), 2 + 2 * 2);
        QCOMPARE(lines(pdfPageText(path, 3)).first(), QStringLiteral("记录 1"));
        QCOMPARE(lines(pdfPageText(path, 5)).first(), QStringLiteral("记录 2"));

        const QStringList firstPage = lines(pdfPageText(path, 1));
        const int remarkAt = firstPage.indexOf("备注");
        QVERIFY(remarkAt > 0);
        QVERIFY(firstPage.size() - remarkAt > 5);
        QString drawn = firstPage.mid(remarkAt + 1).join(QString()) + pdfPageText(path, 2);
        QCOMPARE(compact(drawn), compact(remark));
    }

    // One family draws the Chinese, the Latin letters and the digits, every
    // weight of it embedded, the values' Light among them: no other family
    // (such as a thin Latin face) fills in.
    void reportDrawsEveryTextInOneEmbeddedFamily()
    {
        if (!QFontDatabase().hasFamily("Noto Sans CJK SC"))
            QSKIP("Noto Sans CJK SC (fonts-noto-cjk, fonts-noto-cjk-extra) is not installed");
        const QString path = dir.filePath("fonts.pdf");
        QVERIFY(reports::writePdfReport(path, content(1, true, "备注文字 Remark 12.345mΩ 20℃")));
        const QStringList fonts = lines(output("pdffonts", {path})).mid(2);
        QVERIFY(!fonts.isEmpty());
        bool light = false;
        for (const QString& font : fonts) {
            const QStringList fields = font.split(QRegularExpression("\\s+"));
            QVERIFY2(fields.contains("yes"), qPrintable(font));  // emb column
            QVERIFY2(fields.first().contains("NotoSansCJK") && !font.contains("DejaVu"), qPrintable(fonts.join('\n')));
            light = light || fields.first().contains("Light");
        }
        QVERIFY2(light, qPrintable(fonts.join('\n')));
        QVERIFY(pdfText(path).contains("直流电阻测量报告"));
    }

    // The family draws these with the glyphs of radicals; copied or searched,
    // the report still reads the ideographs the page shows.
    void textLayerReadsIdeographsNotRadicals()
    {
        if (!QFontDatabase().hasFamily("Noto Sans CJK SC"))
            QSKIP("Noto Sans CJK SC (fonts-noto-cjk, fonts-noto-cjk-extra) is not installed");
        const QHash<char16_t, char16_t> ideographs = reports::ideographsOfRadicals("Noto Sans CJK SC");
        QCOMPARE(ideographs.value(0x2F64), char16_t(u'用'));
        QCOMPARE(ideographs.value(0x2EDA), char16_t(u'页'));
        const QString path = dir.filePath("radicals.pdf");
        const QString words = QStringLiteral("用户入口第页长工人山水火");
        QVERIFY(reports::writePdfReport(path, content(1, true, words)));
        const QString text = pdfText(path);
        QVERIFY2(text.contains(words), qPrintable(text));
        for (const QChar c : text)
            QVERIFY2(c.unicode() < 0x2E80 || c.unicode() > 0x2FDF, qPrintable(text));
    }

    // Names are rewritten in place, only where a map gives a glyph its text,
    // and only where one four-digit name stands for one glyph.
    void textLayerKeepsEveryOffset()
    {
        const QHash<char16_t, char16_t> ideographs{{0x2F64, u'用'}, {0x2EDA, u'页'}, {0x2F0A, u'入'}};
        const QByteArray before = "stream <2F64> endstream\n"
                                  "begincmap\n2 beginbfchar\n<0003> <2F64>\n<2F64> <0041>\nendbfchar\n"
                                  "3 beginbfrange\n<0001> <0002> [<2EDA> <4E00>]\n<0005> <0005> <2F0A>\n"
                                  "<0006> <0010> <2F64>\n<0011> <0011> <2F642F64>\nendbfrange\nendcmap\n";
        QByteArray pdf = before;
        QCOMPARE(reports::nameIdeographs(pdf, ideographs), 3);
        QCOMPARE(pdf.size(), before.size());
        QByteArray expected = before;
        expected.replace("<0003> <2F64>", "<0003> <7528>")
            .replace("[<2EDA>", "[<9875>")
            .replace("<0005> <0005> <2F0A>", "<0005> <0005> <5165>");
        QCOMPARE(pdf, expected);
    }

    // --- file names ----------------------------------------------------------

    void proposedPathNamesTheTimeOfTheExport()
    {
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
        QCOMPARE(reports::proposedExportPath("/docs/KR480M_data", when, "pdf"),
                 QStringLiteral("/docs/KR480M_data/data_20240305_140709.pdf"));
        const QString folder = reports::exportFolder();
        QCOMPARE(folder, home.path() + "/Documents/KR480M_data");
        QVERIFY(QFileInfo(folder).isDir());
    }

    // --- report header dialog ------------------------------------------------

    void headerDialogStartsEmptyThenOffersTheLastAcceptedTexts()
    {
        QFile::remove(settingsPath());
        const QStringList texts = {"华东电力公司", "张三", "13800000000", "直流电阻测试仪十安培", "DC-10A", "一号主变压器",
                                   "室外变电站"};
        {
            auto* dialog = new PdfSettingDialog;
            QPointer<PdfSettingDialog> watch(dialog);
            for (QLineEdit* edit : edits(dialog))
                QVERIFY(edit->text().isEmpty());
            QSignalSpy accepted(dialog, &PdfSettingDialog::pdfSettingSignal);
            for (int i = 0; i < texts.size(); ++i)
                edits(dialog)[i]->setText(texts[i]);
            dialog->show();
            dialog->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
            QCOMPARE(accepted.size(), 1);
            const auto d = accepted.first().first().value<PdfSettingData>();
            QCOMPARE(QStringList({d.companyName, d.userName, d.contact, d.testerName, d.testerModel, d.testObjName,
                                  d.scene}),
                     texts);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(watch.isNull());
        }
        QFile ini(settingsPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray bytes = ini.readAll();
        QVERIFY2(bytes.contains(QString("testObjName=一号主变压器").toUtf8()), bytes.constData());  // UTF-8, not escaped

        PdfSettingDialog again;
        QStringList shown;
        for (QLineEdit* edit : edits(&again))
            shown << edit->text();
        QCOMPARE(shown, texts);
    }

    void headerDialogClosedWithoutOkKeepsAndSendsNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Esc") << true;
        QTest::newRow("window closed") << false;
    }

    void headerDialogClosedWithoutOkKeepsAndSendsNothing()
    {
        QFETCH(bool, escape);
        QFile::remove(settingsPath());
        QSettings before(settingsPath(), QSettings::IniFormat);
        before.setIniCodec("UTF-8");
        before.setValue("scene", "旧场景");
        before.sync();

        auto* dialog = new PdfSettingDialog;
        QPointer<PdfSettingDialog> watch(dialog);
        QSignalSpy accepted(dialog, &PdfSettingDialog::pdfSettingSignal);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(edits(dialog).last()->text(), QStringLiteral("旧场景"));
        edits(dialog).last()->setText("新场景");
        if (escape)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        QCOMPARE(accepted.size(), 0);
        QSettings after(settingsPath(), QSettings::IniFormat);
        after.setIniCodec("UTF-8");
        QCOMPARE(after.value("scene").toString(), QStringLiteral("旧场景"));
    }

private:
    static QString settingsPath()
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/settingsPdf.ini";
    }

    // The seven edits in the order of the header record's fields.
    static QList<QLineEdit*> edits(QWidget* dialog)
    {
        QList<QLineEdit*> list;
        for (const char* name : {"lineEdit_Company", "lineEdit_UserName", "lineEdit_Contact", "lineEdit_TesterName",
                                 "lineEdit_TesterModel", "lineEdit_TestObjName", "lineEdit_Scene"})
            list << dialog->findChild<QLineEdit*>(name);
        return list;
    }

    QTemporaryDir home;
    QTemporaryDir dir;
};

QTEST_MAIN(TestReports)
#include "test_reports.moc"
