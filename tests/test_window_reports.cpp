// The window's reports and workbooks against the in-process simulator: the
// save buttons and the stored-data action, the report header dialog and the
// PDF of the page on screen, and the warnings instead of a written file. The
// save dialog and the desktop opener are a fake.

#include "tests/exportreaders.h"
#include "data/storedrecordsmodel.h"
#include "dialogs/pdfsettingdialog.h"
#include "testsupport/windowrig.h"

#include <QJsonArray>

using namespace windowtest;
using namespace exportreaders;

namespace {

struct ReportRig : Rig {
    ReportRig() : files(fakeDesktopFiles()) {}

    void exportPdf(const PdfSettingData& header = {})
    {
        QMetaObject::invokeMethod(window.get(), "pdfSettingSlot", Q_ARG(PdfSettingData, header));
        QVERIFY(waitForExport());
    }

    std::shared_ptr<FileLog> files;
};

}  // namespace

class TestWindowReports : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(initWindowTestsInOwnHome());  // the documents folder is not moved by the test mode
        qRegisterMetaType<PdfSettingData>("PdfSettingData");
        QVERIFY(dir.isValid());
    }

    void saveButtonsWriteTheirTableToAWorkbook_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("columns");
        QTest::newRow("DC results") << "pushButton_save" << "tableView_resTest" << 15;
        QTest::newRow("length results") << "pushButton_save2" << "tableView_lengthTest" << 13;
    }

    void saveButtonsWriteTheirTableToAWorkbook()
    {
        QFETCH(QString, button);
        QFETCH(QString, view);
        QFETCH(int, columns);
        ReportRig rig;
        rig.files->answer = dir.filePath(button + ".xlsx");
        fillRows(rig.model(qPrintable(view)), 2);
        rig.get<QPushButton>(qPrintable(button))->click();
        QVERIFY(rig.waitForExport());

        QCOMPARE(rig.files->captions, QStringList("保存Excel文件"));
        QCOMPARE(rig.files->filters, QStringList("Excel(*.xlsx)"));
        const QRegularExpression proposedName('^' + QRegularExpression::escape(QDir::homePath())
                                              + "/Documents/KR480M_data/data_\\d{8}_\\d{6}\\.xlsx$");
        QVERIFY2(proposedName.match(rig.files->proposed.value(0)).hasMatch(), qPrintable(rig.files->proposed.value(0)));
        QCOMPARE(rig.files->opened, QStringList(rig.files->answer));
        QVERIFY(rig.boxTexts.isEmpty());

        const QJsonObject book = workbookSummary(rig.files->answer);
        QCOMPARE(book["rows"].toInt(), 3);
        QCOMPARE(book["columns"].toInt(), columns);
        const QJsonArray first = book["first"].toArray();
        QCOMPARE(first[0].toArray()[0], QJsonValue("序号"));
        QCOMPARE(first[0].toArray()[columns - 1], QJsonValue("备注"));
        QCOMPARE(first[2].toArray()[columns - 1], QJsonValue(QStringLiteral("格2-%1").arg(columns - 1)));
    }

    void storedTableExportsOnlyWhileConnected()
    {
        ReportRig rig;
        rig.files->answer = dir.filePath("stored.xlsx");
        auto* stored = qobject_cast<StoredRecordsModel*>(tableModel(rig, "tableView"));
        for (int row = 1; row <= 3; ++row)
            stored->appendRow(QVector<QString>(16, QStringLiteral("格%1").arg(row)).toList());
        QVERIFY(QMetaObject::invokeMethod(rig.window.get(), "on_actionExportToExcel_triggered"));
        QVERIFY(rig.files->captions.isEmpty());
        QVERIFY(rig.boxTexts.isEmpty());

        QVERIFY(rig.connect());
        rig.action("actionExportToExcel")->trigger();
        QVERIFY(rig.waitForExport());
        QCOMPARE(rig.files->opened, QStringList(rig.files->answer));
        const QJsonObject book = workbookSummary(rig.files->answer);
        QCOMPARE(book["rows"].toInt(), 4);
        QCOMPARE(book["columns"].toInt(), 16);
        QCOMPARE(book["first"].toArray()[0].toArray()[8], QJsonValue("1米标准值"));
        const QJsonArray values = book["values"].toArray();  // the sheet's name, its headers
        QCOMPARE(values[0], QJsonValue("数值"));
        QCOMPARE(values[9], QJsonValue("1米标准值 (Ω)"));
    }

    // Each press opens a header dialog of its own; accepting one writes the
    // report of the page on screen with the reading it shows.
    void pdfActionOpensAHeaderDialogPerPressAndReportsThePage()
    {
        ReportRig rig;
        rig.files->answer = dir.filePath("dc.pdf");
        QVERIFY(rig.connect());
        fillRows(rig.model("tableView_resTest"), 3);
        rig.get<QTextEdit>("textEdit_Remark")->setPlainText("油温正常");
        rig.action("actionExportToPDF")->trigger();
        rig.action("actionExportToPDF")->trigger();
        const auto dialogs = rig.window->findChildren<PdfSettingDialog*>();
        QCOMPARE(dialogs.size(), 2);
        for (PdfSettingDialog* dialog : dialogs) {
            QVERIFY(dialog->isVisible());
            QVERIFY(!dialog->isModal());
            QCOMPARE(dialog->windowTitle(), QStringLiteral("PDF设置"));
        }
        dialogs[0]->findChild<QLineEdit*>("lineEdit_Company")->setText("华东电力");
        dialogs[0]->findChild<QLineEdit*>("lineEdit_Scene")->setText("二号变电站");
        dialogs[0]->findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->click();
        QVERIFY(rig.waitForExport());

        QCOMPARE(rig.files->captions, QStringList("保存PDF文件"));
        QCOMPARE(rig.files->filters, QStringList("PDF(*.pdf)"));
        QCOMPARE(rig.files->opened, QStringList(rig.files->answer));
        QVERIFY(dialogs[1]->isVisible());

        const QString pdf = rig.files->answer;
        QCOMPARE(pdfPageCount(pdf), 5);
        const QString first = pdfPageText(pdf, 1);
        for (const QString& text : QStringList{"直流电阻测量报告", "用户信息", "华东电力", "二号变电站", "当前数据", "油温正常",
                                               rig.text("label_TestedResistanceValue")})
            QVERIFY2(first.contains(text), qPrintable(text));
        const QString summary = pdfPageText(pdf, 2);
        QCOMPARE(lines(summary).first(), QStringLiteral("结果汇总"));
        QVERIFY2(summary.contains("测试人员："), qPrintable(summary));
        QCOMPARE(lines(summary).last().remove(' '), QStringLiteral("第2页/共5页"));
        for (int r = 1; r <= 3; ++r) {
            const QString page = pdfPageText(pdf, 2 + r);
            QCOMPARE(lines(page).first(), QStringLiteral("记录 %1").arg(r));
            for (const QString& text : {QStringLiteral("试品编号："), QStringLiteral("分接："), QStringLiteral("相别："),
                                       QStringLiteral("测试电阻："), QStringLiteral("格%1-13").arg(r)})
                QVERIFY2(page.contains(text), qPrintable(text));
        }
    }

    // Without a reading there is no current data; the summary and the records
    // follow at once. Titles and labels are in the language of the interface.
    void reportFollowsThePageAndTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("firstPage");
        QTest::addColumn<QStringList>("summaryPage");
        QTest::addColumn<QStringList>("recordPage");
        QTest::newRow("length, Chinese") << "zh" << "actionConductor_length_test"
                                         << QStringList{"导体长度测量报告", "测量对象", "第 1 页 / 共 3 页"}
                                         << QStringList{"结果汇总", "导体长度", "稳定", "审核人员："}
                                         << QStringList{"记录 1", "样品编号：", "标准值：", "环境温度：", "导体长度："};
        QTest::newRow("DC, English") << "en" << "actionDc_resistance_test"
                                     << QStringList{"Dc resistance measurement Report", "User Information", "Page 1 of 3"}
                                     << QStringList{"Summary of results", "Settled", "Reviewed by:"}
                                     << QStringList{"Record 1", "Conductor No.:", "Tested Res.:"};
    }

    void reportFollowsThePageAndTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, page);
        QFETCH(QStringList, firstPage);
        QFETCH(QStringList, summaryPage);
        QFETCH(QStringList, recordPage);
        ReportRig rig;
        rig.chooseLanguage(language);
        rig.action(qPrintable(page))->trigger();
        const char* view = page.contains("length") ? "tableView_lengthTest" : "tableView_resTest";
        fillRows(rig.model(view), 1);
        rig.files->answer = dir.filePath("page.pdf");
        rig.exportPdf();

        const QString pdf = rig.files->answer;
        QCOMPARE(pdfPageCount(pdf), 3);
        const QString first = pdfPageText(pdf, 1);
        for (const QString& text : firstPage)  // spaces aside: the text layer may drop those between ideographs
            QVERIFY2(QString(first).remove(' ').contains(QString(text).remove(' ')), qPrintable(text + "\n" + first));
        QVERIFY(!first.contains("当前数据") && !first.contains("Current Data"));
        const QString summary = pdfPageText(pdf, 2);
        for (const QString& text : summaryPage)
            QVERIFY2(summary.contains(text), qPrintable(text + "\n" + summary));
        const QString record = pdfPageText(pdf, 3);
        for (const QString& text : recordPage)
            QVERIFY2(record.contains(text), qPrintable(text + "\n" + record));
        rig.chooseLanguage("zh");
    }

    void unwritableReportWarnsAndOpensNothing()
    {
        ReportRig rig;
        rig.files->answer = dir.filePath("missing/report.pdf");
        rig.exportPdf();
        QCOMPARE(rig.boxTitles, QStringList("保存PDF文件"));
        QVERIFY(rig.boxTexts.value(0).contains(QDir::toNativeSeparators(rig.files->answer)));
        QVERIFY(rig.files->opened.isEmpty());
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(TestWindowReports)
#include "test_window_reports.moc"
