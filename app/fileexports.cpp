#include "app/fileexports.h"

#include "dialogs/pdfsettingdialog.h"
#include "reports/exportpaths.h"
#include "reports/reportpainter.h"
#include "reports/workbookwriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QStackedWidget>

namespace {

const char* const kPdfFilter = "PDF(*.pdf)";
const char* const kExcelFilter = "Excel(*.xlsx)";
constexpr int kDcPage = 0;
constexpr int kLengthPage = 1;

QString proposedPath(const char* suffix)
{
    return reports::proposedExportPath(reports::exportFolder(), QDateTime::currentDateTime(),
                                       QLatin1String(suffix));
}

reports::ReportHeader reportHeader(const PdfSettingData& d)
{
    reports::ReportHeader header;
    header.userHeading = QCoreApplication::translate("MainWindow", "用户信息");
    header.testerHeading = QCoreApplication::translate("MainWindow", "测试仪信息");
    header.userAndTester.left = {{QCoreApplication::translate("MainWindow", "公司："), d.companyName},
                                 {QCoreApplication::translate("MainWindow", "姓名："), d.userName},
                                 {QCoreApplication::translate("MainWindow", "联系方式："), d.contact}};
    header.userAndTester.right = {{QCoreApplication::translate("MainWindow", "名称："), d.testerName},
                                  {QCoreApplication::translate("MainWindow", "型号："), d.testerModel},
                                  {}};
    header.objectHeading = QCoreApplication::translate("MainWindow", "测量对象");
    header.object = {{QCoreApplication::translate("MainWindow", "名称："), d.testObjName},
                     {QCoreApplication::translate("MainWindow", "场景："), d.scene}};
    return header;
}

}  // namespace

FileExports::FileExports(QWidget* window, const QStackedWidget* pages, PageContent pageContent)
    : QObject(window), window(window), pages(pages), pageContent(std::move(pageContent))
{
}

void FileExports::setDesktopFiles(std::unique_ptr<DesktopFiles> files)
{
    desktopFiles = std::move(files);
}

// --- PDF report ----------------------------------------------------------------

void FileExports::openPdfSettings()
{
    auto* dialog = new PdfSettingDialog(window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QCoreApplication::translate("MainWindow", "PDF设置"));
    dialog->setWindowFlags(Qt::Window);
    dialog->show();
    connect(dialog, &PdfSettingDialog::pdfSettingSignal, this, &FileExports::exportPdf);
}

void FileExports::exportPdf(const PdfSettingData& header)
{
    const QString caption = QCoreApplication::translate("MainWindow", "保存PDF文件");
    const QString path = desktopFiles->saveFileName(window, caption, proposedPath("pdf"), QLatin1String(kPdfFilter));
    if (path.isEmpty())
        return;
    qDebug() << "PDF report:" << path;
    QString error;
    if (!reports::writePdfReport(path, reportContent(header), &error)) {
        warnUnwritten(caption, path, error);
        return;
    }
    desktopFiles->openWithDefaultApplication(path);
}

reports::ReportContent FileExports::reportContent(const PdfSettingData& header) const
{
    const int page = pages->currentIndex();
    reports::ReportContent content = pageContent();
    if (page == kDcPage)
        content.title = QCoreApplication::translate("MainWindow", "直流电阻测量报告");
    else if (page == kLengthPage)
        content.title = QCoreApplication::translate("MainWindow", "导体长度测量报告");
    content.header = reportHeader(header);
    content.columns = page == kLengthPage ? reports::kLengthColumns : reports::kDcColumns;
    return content;
}

// --- Excel workbooks -----------------------------------------------------------

void FileExports::exportTable(const QAbstractItemModel& model)
{
    const QString caption = QCoreApplication::translate("MainWindow", "保存Excel文件");
    if (!exportWorkbook(caption, reports::modelTable(model), nullptr))
        emit warning(caption, QCoreApplication::translate("MainWindow", "保存失败"));
}

bool FileExports::exportWorkbook(const QString& caption, const reports::TextTable& table, QWidget* dialogParent)
{
    if (table.rowCount == 0) {
        emit warning(QString(), QCoreApplication::translate("MainWindow", "无数据"));
        return true;
    }
    const QString path = desktopFiles->saveFileName(dialogParent, caption, proposedPath("xlsx"),
                                                    QLatin1String(kExcelFilter));
    if (path.isEmpty())
        return false;
    QString error;
    int dropped = 0;
    if (!reports::writeWorkbook(path, table, &error, &dropped)) {
        warnUnwritten(caption, path, error);
        return true;
    }
    if (dropped > 0)
        emit warning(caption, QCoreApplication::translate("MainWindow", "表格中有 %1 个 Excel 文件无法存放的字符，已略去")
                                  .arg(dropped));
    desktopFiles->openWithDefaultApplication(path);
    return true;
}

void FileExports::warnUnwritten(const QString& caption, const QString& path, const QString& reason)
{
    qWarning() << "not written:" << path << reason;
    emit warning(caption, QCoreApplication::translate("MainWindow", "无法写入文件 %1").arg(QDir::toNativeSeparators(path))
                              + QLatin1Char('\n') + reason);
}
