// Writes sample reports the way an operator would: the window against a
// simulated instrument in the same process runs two tests on each page, then
// exports the DC page's report in Chinese and the length page's in English,
// with a workbook of each result table, and renders the first three pages of
// each report (the first page, the summary, a record) to PNG with pdftoppm.
// Then the DC table is filled with a session of nine tappings by three phases
// and the summary page of its report is rendered in both languages.
// Headless with QT_QPA_PLATFORM=offscreen.
//
//   report-samples [output-folder]   (default: ./report-samples)

#include "app/chinesefonts.h"
#include "app/desktopfiles.h"
#include "app/mainwindow.h"
#include "app/settledmark.h"

#include "sim/instrument.h"
#include "sim/simtransport.h"
#include "testsupport/windowsteps.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QThread>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr int kStepTimeoutMs = 30000;
constexpr int kTappingColumn = 7;  // of the DC result table
constexpr int kPhaseColumn = 8;
constexpr int kConvertedColumn = 12;
constexpr int kMeasuredColumn = 13;

// The file dialogs answer with the next name; nothing is opened.
class SampleFiles : public DesktopFiles {
public:
    QString next;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return next; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return next; }
    void openWithDefaultApplication(const QString& path) override { std::printf("%s\n", qPrintable(path)); }
};

class Samples {
public:
    Samples(MainWindow& window, std::shared_ptr<sim::Instrument> instrument, SampleFiles& files, QString folder)
        : window_(window), instrument_(std::move(instrument)), files_(files), folder_(std::move(folder))
    {
    }

    bool waitUntil(const std::function<bool()>& condition, const char* what)
    {
        const bool done = windowsteps::waitUntil(condition, what, kStepTimeoutMs);
        ok_ = ok_ && done;
        return done;
    }

    // One test from its start to its result row.
    void runTest(bool lengthTest)
    {
        auto* model = qobject_cast<QStandardItemModel*>(
            windowsteps::child<QTableView>(window_, lengthTest ? "tableView_lengthTest" : "tableView_resTest")->model());
        const int rows = model->rowCount();
        emit window_.startTestingSignal(lengthTest);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Testing; }, "the test to run");
        emit window_.stopTestingSignal(lengthTest);
        waitUntil([&] { return model->rowCount() > rows; }, "the result row");
    }

    void chooseLanguage(const char* code)
    {
        for (QAction* action : windowsteps::child<QMenu>(window_, "menuLanguage")->actions()) {
            if (action->data().toString() == QLatin1String(code))
                action->trigger();
        }
        QCoreApplication::processEvents();
    }

    void exportReport(const QString& name, const PdfSettingData& header)
    {
        render(writeReport(name, header), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                           QStringLiteral("3")}, name);
    }

    // The summary page alone, as <name>.png.
    void exportSummary(const QString& name, const PdfSettingData& header)
    {
        render(writeReport(name, header), {QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"),
                                           QStringLiteral("2"), QStringLiteral("-singlefile")}, name);
    }

    void exportWorkbook(const QString& name, const char* saveButton)
    {
        files_.next = folder_ + QLatin1Char('/') + name + QStringLiteral(".xlsx");
        windowsteps::child<QPushButton>(window_, saveButton)->click();
        waitForSaved("the workbook to be written");
    }

    bool ok() const { return ok_; }

private:
    QString writeReport(const QString& name, const PdfSettingData& header)
    {
        const QString pdf = folder_ + QLatin1Char('/') + name + QStringLiteral(".pdf");
        files_.next = pdf;
        QMetaObject::invokeMethod(&window_, "pdfSettingSlot", Q_ARG(PdfSettingData, header));
        waitForSaved("the report to be written");
        return pdf;
    }

    // One export at a time: the next waits until the status bar says where this one went.
    void waitForSaved(const char* what)
    {
        const QWidget* saved = windowsteps::child<QWidget>(window_, "pushButton_openExportFolder");
        waitUntil([saved] { return saved->isVisible(); }, what);
    }

    void render(const QString& pdf, const QStringList& pages, const QString& name)
    {
        const QStringList arguments = QStringList{QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50")}
                                      + pages + QStringList{pdf, folder_ + QLatin1Char('/') + name};
        if (QProcess::execute(QStringLiteral("pdftoppm"), arguments) != 0)
            ok_ = false;
    }

    MainWindow& window_;
    std::shared_ptr<sim::Instrument> instrument_;
    SampleFiles& files_;
    QString folder_;
    bool ok_ = true;
};

