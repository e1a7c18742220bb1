// The setting lists, the display rules of the setting widgets and the result
// tables of the two test pages.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/keptrows.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHeaderView>
#include <QScrollBar>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// List index = the instrument's code for the entry. Entries marked with
// QT_TRANSLATE_NOOP are translated, the others are the same in every language.
const char* const kMaterials[] = {QT_TRANSLATE_NOOP("MainWindow", "铜"),
                                  QT_TRANSLATE_NOOP("MainWindow", "铝")};
const char* const kCurrents[] = {"40mA",  "80mA",  "120mA", "160mA", "200mA", "240mA", "280mA",
                                 "320mA", "360mA", "400mA", "1A",    "2A",    "3A",    "4A",
                                 "5A",    "6A",    "7A",    "8A",    "9A",    "10A"};
const char* const kDcOnlyCurrent = "12V/<5mA";
const char* const kAutoCurrent = "AUTO";
const char* const kConvertedTemps[] = {"75℃", "115℃"};
const char* const kPhases[] = {"A0", "B0", "C0", "AB", "AC", "BC"};
const char* const kWindings[] = {QT_TRANSLATE_NOOP("MainWindow", "低压"),
                                 QT_TRANSLATE_NOOP("MainWindow", "高压")};
const char* const kWireSquares[] = {
    QT_TRANSLATE_NOOP("MainWindow", "1平方"),   QT_TRANSLATE_NOOP("MainWindow", "1.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "2平方"),   QT_TRANSLATE_NOOP("MainWindow", "2.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "3平方"),   QT_TRANSLATE_NOOP("MainWindow", "3.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "4平方"),   QT_TRANSLATE_NOOP("MainWindow", "4.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "5平方"),   QT_TRANSLATE_NOOP("MainWindow", "5.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "6平方"),   QT_TRANSLATE_NOOP("MainWindow", "6.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "7平方"),   QT_TRANSLATE_NOOP("MainWindow", "7.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "8平方"),   QT_TRANSLATE_NOOP("MainWindow", "8.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "9平方"),   QT_TRANSLATE_NOOP("MainWindow", "9.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "10平方"),
};
const char* const kStandardSettings[] = {QT_TRANSLATE_NOOP("MainWindow", "设定值"),
                                         QT_TRANSLATE_NOOP("MainWindow", "测试值")};
const char* const kStandardUnits[] = {"μΩ", "mΩ", "Ω"};

// Header texts of the two result tables, in column order.
const char* const kDcResultHeaders[] = {
    QT_TRANSLATE_NOOP("MainWindow", "序号"),     QT_TRANSLATE_NOOP("MainWindow", "测试时间"),
    QT_TRANSLATE_NOOP("MainWindow", "试品编号"), QT_TRANSLATE_NOOP("MainWindow", "试品材质"),
    QT_TRANSLATE_NOOP("MainWindow", "试品温度"), QT_TRANSLATE_NOOP("MainWindow", "折算温度"),
    QT_TRANSLATE_NOOP("MainWindow", "环境温度"), QT_TRANSLATE_NOOP("MainWindow", "分接"),
    QT_TRANSLATE_NOOP("MainWindow", "相别"),     QT_TRANSLATE_NOOP("MainWindow", "绕组"),
    QT_TRANSLATE_NOOP("MainWindow", "电流设置"), QT_TRANSLATE_NOOP("MainWindow", "测试电流"),
    QT_TRANSLATE_NOOP("MainWindow", "折算电阻"), QT_TRANSLATE_NOOP("MainWindow", "测试电阻"),
    QT_TRANSLATE_NOOP("MainWindow", "备注"),
};

const char* const kLengthResultHeaders[] = {
    QT_TRANSLATE_NOOP("MainWindow", "序号"),     QT_TRANSLATE_NOOP("MainWindow", "测试时间"),
    QT_TRANSLATE_NOOP("MainWindow", "试品编号"), QT_TRANSLATE_NOOP("MainWindow", "样品编号"),
    QT_TRANSLATE_NOOP("MainWindow", "1米导线标称截面积"),
    QT_TRANSLATE_NOOP("MainWindow", "标准值设置"),
    QT_TRANSLATE_NOOP("MainWindow", "标准值"),   QT_TRANSLATE_NOOP("MainWindow", "环境温度"),
    QT_TRANSLATE_NOOP("MainWindow", "电流设置"), QT_TRANSLATE_NOOP("MainWindow", "测试电流"),
    QT_TRANSLATE_NOOP("MainWindow", "测试电阻"), QT_TRANSLATE_NOOP("MainWindow", "导体长度"),
    QT_TRANSLATE_NOOP("MainWindow", "备注"),
};

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kResultRowsAlwaysShown = 5;  // the operator sees them without resizing the window

template <std::size_t N>
QStringList translatedList(const char* const (&texts)[N])
{
    QStringList list;
    for (const char* text : texts)
        list << QCoreApplication::translate("MainWindow", text);
    return list;
}

template <std::size_t N>
QStringList literalList(const char* const (&texts)[N])
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

void refill(QComboBox* box, const QStringList& entries)
{
    box->addItems(entries);
    box->setCurrentIndex(-1);
}

// Appends one row of centred, read-only cells and shows it.
void appendResultRow(QStandardItemModel* model, QTableView* view, const QStringList& texts, qint64 keptId,
                     const QByteArray& trace)
{
    view->show();
    model->appendRow(lockedRow(texts, keptId, trace));
    view->scrollToBottom();
}

// The height at which a table shows `rows` rows of the default height with
// its header and horizontal scroll bar.
int heightForRows(const QTableView* view, int rows)
{
    return view->horizontalHeader()->sizeHint().height() + rows * view->verticalHeader()->defaultSectionSize()
           + view->horizontalScrollBar()->sizeHint().height() + 2 * view->frameWidth();
}

QString nowText()
{
    return QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
}

}  // namespace

