// The two test pages over the real form, without the window: readings land in
// the page's widgets, the result row and the report follow the table headers.

#include "app/resultpage.h"
#include "ui_mainwindow.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

#include <memory>
#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

ReceiveData reading(bool length)
{
    ReceiveData rd;
    rd.testType = length ? 1 : 0;
    rd.conductorNo = "17";
    rd.tapping = "0";
    rd.convertedTemp = "75℃";
    rd.testedCurrent = "9.87";
    rd.testedCurrentUnit = "A";
    rd.testedResistance = "1.234";
    rd.testedResistanceUnit = "mΩ";
    rd.sampleNo = "3";
    rd.wireSquare = "2.5";
    rd.standardValue = "12.5";
    rd.standardUnitIndex = 1;
    rd.currentSettingIndex = length ? 21 : 4;  // the length list's AUTO is code 21
    rd.conductorLength = "8.5";
    rd.conductorLengthUnit = "M";
    return rd;
}

}  // namespace

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

class TestResultPage : public QObject {
    Q_OBJECT

    QMainWindow window;
    Ui::MainWindow ui;
    std::unique_ptr<ResultPage> pages[2];
    QStandardItemModel* models[2] = {};
    std::vector<int> forgotten;

    QString shown(const QString& name) const
    {
        QWidget* w = window.findChild<QWidget*>(name);
        if (auto* box = qobject_cast<QAbstractSpinBox*>(w))
            return box->text();
        if (auto* list = qobject_cast<QComboBox*>(w))
            return list->currentText();
        return qobject_cast<QLabel*>(w)->text();
    }

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
        const ResultPage::RowKeeping keeping{
            [](const QStringList&, const QByteArray&) { return qint64(0); },
            [this](const QAbstractItemModel&, const std::vector<int>& rows) { forgotten = rows; }, [] {}};
        pages[0] = std::make_unique<ResultPage>(ui.page_0, dcPageTable(), keeping);
        pages[1] = std::make_unique<ResultPage>(ui.page_1, lengthPageTable(), keeping);
        for (bool length : {false, true}) {
            pages[length]->fillSettingLists();
            models[length] = pages[length]->createModel();
        }
    }

    // A reading lands in the named widget, and the row of the finished test
    // carries that widget's text under the column the header names.
    void readingReachesItsColumn_data()
    {
        QTest::addColumn<bool>("length");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("cell");
        QTest::newRow("dc number") << false << "试品编号" << "spinBox_ConductorNoValue_3" << "17";
        QTest::newRow("dc tapping 0, two digits") << false << "分接" << "spinBox_TappingValue_3" << "00";
        QTest::newRow("dc converted temperature") << false << "折算温度" << "comboBox_ConvertedTempValue_3" << "75℃";
        QTest::newRow("dc current setting") << false << "电流设置" << "comboBox_CurrentSettingValue_3" << "200mA";
        QTest::newRow("dc resistance") << false << "测试电阻" << "label_TestedResistanceValue" << "1.234mΩ";
        QTest::newRow("length sample") << true << "样品编号" << "spinBox_SampleNoValue_4" << "3";
        QTest::newRow("length wire square") << true << "1米导线标称截面积" << "comboBox_WireSquareValue_4" << "2.5平方";
        QTest::newRow("length standard, unit") << true << "标准值" << "doubleSpinBox_StandardValue_4" << "12.500mΩ";
        QTest::newRow("length AUTO current") << true << "电流设置" << "comboBox_CurrentSettingValue_4" << "AUTO";
        QTest::newRow("length tested current") << true << "测试电流" << "label_TestedCurrentValue_2" << "9.87A";
        QTest::newRow("length conductor length") << true << "导体长度" << "label_ConductorLengthValue_2" << "8.5M";
    }
    void readingReachesItsColumn()
    {
        QFETCH(bool, length);
        QFETCH(QString, header);
        QFETCH(QString, widget);
        QFETCH(QString, cell);
        pages[length]->showReading(reading(length), false, false);
        pages[length]->appendRow(QByteArray());
        QVERIFY2(cell.startsWith(shown(widget)), qPrintable(shown(widget)));
        QCOMPARE(lastCell(length, header), cell);
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
        QFETCH(QString, expected);
        ReceiveData rd = reading(false);
        rd.testedResistance = before.section(' ', 0, 0);
        rd.testedResistanceUnit = before.section(' ', 1);
        pages[0]->showReading(rd, running, false);
        rd.resistanceOverRange = true;
        rd.testedResistance = ">20k";
        rd.testedResistanceUnit = "Ω";
        pages[0]->showReading(rd, running, false);
        QCOMPARE(ui.label_TestedResistanceValue->text(), expected);
    }

    void deleteRenumbers_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<std::vector<int>>("forgottenRows");  // highest first
        QTest::newRow("middle") << QList<int>{1} << std::vector<int>{1};
        QTest::newRow("first and last") << QList<int>{0, 2} << std::vector<int>{2, 0};
    }
    void deleteRenumbers()
    {
        QFETCH(QList<int>, selected);
        QFETCH(std::vector<int>, forgottenRows);
        for (int i = 0; i < 3; ++i)
            pages[0]->appendRow(QByteArray());
        for (int row : selected)
            ui.tableView_resTest->selectionModel()->select(models[0]->index(row, 0),
                                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        pages[0]->deleteSelectedRows();
        QCOMPARE(forgotten, forgottenRows);
        QCOMPARE(models[0]->rowCount(), 3 - selected.size());
        for (int row = 0; row < models[0]->rowCount(); ++row)
            QCOMPARE(models[0]->index(row, 0).data().toString(), QString::number(row + 1));
    }

    // The current data is laid out like the record of a row taken now.
    void reportMatchesRecord_data()
    {
        QTest::addColumn<bool>("length");
        QTest::newRow("dc") << false;
        QTest::newRow("length") << true;
    }
    void reportMatchesRecord()
    {
        QFETCH(bool, length);
        (length ? ui.textEdit_Remark_2 : ui.textEdit_Remark)->setPlainText("remark");
        pages[length]->showReading(reading(length), false, false);
        pages[length]->appendRow(QByteArray());
        const reports::DataSection current = pages[length]->currentDataSection();
        const reports::DataSection record = pages[length]->recordSections().constLast();
        QCOMPARE(fieldLines(current), fieldLines(record));
        QCOMPARE(current.remark, QString("remark"));
        QCOMPARE(record.remark, current.remark);
    }
};

QTEST_MAIN(TestResultPage)
#include "test_resultpage.moc"
