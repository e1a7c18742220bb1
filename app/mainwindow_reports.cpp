// What leaves the program as files: the PDF report of the test page on screen
// and the Excel workbooks of the three tables. The window gathers the texts;
// the reports library lays them out and writes them.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/resultpage.h"
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

// What the page on screen shows at the time of the export.
reports::DataSection MainWindow::currentDataSection() const
{
    const ResultPage* page = resultPageOnScreen();
    return page ? page->currentDataSection() : reports::DataSection();
}

// The result rows of the page on screen, labelled with its table's headers.
QVector<reports::DataSection> MainWindow::recordSections() const
{
    const ResultPage* page = resultPageOnScreen();
    return page ? page->recordSections() : QVector<reports::DataSection>();
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

void MainWindow::exportTableToExcel(QStandardItemModel* model)
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