void MainWindow::createResultModels()
{
    resTestModel = new QStandardItemModel(this);
    resTestModel->setHorizontalHeaderLabels(translatedList(kDcResultHeaders));
    ui->tableView_resTest->setModel(resTestModel);
    lengthTestModel = new QStandardItemModel(this);
    lengthTestModel->setHorizontalHeaderLabels(translatedList(kLengthResultHeaders));
    ui->tableView_lengthTest->setModel(lengthTestModel);
    for (QTableView* view : {ui->tableView_resTest, ui->tableView_lengthTest}) {
        view->horizontalHeader()->setMinimumSectionSize(100);
        view->horizontalHeader()->setStretchLastSection(true);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        view->verticalHeader()->setMinimumSectionSize(28);
        view->verticalHeader()->setDefaultSectionSize(30);
        view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        view->setMinimumHeight(heightForRows(view, kResultRowsAlwaysShown));
        view->show();
    }
}

void MainWindow::fillSettingComboBoxes()
{
    for (QComboBox* box : {ui->comboBox_ConductorMaterialValue_3, ui->comboBox_CurrentSettingValue_3,
                           ui->comboBox_ConvertedTempValue_3, ui->comboBox_PhaseTypeValue_3,
                           ui->comboBox_WindingValue_3, ui->comboBox_WireSquareValue_4,
                           ui->comboBox_StandardSettingValue_4, ui->comboBox_StandardUnitValue_4,
                           ui->comboBox_CurrentSettingValue_4})
        box->clear();

    QStringList lengthCurrents = literalList(kCurrents);
    lengthCurrents << QLatin1String(kAutoCurrent);
    QStringList dcCurrents = literalList(kCurrents);
    dcCurrents << QString::fromUtf8(kDcOnlyCurrent) << QLatin1String(kAutoCurrent);

    refill(ui->comboBox_ConductorMaterialValue_3, translatedList(kMaterials));
    refill(ui->comboBox_CurrentSettingValue_3, dcCurrents);
    refill(ui->comboBox_ConvertedTempValue_3, literalList(kConvertedTemps));
    refill(ui->comboBox_PhaseTypeValue_3, literalList(kPhases));
    refill(ui->comboBox_WindingValue_3, translatedList(kWindings));
    refill(ui->comboBox_WireSquareValue_4, translatedList(kWireSquares));
    refill(ui->comboBox_StandardSettingValue_4, translatedList(kStandardSettings));
    refill(ui->comboBox_StandardUnitValue_4, literalList(kStandardUnits));
    refill(ui->comboBox_CurrentSettingValue_4, lengthCurrents);
}

// Tapping always shows two digits; the blank value shows only its special text.
void MainWindow::on_spinBox_TappingValue_3_valueChanged(int arg1)
{
    ui->spinBox_TappingValue_3->setPrefix(arg1 >= 10 ? QString() : QStringLiteral("0"));
}

