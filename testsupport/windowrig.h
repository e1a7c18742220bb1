#pragma once
// A real main window over simulated instruments in the same process, sharing
// one hand-moved clock; warning boxes are answered with OK and their texts kept,
// questions before rows leave a table with `answerYes`.

#include "app/fileexports.h"
#include "app/mainwindow.h"
#include "app/operatormessages.h"
#include "app/rowremoval.h"
#include "sim/instrument.h"
#include "sim/simtransport.h"
#include "testsupport/fakedesktopfiles.h"
#include "testsupport/windowsteps.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace windowtest {

constexpr int kWait = 8000;  // ms: bound of every wait
inline QString connectedText() { return QStringLiteral("断开连接"); }
inline QString disconnectedText() { return QStringLiteral("连接"); }
// The actions that need an idle, connected instrument.
const char* const kDataActions[] = {"actionImport_storage", "actionExportToExcel", "actionExportToPDF",
                                    "actionAutomatic_measurement"};

inline LinkTiming fastLinkTiming()
{
    LinkTiming timing;
    timing.transferTimeoutMs = 400;  // long enough for a busy machine, short for a failure test
    timing.pollPauseMs = timing.retryPauseMs = timing.wakeUpPauseMs = timing.flushPauseMs = 2;
    return timing;
}

// The window's warnings noted instead of shown.
class NotedWarnings : public OperatorMessages {
public:
    NotedWarnings(QStringList* texts, QStringList* titles) : texts_(texts), titles_(titles) {}
    void warn(QWidget*, const QString& title, const QString& text) override
    {
        *texts_ << text;
        *titles_ << title;
    }

private:
    QStringList* texts_;
    QStringList* titles_;
};

