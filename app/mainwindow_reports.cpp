// What leaves the program as files: the PDF report of the test page on screen
// and the Excel workbooks of the three tables. The window gathers the texts;
// the file exports ask where to save them and write them.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/reportsummary.h"
#include "app/windowparts.h"

#include <QStandardItemModel>

void MainWindow::setOperatorMessages(std::unique_ptr<OperatorMessages> messages)
{
    parts->messages = std::move(messages);
}

void MainWindow::setDesktopFiles(std::unique_ptr<DesktopFiles> files)
{
    parts->fileExports->setDesktopFiles(std::move(files));
}

// --- PDF report ----------------------------------------------------------------

void MainWindow::on_actionExportToPDF_triggered()
{
    parts->fileExports->openPdfSettings();
}

void MainWindow::pdfSettingSlot(PdfSettingData pdfS)
{
    parts->fileExports->exportPdf(pdfS);
}

// The reading of the page on screen, the summary of its result rows and the rows. Only the reading of
// the page on screen counts: the other page's label may hold an old value.
reports::ReportContent MainWindow::reportContent() const
{
    reports::ReportContent content;
    const int onScreen = ui->stackedWidget->currentIndex();
    const ResultPage* page = onScreen == kDcPage ? parts->dcPage : onScreen == kLengthPage ? parts->lengthPage : nullptr;
    if (!page)
        return content;
    const QLabel* resistance = page == parts->dcPage ? ui->label_TestedResistanceValue : ui->label_TestedResistanceValue_2;
    content.hasCurrentData = !resistance->text().isEmpty();
    if (content.hasCurrentData)
        content.currentData = page->currentDataSection();
    const QStandardItemModel& results = *page->resultModel();
    if (results.rowCount() > 0)
        content.summary = page == parts->dcPage ? dcReportSummary(results, parts->insight->currentJudgements(),
                                                                  parts->insight->balanceLimits())
                                                : lengthReportSummary(results);
    content.records = page->recordSections();
    return content;
}

// --- Excel workbooks -----------------------------------------------------------

void MainWindow::on_pushButton_save_clicked()
{
    parts->fileExports->exportTable(parts->dcPage->workbookTable());
}

void MainWindow::on_pushButton_save2_clicked()
{
    parts->fileExports->exportTable(parts->lengthPage->workbookTable());
}

void MainWindow::on_actionExportToExcel_triggered()
{
    if (isConnected)
        parts->fileExports->exportHeldTable(parts->storedImport->heldTable());
}
