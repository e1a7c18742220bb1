// What leaves the program as files: the PDF report of the test page on screen
// and the Excel workbooks of the three tables. The window gathers the texts;
// the reports library lays them out and writes them.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "data/storedrecordsmodel.h"
#include "reports/exportpaths.h"
#include "dialogs/pdfsettingdialog.h"
#include "reports/reportpainter.h"
#include "reports/workbookwriter.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QMessageBox>
#include <QStandardItemModel>

namespace {

const char* const kPdfFilter = "PDF(*.pdf)";
const char* const kExcelFilter = "Excel(*.xlsx)";
const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kDcRemarkColumn = 14;
constexpr int kLengthRemarkColumn = 12;

QString proposedPath(const char* suffix)
{
    return reports::proposedExportPath(reports::exportFolder(), QDateTime::currentDateTime(),
                                       QLatin1String(suffix));
}

}  // namespace

void MainWindow::setDesktopFiles(std::unique_ptr<DesktopFiles> files)
{
    desktopFiles = std::move(files);
}

// --- PDF report ----------------------------------------------------------------

// Every press opens a dialog of its own; each exports when it is accepted.
void MainWindow::on_actionExportToPDF_triggered()
{
    pdfSettingDialog = new PdfSettingDialog(this);
    pdfSettingDialog->setAttribute(Qt::WA_DeleteOnClose);
    pdfSettingDialog->setWindowTitle(tr("PDF设置"));
    pdfSettingDialog->setWindowFlags(Qt::Window);
    pdfSettingDialog->show();
    connect(pdfSettingDialog, &PdfSettingDialog::pdfSettingSignal, this, &MainWindow::pdfSettingSlot);
}

void MainWindow::pdfSettingSlot(PdfSettingData pdfS)
{
    pdfSettingData = pdfS;
    const QString caption = tr("保存PDF文件");
    const QString path = desktopFiles->saveFileName(this, caption, proposedPath("pdf"), QLatin1String(kPdfFilter));
    if (path.isEmpty())
        return;
    qDebug() << "PDF report:" << path;
    QString error;
    if (!reports::writePdfReport(path, reportContent(), &error)) {
        showUnwrittenFileWarning(caption, path, error);
        return;
    }
    desktopFiles->openWithDefaultApplication(path);
}

reports::ReportContent MainWindow::reportContent() const
{
    const int page = ui->stackedWidget->currentIndex();
    reports::ReportContent content;
    if (page == kDcPage)
        content.title = tr("直流电阻测量报告");
    else if (page == kLengthPage)
        content.title = tr("导体长度测量报告");
    content.header = reportHeader();
    content.columns = page == kLengthPage ? reports::kLengthColumns : reports::kDcColumns;
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

reports::ReportHeader MainWindow::reportHeader() const
{
    const PdfSettingData& d = pdfSettingData;
    reports::ReportHeader header;
    header.userHeading = tr("用户信息");
    header.testerHeading = tr("测试仪信息");
    header.userAndTester.left = {{tr("公司："), d.companyName}, {tr("姓名："), d.userName}, {tr("联系方式："), d.contact}};
    header.userAndTester.right = {{tr("名称："), d.testerName}, {tr("型号："), d.testerModel}, {}};
    header.objectHeading = tr("测量对象");
    header.object = {{tr("名称："), d.testObjName}, {tr("场景："), d.scene}};
    return header;
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
    exportTableToExcel(resTestModel);
}

void MainWindow::on_pushButton_save2_clicked()
{
    exportTableToExcel(lengthTestModel);
}

void MainWindow::on_actionExportToExcel_triggered()
{
    if (isConnected)
        exportTableToExcel(storedModel);
}

void MainWindow::exportTableToExcel(const QAbstractItemModel* model)
{
    if (!model || model->rowCount() == 0) {
        showWarningBox(tr("无数据"));
        return;
    }
    const QString caption = tr("保存Excel文件");
    const QString path = desktopFiles->saveFileName(nullptr, caption, proposedPath("xlsx"), QLatin1String(kExcelFilter));
    if (path.isEmpty()) {
        QMessageBox::warning(this, caption, tr("保存失败"));
        return;
    }
    QString error;
    if (!reports::writeWorkbook(path, reports::modelTable(*model), &error)) {
        showUnwrittenFileWarning(caption, path, error);
        return;
    }
    desktopFiles->openWithDefaultApplication(path);
}

void MainWindow::showUnwrittenFileWarning(const QString& caption, const QString& path, const QString& reason)
{
    qWarning() << "not written:" << path << reason;
    QMessageBox::warning(this, caption,
                         tr("无法写入文件 %1").arg(QDir::toNativeSeparators(path)) + QLatin1Char('\n') + reason);
}
