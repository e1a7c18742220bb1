#pragma once
// What leaves the program as files: the PDF report of the test page on screen
// and Excel workbooks of tables. It asks where to save through DesktopFiles,
// takes the texts at once and writes the file on a thread of its own (one
// export at a time), then hands it to the desktop, says in the status bar
// where it went, or warns when nothing was written.

#include "app/desktopfiles.h"
#include "dialogs/pdfsettingdata.h"
#include "reports/reportcontent.h"
#include "reports/texttable.h"
#include "store/resultstore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

class BackgroundExport;
class ExportStatus;
class QStackedWidget;
class QStatusBar;
class QWidget;

class FileExports : public QObject
{
    Q_OBJECT

public:
    // The reading of the page on screen, when it shows one, the summary of its
    // result rows and the rows; the report's title, header, columns and page
    // footer are added here.
    using PageContent = std::function<reports::ReportContent()>;

    FileExports(QWidget* window, const QStackedWidget* pages, QStatusBar* statusBar, PageContent pageContent);

    void setDesktopFiles(std::unique_ptr<DesktopFiles> files);
    // The object under test: it names the report's measured object where the header leaves that empty.
    void setObjectSource(std::function<store::TestObject()> source) { objectSource = std::move(source); }
    DesktopFiles& desktop() const { return *desktopFiles; }

    // Every call opens a header dialog of its own; each exports when it is accepted.
    void openPdfSettings();
    void exportPdf(const PdfSettingData& header);

    // A cancelled save dialog is answered with "保存失败".
    void exportTable(const reports::TextTable& table);
    // The same for a table that holds its texts and may be read on another thread.
    void exportHeldTable(const reports::TextTable& held);
    // Warns of an empty table; otherwise asks where to save it and starts
    // writing it. False only when the operator cancelled the save dialog.
    bool exportWorkbook(const QString& caption, const reports::TextTable& table, QWidget* dialogParent);
    // A session kept in the results store at storePath, read and written off the window's thread.
    void exportSession(const QStringList& headers, const QString& storePath, qint64 sessionId, store::TableKind kind);

    bool isExporting() const;

signals:
    void warning(const QString& title, const QString& text);
    // A started export has ended: written, cancelled or failed.
    void exportFinished(const QString& path, bool written);

private:
    using TableSource = std::function<reports::TextTable()>;  // called on the writing thread

    bool mayStartWorkbook(const QString& caption, const reports::TextTable& table);
    bool startWorkbook(const QString& caption, QWidget* dialogParent, TableSource table);
    reports::ReportContent reportContent(const PdfSettingData& header) const;
    bool refusedWhileExporting(const QString& caption);
    void finish(const QString& path, bool written, bool cancelled, const QString& error);
    void warnUnwritten(const QString& caption, const QString& path, const QString& reason);

    QWidget* window;
    const QStackedWidget* pages;
    PageContent pageContent;
    std::function<store::TestObject()> objectSource;
    std::unique_ptr<DesktopFiles> desktopFiles = makeSystemDesktopFiles();
    BackgroundExport* background;
    ExportStatus* status;
    QString runningCaption;  // the save dialog's caption of the export being written
    std::shared_ptr<int> droppedInRun;  // characters the running workbook left out, counted by its writer
};
