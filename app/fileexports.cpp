#include "app/fileexports.h"

#include "app/backgroundexport.h"
#include "app/exportstatus.h"
#include "dialogs/pdfsettingdialog.h"
#include "reports/exportpaths.h"
#include "reports/reportpainter.h"
#include "reports/sessiontable.h"
#include "reports/workbookwriter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QStackedWidget>

#include <algorithm>

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

// The name of the object under test (with its serial number) and its location
// where the operator left the header's name and scene empty.
PdfSettingData withTestObject(PdfSettingData header, const store::TestObject& object)
{
    if (header.testObjName.trimmed().isEmpty())
        header.testObjName = object.label();
    if (header.scene.trimmed().isEmpty())
        header.scene = object.location;
    return header;
}

}  // namespace

FileExports::FileExports(QWidget* window, const QStackedWidget* pages, QStatusBar* statusBar, PageContent pageContent)
    : QObject(window), window(window), pages(pages), pageContent(std::move(pageContent)),
      background(new BackgroundExport(this)), status(new ExportStatus(statusBar, background, this))
{
    connect(background, &BackgroundExport::finished, this, &FileExports::finish);
    connect(status, &ExportStatus::openFolderRequested, this,
            [this](const QString& folder) { desktopFiles->openWithDefaultApplication(folder); });
}

void FileExports::setDesktopFiles(std::unique_ptr<DesktopFiles> files)
{
    desktopFiles = std::move(files);
}

// --- PDF report ----------------------------------------------------------------

void FileExports::openPdfSettings()
{
    if (refusedWhileExporting(QCoreApplication::translate("MainWindow", "PDF设置")))
        return;
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
    if (refusedWhileExporting(caption))
        return;
    const QString path = desktopFiles->saveFileName(window, caption, proposedPath("pdf"), QLatin1String(kPdfFilter));
    if (path.isEmpty())
        return;
    qDebug() << "PDF report:" << path;
    runningCaption = caption;
    droppedInRun.reset();
    background->start(path, [content = reportContent(header)](const QString& target, const reports::WriteProgress& progress,
                                                             QString* error) {
        return reports::writePdfReport(target, content, error, progress);
    });
}

reports::ReportContent FileExports::reportContent(const PdfSettingData& header) const
{
    const int page = pages->currentIndex();
    reports::ReportContent content = pageContent();
    if (page == kDcPage)
        content.title = QCoreApplication::translate("MainWindow", "直流电阻测量报告");
    else if (page == kLengthPage)
        content.title = QCoreApplication::translate("MainWindow", "导体长度测量报告");
    content.header = reportHeader(withTestObject(header, objectSource ? objectSource() : store::TestObject()));
    content.columns = page == kLengthPage ? reports::kLengthColumns : reports::kDcColumns;
    content.pageFooter = QCoreApplication::translate("MainWindow", "第 %1 页 / 共 %2 页");
    return content;
}

// --- Excel workbooks -----------------------------------------------------------

void FileExports::exportTable(const reports::TextTable& table)
{
    const QString caption = QCoreApplication::translate("MainWindow", "保存Excel文件");
    if (!exportWorkbook(caption, table, nullptr))
        emit warning(caption, QCoreApplication::translate("MainWindow", "保存失败"));
}

void FileExports::exportHeldTable(const reports::TextTable& held)
{
    const QString caption = QCoreApplication::translate("MainWindow", "保存Excel文件");
    if (!mayStartWorkbook(caption, held))
        return;
    if (!startWorkbook(caption, nullptr, [held] { return held; }))
        emit warning(caption, QCoreApplication::translate("MainWindow", "保存失败"));
}

bool FileExports::exportWorkbook(const QString& caption, const reports::TextTable& table, QWidget* dialogParent)
{
    if (!mayStartWorkbook(caption, table))
        return true;
    // The rows as the operator asked for them: the table may change while the dialog is open.
    const std::shared_ptr<const reports::TextTable> held =
        std::make_shared<const reports::TextTable>(reports::heldTable(table));
    return startWorkbook(caption, dialogParent, [held] { return *held; });
}

bool FileExports::mayStartWorkbook(const QString& caption, const reports::TextTable& table)
{
    if (refusedWhileExporting(caption))
        return false;
    if (table.rowCount == 0) {
        emit warning(QString(), QCoreApplication::translate("MainWindow", "无数据"));
        return false;
    }
    return true;
}

void FileExports::exportSession(const QStringList& headers, const QString& storePath, qint64 sessionId,
                                store::TableKind kind)
{
    const QString caption = QCoreApplication::translate("MainWindow", "保存Excel文件");
    if (refusedWhileExporting(caption))
        return;
    // A session may hold thousands of rows: they are read where the file is
    // written, through a reading connection of that thread's own.
    const bool started = startWorkbook(caption, nullptr, [headers, storePath, sessionId, kind] {
        store::StoreOptions reading;
        reading.readOnly = true;
        const store::ResultStore kept(storePath, reading);
        QList<store::Row> rows = kept.sessionRows(sessionId);
        rows.erase(std::remove_if(rows.begin(), rows.end(), [](const store::Row& row) { return row.cells.isEmpty(); }),
                   rows.end());
        return reports::sessionTable(headers, rows, kind);
    });
    if (!started)
        emit warning(caption, QCoreApplication::translate("MainWindow", "保存失败"));
}

bool FileExports::startWorkbook(const QString& caption, QWidget* dialogParent, TableSource table)
{
    const QString path = desktopFiles->saveFileName(dialogParent, caption, proposedPath("xlsx"),
                                                    QLatin1String(kExcelFilter));
    if (path.isEmpty())
        return false;
    runningCaption = caption;
    droppedInRun = std::make_shared<int>(0);
    background->start(path, [table = std::move(table), dropped = droppedInRun](
                                const QString& target, const reports::WriteProgress& progress, QString* error) {
        const reports::TextTable rows = table();
        if (rows.rowCount == 0) {
            *error = QStringLiteral("no rows to write");
            return false;
        }
        return reports::writeWorkbook(target, rows, error, progress, dropped.get());
    });
    return true;
}

bool FileExports::isExporting() const
{
    return background->isBusy();
}

// A second export waits for the operator: the first one's file is not put at risk.
bool FileExports::refusedWhileExporting(const QString& caption)
{
    if (!isExporting())
        return false;
    emit warning(caption, QCoreApplication::translate("MainWindow", "正在导出另一个文件，请等它完成或取消后再试。"));
    return true;
}

void FileExports::finish(const QString& path, bool written, bool cancelled, const QString& error)
{
    if (written && droppedInRun && *droppedInRun > 0)
        emit warning(runningCaption,
                     QCoreApplication::translate("MainWindow", "表格中有 %1 个 Excel 文件无法存放的字符，已略去")
                         .arg(*droppedInRun));
    if (written)
        desktopFiles->openWithDefaultApplication(path);
    else if (!cancelled)
        warnUnwritten(runningCaption, path, error);
    emit exportFinished(path, written);
}

void FileExports::warnUnwritten(const QString& caption, const QString& path, const QString& reason)
{
    qWarning() << "not written:" << path << reason;
    emit warning(caption, QCoreApplication::translate("MainWindow", "无法写入文件 %1").arg(QDir::toNativeSeparators(path))
                              + QLatin1Char('\n') + reason);
}
