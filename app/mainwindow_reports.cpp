// What leaves the program as files: the PDF report of the test page on screen
// and the Excel workbooks of the three tables. The window gathers the texts;
// the file exports ask where to save them and write them.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/fileexports.h"
#include "data/storedrecordsmodel.h"

#include <QDateTime>
#include <QStandardItemModel>

namespace {

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kDcRemarkColumn = 14;
constexpr int kLengthRemarkColumn = 12;

}  // namespace

void MainWindow::setDesktopFiles(std::unique_ptr<DesktopFiles> files)
{
    fileExports->setDesktopFiles(std::move(files));
}

// --- PDF report ----------------------------------------------------------------

void MainWindow::on_actionExportToPDF_triggered()
{
    fileExports->openPdfSettings();
}

void MainWindow::pdfSettingSlot(PdfSettingData pdfS)
{
    fileExports->exportPdf(pdfS);
}

// The reading of the page on screen and its result rows.
reports::ReportContent MainWindow::reportContent() const
{
    const int page = ui->stackedWidget->currentIndex();
    reports::ReportContent content;
    // Only the reading of the page on screen counts: the other page's label
    // may still hold an old value.
    const QLabel* resistance = page == kDcPage       ? ui->label_TestedResistanceValue
                               : page == kLengthPage ? ui->label_TestedResistanceValue_2
                                                     : nullptr;
    content.hasCurrentData = resistance && !resistance->text().isEmpty();
    if (content.hasCurrentData)
        content.currentData = currentDataSection();
    content.records = recordSections();
    return content;
}

// What the page shows at the time of the export.
reports::DataSection MainWindow::currentDataSection() const
{
    reports::DataSection section;
    section.title = tr("当前数据");
    section.time = {tr("测试时间："), QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat))};
    section.dataHeading = tr("数据");
    section.remarkHeading = tr("备注");
    if (ui->stackedWidget->currentIndex() == kDcPage) {
        section.fields.left = {
            {tr("试品编号："), ui->spinBox_ConductorNoValue_3->text()},
            {tr("试品材质："), ui->comboBox_ConductorMaterialValue_3->currentText()},
            {tr("试品温度："), ui->doubleSpinBox_ConductorTempValue_3->text()},
            {tr("折算温度："), ui->comboBox_ConvertedTempValue_3->currentText()},
            {tr("环境温度："), ui->label_EnvironmentTempValue->text()},
            {tr("分接："), ui->spinBox_TappingValue_3->text()},
        };
        section.fields.right = {
            {tr("相别："), ui->comboBox_PhaseTypeValue_3->currentText()},
            {tr("绕组："), ui->comboBox_WindingValue_3->currentText()},
            {tr("电流设置："), ui->comboBox_CurrentSettingValue_3->currentText()},
            {tr("测试电流："), ui->label_TestedCurrentValue->text()},
            {tr("折算电阻："), ui->label_ConvertedResistanceValue->text()},
            {tr("测试电阻："), ui->label_TestedResistanceValue->text()},
        };
        section.remark = ui->textEdit_Remark->toPlainText();
    } else if (ui->stackedWidget->currentIndex() == kLengthPage) {
        section.fields.left = {
            {tr("试品编号："), ui->spinBox_ConductorNoValue_4->text()},
            {tr("样品编号："), ui->spinBox_SampleNoValue_4->text()},
            {tr("1米导线标称截面积："), ui->comboBox_WireSquareValue_4->currentText()},
            {tr("标准值设置："), ui->comboBox_StandardSettingValue_4->currentText()},
            {tr("标准值："),
             ui->doubleSpinBox_StandardValue_4->text() + ui->comboBox_StandardUnitValue_4->currentText()},
        };
        section.fields.right = {
            {tr("环境温度："), ui->label_EnvironmentTempValue_2->text()},
            {tr("电流设置："), ui->comboBox_CurrentSettingValue_4->currentText()},
            {tr("测试电流："), ui->label_TestedCurrentValue_2->text()},
            {tr("测试电阻："), ui->label_TestedResistanceValue_2->text()},
            {tr("导体长度："), ui->label_ConductorLengthValue_2->text()},
        };
        section.remark = ui->textEdit_Remark_2->toPlainText();
    }
    return section;
}

// The result rows of the page on screen, labelled with its table's headers.
QVector<reports::DataSection> MainWindow::recordSections() const
{
    const reports::RecordTexts texts{tr("记录 %1"), tr("测试时间："), tr("数据"), tr("备注")};
    switch (ui->stackedWidget->currentIndex()) {
    case kDcPage:
        return reports::recordSections(reports::modelTable(*resTestModel), kDcRemarkColumn, texts);
    case kLengthPage:
        return reports::recordSections(reports::modelTable(*lengthTestModel), kLengthRemarkColumn, texts);
    default:
        return {};
    }
}

// --- Excel workbooks -----------------------------------------------------------

void MainWindow::on_pushButton_save_clicked()
{
    fileExports->exportTable(*resTestModel);
}

void MainWindow::on_pushButton_save2_clicked()
{
    fileExports->exportTable(*lengthTestModel);
}

void MainWindow::on_actionExportToExcel_triggered()
{
    if (isConnected)
        fileExports->exportTable(*storedModel);
}