void MainWindow::on_doubleSpinBox_ConductorTempValue_3_valueChanged(double arg1)
{
    ui->doubleSpinBox_ConductorTempValue_3->setPrefix(arg1 >= 0.0 ? QStringLiteral("+") : QString());
}

void MainWindow::appendDcResultRow()
{
    const QStringList texts{
        QString::number(resTestModel->rowCount() + 1),
        nowText(),
        ui->spinBox_ConductorNoValue_3->text(),
        ui->comboBox_ConductorMaterialValue_3->currentText(),
        ui->doubleSpinBox_ConductorTempValue_3->text(),
        ui->comboBox_ConvertedTempValue_3->currentText(),
        ui->label_EnvironmentTempValue->text(),
        ui->spinBox_TappingValue_3->text(),
        ui->comboBox_PhaseTypeValue_3->currentText(),
        ui->comboBox_WindingValue_3->currentText(),
        ui->comboBox_CurrentSettingValue_3->currentText(),
        ui->label_TestedCurrentValue->text(),
        ui->label_ConvertedResistanceValue->text(),
        ui->label_TestedResistanceValue->text(),
        ui->textEdit_Remark->toPlainText(),
    };
    const QByteArray trace = takeFinishedTrace(kDcPage);
    appendResultRow(resTestModel, ui->tableView_resTest, texts, keepResultRow(store::TableKind::DcResults, texts, trace),
                    trace);
}

void MainWindow::appendLengthResultRow()
{
    const QStringList texts{
        QString::number(lengthTestModel->rowCount() + 1),
        nowText(),
        ui->spinBox_ConductorNoValue_4->text(),
        ui->spinBox_SampleNoValue_4->text(),
        ui->comboBox_WireSquareValue_4->currentText(),
        ui->comboBox_StandardSettingValue_4->currentText(),
        ui->doubleSpinBox_StandardValue_4->text() + ui->comboBox_StandardUnitValue_4->currentText(),
        ui->label_EnvironmentTempValue_2->text(),
        ui->comboBox_CurrentSettingValue_4->currentText(),
        ui->label_TestedCurrentValue_2->text(),
        ui->label_TestedResistanceValue_2->text(),
        ui->label_ConductorLengthValue_2->text(),
        ui->textEdit_Remark_2->toPlainText(),
    };
    const QByteArray trace = takeFinishedTrace(kLengthPage);
    appendResultRow(lengthTestModel, ui->tableView_lengthTest, texts,
                    keepResultRow(store::TableKind::LengthResults, texts, trace), trace);
}

// --- result table buttons ------------------------------------------------------

void MainWindow::on_toolButton_record_clicked()
{
    toggleResultTable(resTableShown, ui->tableView_resTest, ui->toolButton_record);
}

void MainWindow::on_toolButton_record2_clicked()
{
    toggleResultTable(lengthTableShown, ui->tableView_lengthTest, ui->toolButton_record2);
}

// The flag, not the view's visibility, decides: a test that ended while the
// table was hidden shows it without touching the flag.
void MainWindow::toggleResultTable(bool& shown, QTableView* view, QToolButton* button)
{
    shown = !shown;
    view->setVisible(shown);
    button->setArrowType(shown ? Qt::RightArrow : Qt::DownArrow);
}

void MainWindow::on_pushButton_delete_clicked()
{
    deleteSelectedRows(ui->tableView_resTest);
}

void MainWindow::on_pushButton_delete2_clicked()
{
    deleteSelectedRows(ui->tableView_lengthTest);
}

// Removes the rows selected as a whole (by their row header), highest first so
// that the numbers still to be removed stay valid, then numbers the rest 1, 2, ...
void MainWindow::deleteSelectedRows(QTableView* view)
{
    QAbstractItemModel* model = view->model();
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows(0))
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    forgetKeptRows(*model, rows);
    for (int row : rows)
        model->removeRow(row);
    for (int row = 0; row < model->rowCount(); ++row)
        model->setData(model->index(row, 0), QString::number(row + 1));
}

void MainWindow::on_pushButton_clear_clicked()
{
    forgetKeptTable(store::TableKind::DcResults);
    resTestModel->removeRows(0, resTestModel->rowCount());
}

void MainWindow::on_pushButton_clear2_clicked()
{
    forgetKeptTable(store::TableKind::LengthResults);
    lengthTestModel->removeRows(0, lengthTestModel->rowCount());
}
