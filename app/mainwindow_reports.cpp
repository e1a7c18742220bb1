// What leaves the program as files: the PDF report of the test page on screen
// and the Excel workbooks of the three tables. The window gathers the texts;
// the file exports ask where to save them and write them.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/fileexports.h"
#include "app/resultpage.h"
#include "data/storedrecordsmodel.h"

#include <QDateTime>
#include <QStandardItemModel>

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