// The DC table holds a transformer's high-voltage winding at nine tappings,
// three phases each, made from the first row the tests gave; one reading in
// seven had not settled.
void fillNineTapSession(QStandardItemModel* model)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts << model->index(0, column).data().toString();
    model->removeRows(0, model->rowCount());
    for (int r = 0; r < 27; ++r) {
        const QString ohms = QString::number(412.6 - 5.2 * (r / 3) + 0.4 * (r % 3), 'f', 1) + QStringLiteral("mΩ");
        texts[0] = QString::number(r + 1);
        texts[kTappingColumn] = QStringLiteral("%1").arg(r / 3 + 1, 2, 10, QLatin1Char('0'));
        texts[kPhaseColumn] = QStringList{QStringLiteral("A0"), QStringLiteral("B0"), QStringLiteral("C0")}[r % 3];
        texts[kConvertedColumn] = ohms;
        texts[kMeasuredColumn] = ohms;
        QList<QStandardItem*> items;
        for (const QString& text : texts)
            items << new QStandardItem(text);
        markSettled(items.first(), r % 7 != 6);
        model->appendRow(items);
    }
}

bool writeSamples(const QString& folder)
{
    sim::InstrumentOptions options;
    options.timeScale = 0.2;
    auto instrument = std::make_shared<sim::Instrument>(options);
    MainWindow window(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
    auto files = std::make_unique<SampleFiles>();
    SampleFiles& answers = *files;
    window.setDesktopFiles(std::move(files));
    window.show();
    Samples s(window, instrument, answers, folder);

    window.findChild<QAction*>(QStringLiteral("actionConnect"))->trigger();
    s.waitUntil([&] { return !windowsteps::child<QLabel>(window, "label_TestedResistanceValue")->text().isEmpty(); }, "a DC reading");
    windowsteps::child<QTextEdit>(window, "textEdit_Remark")->setPlainText(QStringLiteral("1号主变压器 高压侧绕组"));
    s.runTest(false);
    windowsteps::child<QTextEdit>(window, "textEdit_Remark")->setPlainText(
        QStringLiteral("分接开关切换后复测。\n\n油温 45℃，环境湿度 60%，接线端子已清洁，测试线夹接触良好；"
                       "三相电阻不平衡率在规程允许范围以内，可以投入运行。"));
    s.runTest(false);
    s.exportReport(QStringLiteral("report-dc-zh"),
                   {QStringLiteral("华东电力检修公司"), QStringLiteral("张工"), QStringLiteral("021-5555 0100"),
                    QStringLiteral("10A 直流电阻测试仪"), QStringLiteral("DC-10A"), QStringLiteral("1号主变压器"),
                    QStringLiteral("220kV 变电站")});
    s.exportWorkbook(QStringLiteral("results-dc-zh"), "pushButton_save");

    fillNineTapSession(qobject_cast<QStandardItemModel*>(windowsteps::child<QTableView>(window, "tableView_resTest")->model()));
    const PdfSettingData transformer{QStringLiteral("华东电力检修公司"), QStringLiteral("张工"), QString(), QString(),
                                     QString(), QStringLiteral("1号主变压器"), QString()};
    s.exportSummary(QStringLiteral("report-summary-zh"), transformer);
    s.chooseLanguage("en");
    s.exportSummary(QStringLiteral("report-summary-en"), transformer);

    window.findChild<QAction*>(QStringLiteral("actionConductor_length_test"))->trigger();
    s.waitUntil([&] { return instrument->screen() == sim::Screen::LengthTest; }, "the length screen");
    s.waitUntil([&] { return !windowsteps::child<QLabel>(window, "label_ConductorLengthValue_2")->text().isEmpty(); }, "a length reading");
    windowsteps::child<QTextEdit>(window, "textEdit_Remark_2")->setPlainText(QStringLiteral("Cable drum 7, outer layer"));
    s.runTest(true);
    s.runTest(true);
    s.exportReport(QStringLiteral("report-length-en"),
                   {QStringLiteral("Eastern Grid Services"), QStringLiteral("J. Doe"), QStringLiteral("555-0100"),
                    QStringLiteral("10A DC Resistance Tester"), QStringLiteral("DC-10A"),
                    QStringLiteral("Copper conductor, 2.5 mm²"), QStringLiteral("Cable store")});
    s.exportWorkbook(QStringLiteral("results-length-en"), "pushButton_save2");
    return s.ok();
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareWindowProgram();

    const QString folder = QCoreApplication::arguments().value(1, QStringLiteral("report-samples"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    return writeSamples(folder) ? 0 : 1;
}