struct Rig {
    explicit Rig(int instrumentCount = 1, const WindowTiming& windowTiming = WindowTiming{5, 30, 5},
                 const LinkTiming& linkTiming = fastLinkTiming())
        : clock(std::make_shared<sim::ManualClock>()), windowTiming(windowTiming), linkTiming(linkTiming)
    {
        windowsteps::removeKeptResults();
        windowsteps::forgetLanguage();
        for (int i = 0; i < instrumentCount; ++i)
            instruments.push_back(std::make_shared<sim::Instrument>(sim::InstrumentOptions(), clock));
        window = makeWindow();
        noteWarnings();
        answerQuestions();
        window->show();
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts << box->text();
                boxTitles << box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
        });
        boxCloser.start(10);
    }

    std::unique_ptr<MainWindow> makeWindow() const
    {
        return std::make_unique<MainWindow>(std::make_unique<sim::SimulatorTransport>(instruments), linkTiming,
                                            windowTiming);
    }
    // A restart of the program: the window closes, then a new one opens on the
    // same instruments and finds what the first one kept.
    void reopenWindow(const std::function<void()>& whileClosed = {})
    {
        window.reset();
        if (whileClosed)
            whileClosed();
        window = makeWindow();
        noteWarnings();
        answerQuestions();
        window->show();
    }
    void noteWarnings() { window->setOperatorMessages(std::make_unique<NotedWarnings>(&boxTexts, &boxTitles)); }
    void answerQuestions()
    {
        window->findChild<RowRemoval*>()->setAnswer([this](const QString& question) {
            questions << question;
            return answerYes;
        });
    }

    // From now on the save dialogs answer `answer`; the log keeps what was asked and opened.
    std::shared_ptr<FileLog> fakeDesktopFiles(const QString& answer = QString())
    {
        auto files = std::make_shared<FileLog>();
        files->answer = answer;
        window->setDesktopFiles(std::make_unique<FakeDesktopFiles>(files));
        return files;
    }

    // Until the file being exported is written (or given up): exports are written off the window's thread.
    bool waitForExport() const
    {
        const auto* exports = window->findChild<FileExports*>();
        return QTest::qWaitFor([exports] { return !exports->isExporting(); }, kWait);
    }
    sim::Instrument& instrument() const { return *instruments[0]; }
    template <class T> T* get(const char* name) const { return windowsteps::child<T>(*window, name); }
    QAction* action(const char* name) const { return get<QAction>(name); }
    QString status() const { return window->statusBar()->currentMessage(); }
    QString text(const char* label) const { return get<QLabel>(label)->text(); }
    auto* model(const char* view) const { return qobject_cast<QStandardItemModel*>(get<QTableView>(view)->model()); }
    bool pollingTimerActive() const
    {
        const auto timers = window->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        return std::any_of(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
    }
    bool waitForConnectText(const QString& text) const
    {
        return QTest::qWaitFor([&] { return action("actionConnect")->text() == text; }, kWait);
    }
    // The operator's disconnect, until the window shows it.
    bool disconnect()
    {
        action("actionConnect")->trigger();
        return waitForConnectText(disconnectedText());
    }
    // A test page chosen in the menu, until polling runs on it (the length page's lists filled).
    bool toPage(bool lengthPage)
    {
        action(lengthPage ? "actionConductor_length_test" : "actionDc_resistance_test")->trigger();
        return QTest::qWaitFor([&] {
            return get<QStackedWidget>("stackedWidget")->currentIndex() == int(lengthPage) && pollingTimerActive()
                   && (!lengthPage || get<QComboBox>("comboBox_WireSquareValue_4")->currentIndex() >= 0);
        }, kWait);
    }
    // The import of the instrument's stored records, until the import action is usable again.
    bool importAndWait()
    {
        action("actionImport_storage")->trigger();
        return QTest::qWaitFor([this] { return action("actionImport_storage")->isEnabled(); }, kWait);
    }
    // Connects and waits for the first reading on screen.
    bool connect()
    {
        action("actionConnect")->trigger();
        return waitForConnectText(connectedText())
               && QTest::qWaitFor([this] { return !text("label_TestedCurrentValue").isEmpty(); }, kWait);
    }
    // The language menu's entry for `code` ("zh", "en"), with the texts retranslated at once.
    void chooseLanguage(const QString& code)
    {
        for (QAction* a : get<QMenu>("menuLanguage")->actions())
            if (a->data().toString() == code)
                a->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
    bool waitForPhase(sim::Phase phase) const
    {
        return QTest::qWaitFor([&] { return instruments[0]->phase() == phase; }, kWait);
    }
    // One test on a page from its start to its result row, started and stopped by
    // the window's signals; the instrument measures three times in between.
    bool runTest(bool lengthPage)
    {
        const auto* rows = get<QTableView>(lengthPage ? "tableView_lengthTest" : "tableView_resTest")->model();
        const int before = rows->rowCount();
        emit window->startTestingSignal(lengthPage);
        if (!waitForPhase(sim::Phase::Charging))
            return false;
        clock->advanceMs(30'000);  // charged and settled
        if (!waitForPolls(3))
            return false;
        emit window->stopTestingSignal(lengthPage);
        if (!waitForPhase(sim::Phase::Discharging))
            return false;
        clock->advanceMs(100'000);  // discharged
        return QTest::qWaitFor([&] { return rows->rowCount() == before + 1; }, kWait);
    }
    // Whole rows of a table selected, as clicks on their headers with Ctrl held do.
    void selectRows(const char* view, const QList<int>& rows) const
    {
        auto* table = get<QTableView>(view);
        for (int row : rows)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // Until the first instrument has answered `polls` more requests and the window has taken its events since.
    bool waitForPolls(int polls)
    {
        const std::size_t target = instruments[0]->requestCount() + std::size_t(polls);
        const bool done = QTest::qWaitFor([&] { return instruments[0]->requestCount() >= target; }, kWait);
        QCoreApplication::processEvents();
        return done;
    }

    std::shared_ptr<sim::ManualClock> clock;
    WindowTiming windowTiming;
    LinkTiming linkTiming;
    std::vector<std::shared_ptr<sim::Instrument>> instruments;
    std::unique_ptr<MainWindow> window;
    QTimer boxCloser;
    QStringList boxTexts;
    QStringList boxTitles;
    QStringList questions;  // asked before rows left a table
    bool answerYes = true;
};

}  // namespace windowtest

inline void initWindowTests() { prepareWindowProgram(); }

// For the tests whose files lie in the home (the documents folder, the test
// mode's data folder): a home of their own, shared with no other run of the suite.
inline bool initWindowTestsInOwnHome()
{
    static QTemporaryDir home;
    if (!home.isValid())
        return false;
    qputenv("HOME", QFile::encodeName(home.path()));
    initWindowTests();
    return true;
}

// Whether a text holds Chinese characters (a text left untranslated in English).
inline bool hasChinese(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x3400 && c.unicode() <= 0x9fff; });
}

// Any table as the operator reads it, whatever its model's class.
inline QAbstractItemModel* tableModel(const windowtest::Rig& rig, const char* view)
{
    return rig.get<QTableView>(view)->model();
}

// Rows numbered on from the last, whose other cells name their row in this
// fill and their column ("格2-5").
inline void fillRows(QStandardItemModel* model, int rows)
{
    for (int r = 0; r < rows; ++r) {
        QList<QStandardItem*> items{new QStandardItem(QString::number(model->rowCount() + 1))};
        for (int c = 1; c < model->columnCount(); ++c)
            items << new QStandardItem(QStringLiteral("格%1-%2").arg(r + 1).arg(c));
        model->appendRow(items);
    }
}

// The texts of a table's cells, row by row.
inline QList<QStringList> cellTexts(const QAbstractItemModel* model)
{
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->index(row, column).data().toString();
        rows << texts;
    }
    return rows;
}

inline QStringList columnTexts(const QList<QStringList>& rows, int column)
{
    QStringList texts;
    for (const QStringList& row : rows)
        texts << row.value(column);
    return texts;
}
