// The two test pages over the real form, without the window: readings land in
// the page's widgets, the result row and the report follow the table headers.

#include "app/resultpage.h"
#include "reports/valuesheet.h"
#include "ui_mainwindow.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

ReceiveData reading(bool length)
{
    ReceiveData rd;
    rd.testType = length ? 1 : 0;
    rd.tapping = "0";
    rd.convertedTemp = "75℃";
    rd.testedResistance = "1.234";
    rd.testedResistanceUnit = "mΩ";
    rd.wireSquare = "2.5";
    rd.standardValue = "12.5";
    rd.standardUnitIndex = 1;
    rd.currentSettingIndex = length ? 21 : 4;  // the length list's AUTO is code 21
    rd.conductorLength = "8.5";
    rd.conductorLengthUnit = "M";
    return rd;
}

// The fields of a report section as "label value" lines, left column first.
QStringList fieldLines(const reports::DataSection& section)
{
    QStringList lines;
    for (const auto* column : {&section.fields.left, &section.fields.right}) {
        for (const reports::Field& field : *column)
            lines << field.label + ' ' + field.value;
        lines << "|";
    }
    return lines;
}

}  // namespace

class TestResultPage : public QObject {
    Q_OBJECT

    QMainWindow window;
    Ui::MainWindow ui;
    std::unique_ptr<ResultPage> pages[2];
    QStandardItemModel* models[2] = {};

    QString lastCell(bool length, const QString& header) const
    {
        const QStandardItemModel* model = models[length];
        for (int column = 0; column < model->columnCount(); ++column) {
            if (model->headerData(column, Qt::Horizontal).toString() == header)
                return model->index(model->rowCount() - 1, column).data().toString();
        }
        return "no column " + header;
    }

private slots:
    void initTestCase() { ui.setupUi(&window); }

    void init()
    {
        const ResultPage::RowKeeping keeping{[](const QStringList&, const QByteArray&, std::optional<bool>) { return qint64(0); },
                                             [](const QAbstractItemModel&, const std::vector<int>&) {}, [] {}};
        pages[0] = std::make_unique<ResultPage>(ui.page_0, dcPageTable(), keeping);
        pages[1] = std::make_unique<ResultPage>(ui.page_1, lengthPageTable(), keeping);
        for (bool length : {false, true}) {
            pages[length]->fillSettingLists();
            models[length] = pages[length]->createModel();
        }
    }

    // A reading shows in its field, and the row of the finished test carries
    // the field's text under the column the header names.
    void readingReachesItsColumn_data()
    {
        QTest::addColumn<bool>("length");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("cell");
        QTest::newRow("dc tapping 0, two digits") << false << "分接" << "00";
        QTest::newRow("dc current setting") << false << "电流设置" << "200mA";
        QTest::newRow("dc resistance") << false << "测试电阻" << "1.234mΩ";
        QTest::newRow("length wire square") << true << "1米导线标称截面积" << "2.5平方";
        QTest::newRow("length standard, unit") << true << "标准值" << "12.500mΩ";
        QTest::newRow("length AUTO current") << true << "电流设置" << "AUTO";
        QTest::newRow("length conductor length") << true << "导体长度" << "8.5M";
    }
    void readingReachesItsColumn()
    {
        QFETCH(bool, length);
        QFETCH(QString, header);
        pages[length]->showReading(reading(length), false, false);
        pages[length]->appendRow(QByteArray());
        QTEST(lastCell(length, header), "cell");
    }

    void overRangeHold_data()
    {
        QTest::addColumn<QString>("before");  // the resistance shown before, its unit after a space
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("expected");
        QTest::newRow("measured value held") << "1.234 mΩ" << true << "1.234mΩ";
        QTest::newRow("no test running") << "1.234 mΩ" << false << ">20kΩ";
        QTest::newRow("placeholder not held") << "charging " << true << ">20kΩ";
    }
    void overRangeHold()
    {
        QFETCH(QString, before);
        QFETCH(bool, running);
        ReceiveData rd = reading(false);
        rd.testedResistance = before.section(' ', 0, 0);
        rd.testedResistanceUnit = before.section(' ', 1);
        pages[0]->showReading(rd, running, false);
        rd.resistanceOverRange = true;
        rd.testedResistance = ">20k";
        rd.testedResistanceUnit = "Ω";
        pages[0]->showReading(rd, running, false);
        QTEST(ui.label_TestedResistanceValue->text(), "expected");
    }

    // The workbook's values sheet reads each page's own row texts under the
    // right header, and carries each row's settled flag.
    void rowTextsReachTheValuesSheet_data()
    {
        QTest::addColumn<bool>("length");
        QTest::addColumn<QString>("header");
        QTest::addColumn<double>("value");
        QTest::newRow("dc tapping") << false << "分接" << 0.0;
        QTest::newRow("dc converted temperature") << false << "折算温度 (℃)" << 75.0;
        QTest::newRow("dc resistance") << false << "测试电阻 (Ω)" << 0.001234;
        QTest::newRow("length wire square") << true << "1米导线标称截面积 (mm²)" << 2.5;
        QTest::newRow("length standard") << true << "标准值 (Ω)" << 0.0125;
        QTest::newRow("length resistance") << true << "测试电阻 (Ω)" << 0.001234;
        QTest::newRow("length conductor length") << true << "导体长度 (m)" << 8.5;
    }
    void rowTextsReachTheValuesSheet()
    {
        QFETCH(bool, length);
        QFETCH(QString, header);
        QFETCH(double, value);
        pages[length]->showReading(reading(length), false, false);
        for (const std::optional<bool> settled : {std::optional<bool>(true), std::optional<bool>(false),
                                                  std::optional<bool>()})
            pages[length]->appendRow(QByteArray(), settled);
        const reports::TextTable table = pages[length]->workbookTable();
        const QStringList headers = reports::valueHeaders(table);
        const int column = headers.indexOf(header);
        QVERIFY2(column >= 0, qPrintable(headers.join(',')));
        const reports::Value read = reports::valueRow(table, 0).value(column);
        QCOMPARE(read.type, reports::Value::Number);
        QCOMPARE(read.number, value);
        const int settled = headers.indexOf("读数已稳定");
        QStringList flags;
        for (int row = 0; row < 3; ++row)
            flags << reports::valueRow(table, row).value(settled).text;
        QCOMPARE(flags, QStringList({"是", "否", ""}));
    }

    // The current data is laid out like the record of a row taken now.
    void reportMatchesRecord()
    {
        for (bool length : {false, true}) {
            (length ? ui.textEdit_Remark_2 : ui.textEdit_Remark)->setPlainText("remark");
            pages[length]->showReading(reading(length), false, false);
            pages[length]->appendRow(QByteArray());
            const reports::DataSection current = pages[length]->currentDataSection();
            const reports::DataSection record = pages[length]->recordSections().constLast();
            QCOMPARE(fieldLines(current), fieldLines(record));
            QCOMPARE(current.remark + record.remark, QString("remarkremark"));
        }
    }
};

QTEST_MAIN(TestResultPage)
#include "test_resultpage.moc"
