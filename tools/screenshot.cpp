// Takes screenshots of the main window against a simulated instrument in the
// same process: disconnected, connected, settings edit mode, testing, danger,
// over range, finished tests with their result rows, an automatic test series
// with its panel, a test settling on its trend, a three-phase balance summary,
// the same rows against an imported baseline and their tap profile,
// the length page and the stored-data page, the tables a restart restores and
// the history, the Help menu, the user guide and the About box, in Chinese and
// in English. Headless with QT_QPA_PLATFORM=offscreen.
//
//   window-screenshots [--platform-link | --safety] [output-folder]   (default: ./screenshots)
//
// With --platform-link the window connects the way the program does, to whatever
// the platform finds: start resistance-tester-sim first. With --safety only the
// series dialog and the warning of a link lost during a test are shot.

#include "app/chinesefonts.h"
#include "app/mainwindow.h"
#include "app/operatormessages.h"
#include "dialogs/autotestdialog.h"
#include "app/rowremoval.h"

#include "sim/instrument.h"
#include "link/settingsframes.h"
#include "sim/simtransport.h"
#include "insight/trendpanel.h"
#include "testsupport/fakedesktopfiles.h"
#include "testsupport/windowsteps.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kStepTimeoutMs = 15000;

class Session
{
public:
    Session(MainWindow& window, std::shared_ptr<sim::Instrument> instrument, QString folder)
        : window_(window), instrument_(std::move(instrument)), folder_(std::move(folder))
    {
        // The tour's clears are meant: they ask nothing.
        window.findChild<RowRemoval*>()->setAnswer([](const QString&) { return true; });
    }

    template <class T>
    T* get(const char* name) const
    {
        return windowsteps::child<T>(window_, name);
    }

    // Runs the event loop until the condition holds; false after the time-out.
    bool waitUntil(const std::function<bool()>& condition, const char* what)
    {
        const bool done = windowsteps::waitUntil(condition, what, kStepTimeoutMs);
        ok_ = ok_ && done;
        return done;
    }

    // Lets a few more readings arrive so that every label has settled.
    void settle(int ms = 700)
    {
        QElapsedTimer elapsed;
        elapsed.start();
        while (elapsed.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
    }

    void shoot(const QString& name) { save(window_.grab(), name); }

    void save(const QPixmap& picture, const QString& name)
    {
        const QString path = folder_ + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!picture.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            ok_ = false;
            return;
        }
        std::printf("%s\n", qPrintable(path));
    }

    // The window with the series panel drawn where it stands over it.
    void shootWithPanel(const QString& name)
    {
        auto* panel = get<QWidget>("autoTestPanel");
        QPixmap shot = window_.grab();
        QPainter painter(&shot);
        const QRect area(panel->pos() - window_.pos(), panel->size());
        painter.drawPixmap(area.topLeft(), panel->grab());
        painter.setPen(Qt::darkGray);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.end();
        save(shot, name);
    }

    void chooseLanguage(const char* code)
    {
        for (QAction* action : get<QMenu>("menuLanguage")->actions()) {
            if (action->data().toString() == QLatin1String(code))
                action->trigger();
        }
    }

    void pressTestButton(bool lengthTest)
    {
        get<QPushButton>(lengthTest ? "pushButton_Test_2" : "pushButton_Test")->click();
    }

    // One test from start to the result row; pictures along the way.
    void testCycle(bool lengthTest, const QString& suffix)
    {
        const QString page = lengthTest ? QStringLiteral("length-") : QStringLiteral("dc-");
        pressTestButton(lengthTest);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Testing; }, "the test to run");
        settle(1500);
        shoot(page + QStringLiteral("testing-") + suffix);
        pressTestButton(lengthTest);
        auto* live = get<QStackedWidget>(lengthTest ? "stackedWidget_Len" : "stackedWidget_Res");
        // Only the DC test runs at 10 A here, and discharging that is dangerous.
        if (!lengthTest && waitUntil([&] { return live->currentIndex() == 1; }, "the danger picture"))
            shoot(page + QStringLiteral("danger-") + suffix);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Complete && live->currentIndex() == 0; },
                  "the test to end");
        settle();
        shoot(page + QStringLiteral("complete-") + suffix);
    }

    // A series of two DC tests, shot with its panel during the pause, then ended.
    void series(const QString& suffix)
    {
        window_.startAutoTestSlot(2, 10000);
        auto* countdown = get<QLabel>("label_autoTestCountdown");
        if (waitUntil([&] { return countdown->text() == QLatin1String("7 s"); }, "the pause of the series"))
            shootWithPanel(QStringLiteral("dc-series-") + suffix);
        get<QPushButton>("pushButton_exitAutoTest")->click();
        // The closed panel deletes itself; outside the event loop that needs a push.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        settle(300);
    }

    // A test without pictures, started and stopped with the page's button.
    void quickTest(bool lengthTest)
    {
        pressTestButton(lengthTest);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Testing; }, "the test to run");
        settle(300);
        pressTestButton(lengthTest);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Complete; }, "the test to end");
        settle();
    }

    // The update button opens the settings; a picture; the button again.
    void editMode(bool lengthTest, const QString& name)
    {
        auto* change = get<QPushButton>(lengthTest ? "pushButton_Change_2" : "pushButton_Change");
        change->click();
        settle(300);
        shoot(name);
        change->click();
        settle();
    }

    // A sample far above the range: the test runs over range from its start.
    void overRangeTest(const QString& name)
    {
        instrument_->setDcSampleOhms(50.0);
        pressTestButton(false);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Testing; }, "the over-range test to run");
        settle(1500);
        shoot(name);
        pressTestButton(false);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Complete; }, "the over-range test to end");
        instrument_->setDcSampleOhms(0.012345);
        settle();
    }

    // An inductive sample: the trend while the reading still creeps down.
    void settlingTest(const QString& name)
    {
        auto* trend = get<TrendPanel>("trendPanel_dc");
        if (trend->isFolded())
            trend->foldButton()->click();
        instrument_->setInductiveSeconds(8.0);
        pressTestButton(false);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Testing; }, "the settling test to run");
        settle(7000);  // a full stability window of readings
        shoot(name);
        pressTestButton(false);
        waitUntil([&] { return instrument_->phase() == sim::Phase::Complete; }, "the settling test to end");
        instrument_->setInductiveSeconds(0.0);
        settle();
    }

    // Two windings' three phases on a fresh table, the second with one phase
    // 3 % off, and the balance tab showing the pass and the fail.
    void balance(const QString& name)
    {
        get<QPushButton>("pushButton_clear")->click();
        for (int tapping : {2, 3}) {
            for (int phase = 0; phase < 3; ++phase) {
                protocol::DcSettings settings;
                settings.currentIndex = 19;  // 10 A
                settings.convertedTemp = 75;
                settings.tapping = tapping;
                settings.phaseIndex = phase;
                settings.windingIndex = 1;
                settings.conductorNo = 1;
                settings.conductorTemp = 20.0f;
                instrument_->handle(protocol::buildDcSettingsFrame(settings));
                instrument_->setDcSampleOhms(tapping == 3 && phase == 2 ? 0.012345 * 1.03 : 0.012345);
                settle(600);  // the page shows the new settings before the test
                quickTest(false);
            }
        }
        instrument_->setDcSampleOhms(0.012345);
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(1);
        settle(300);
        shoot(name);
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(0);
    }

    // The balance's rows against the sample baseline, imported through the menu
    // (the file dialog answers with the sample).
    void baseline(const QString& name)
    {
        get<QAction>("actionImportBaseline")->trigger();
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(2);
        settle(300);
        get<QTableView>("tableView_baseline")->scrollToBottom();  // the tap with the phase 3 % off
        settle(100);
        shoot(name);
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(0);
    }

    // The same rows' tap profile, at the window's first size.
    void tapProfile(const QString& name)
    {
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(3);
        settle(300);
        shoot(name);
        get<QTabWidget>("tabWidget_insight")->setCurrentIndex(0);
    }

    bool ok() const { return ok_; }

private:
    MainWindow& window_;
    std::shared_ptr<sim::Instrument> instrument_;
    QString folder_;
    bool ok_ = true;
};

// The full tour against a simulated instrument inside this process.
bool tourInProcess(const QString& folder)
{
    sim::InstrumentOptions options;
    options.dangerWhileDischarging = true;
    options.timeScale = 0.5;
    auto instrument = std::make_shared<sim::Instrument>(options);
    // The transformer the baseline tab compares against, named before the window opens.
    store::ResultStore(store::ResultStore::defaultPath())
        .objectId({0, QStringLiteral("1号主变"), QStringLiteral("T-2019-0417"), QStringLiteral("东郊变电站")});
    MainWindow window(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
    auto files = std::make_shared<windowtest::FileLog>();
    files->answer = QStringLiteral(TESTER_SOURCE_DIR "/docs/baseline-sample.csv");
    window.setDesktopFiles(std::make_unique<windowtest::FakeDesktopFiles>(files));
    window.resize(1257, 682);
    window.show();
    Session s(window, instrument, folder);
    s.settle(300);
    s.shoot(QStringLiteral("disconnected-zh"));

    auto* connect = s.get<QAction>("actionConnect");
    connect->trigger();
    s.waitUntil([&] { return !s.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(); },
                "the first reading");
    s.settle();
    s.shoot(QStringLiteral("dc-connected-zh"));
    s.editMode(false, QStringLiteral("dc-edit-zh"));
    s.get<QTextEdit>("textEdit_Remark")->setPlainText(QStringLiteral("1号变压器 高压侧"));
    s.testCycle(false, QStringLiteral("zh"));
    s.series(QStringLiteral("zh"));
    s.overRangeTest(QStringLiteral("dc-overrange-zh"));
    for (int i = 0; i < 3; ++i)
        s.quickTest(false);
    s.shoot(QStringLiteral("dc-rows-zh"));
    s.settlingTest(QStringLiteral("dc-settling-zh"));
    s.balance(QStringLiteral("dc-balance-zh"));
    s.baseline(QStringLiteral("dc-baseline-zh"));
    s.tapProfile(QStringLiteral("dc-tapprofile-zh"));

    s.get<QAction>("actionConductor_length_test")->trigger();
    s.waitUntil([&] { return instrument->screen() == sim::Screen::LengthTest; }, "the length screen");
    s.waitUntil([&] { return !s.get<QLabel>("label_ConductorLengthValue_2")->text().isEmpty(); },
                "a length reading");
    s.settle();
    s.shoot(QStringLiteral("length-zh"));
    s.editMode(true, QStringLiteral("length-edit-zh"));
    s.testCycle(true, QStringLiteral("zh"));

    s.chooseLanguage("en");
    s.waitUntil([&] { return connect->text() == QLatin1String("Disconnect"); }, "the English texts");
    s.waitUntil([&] { return !s.get<QLabel>("label_ConductorLengthValue_2")->text().isEmpty(); },
                "a length reading in English");
    s.settle();
    s.shoot(QStringLiteral("length-en"));
    s.editMode(true, QStringLiteral("length-edit-en"));
    s.testCycle(true, QStringLiteral("en"));

    s.get<QAction>("actionDc_resistance_test")->trigger();
    s.waitUntil([&] { return instrument->screen() == sim::Screen::DcTest; }, "the DC screen");
    s.waitUntil([&] { return !s.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(); },
                "a DC reading in English");
    s.settle();
    s.shoot(QStringLiteral("dc-connected-en"));
    s.editMode(false, QStringLiteral("dc-edit-en"));
    s.testCycle(false, QStringLiteral("en"));
    s.series(QStringLiteral("en"));
    for (int i = 0; i < 4; ++i)
        s.quickTest(false);
    s.shoot(QStringLiteral("dc-rows-en"));
    s.settlingTest(QStringLiteral("dc-settling-en"));
    s.balance(QStringLiteral("dc-balance-en"));
    s.baseline(QStringLiteral("dc-baseline-en"));
    s.tapProfile(QStringLiteral("dc-tapprofile-en"));

    connect->trigger();
    s.waitUntil([&] { return connect->text() == QLatin1String("Connect"); }, "the disconnect");
    s.settle(300);
    s.shoot(QStringLiteral("disconnected-en"));
    // The stored-data page is open to the operator only while nothing is polled.
    s.get<QAction>("actionStorage")->trigger();
    s.settle(300);
    s.shoot(QStringLiteral("storage-en"));
    return s.ok();
}

// As the operator types it into the DC page's fields.
void nameTestObject(Session& s, const store::TestObject& object)
{
    const std::pair<const char*, QString> fields[] = {{"lineEdit_objectName", object.name},
                                                      {"lineEdit_objectSerial", object.serial},
                                                      {"lineEdit_objectLocation", object.location}};
    for (const auto& [name, text] : fields) {
        auto* field = s.get<QLineEdit>(name);
        field->setText(text);
        emit field->textEdited(text);
        emit field->editingFinished();
    }
}

// Rows kept by one run, shown again by the next: a run measures, clears each
// result table once (its rows go to the history) and imports the stored
// records; the next runs show the restored tables and the history, in
// Chinese and in English.
bool tourRestoreAndHistory(const QString& folder)
{
    windowsteps::forgetLanguage();
    store::ResultStore::removeFiles(store::ResultStore::defaultPath());
    sim::InstrumentOptions options;
    options.timeScale = 0.2;
    options.storedRecords = 6;
    auto instrument = std::make_shared<sim::Instrument>(options);
    const auto makeWindow = [&] {
        auto window = std::make_unique<MainWindow>(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
        window->resize(1257, 682);
        window->show();
        return window;
    };
    bool ok = true;
    {
        auto window = makeWindow();
        Session s(*window, instrument, folder);
        s.get<QAction>("actionConnect")->trigger();
        s.waitUntil([&] { return !s.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(); }, "the first reading");
        nameTestObject(s, {0, QStringLiteral("1号主变"), QStringLiteral("SN-2019-07"), QStringLiteral("城东变电站")});
        s.get<QTextEdit>("textEdit_Remark")->setPlainText(QStringLiteral("1号变压器 高压侧"));
        for (int i = 0; i < 3; ++i)
            s.quickTest(false);
        s.get<QPushButton>("pushButton_clear")->click();
        nameTestObject(s, {0, QStringLiteral("2号主变"), QStringLiteral("SN-2021-02"), QStringLiteral("城东变电站")});
        s.get<QTextEdit>("textEdit_Remark")->setPlainText(QStringLiteral("2号变压器 低压侧"));
        for (int i = 0; i < 4; ++i)
            s.quickTest(false);

        s.get<QAction>("actionConductor_length_test")->trigger();
        s.waitUntil([&] { return instrument->screen() == sim::Screen::LengthTest; }, "the length screen");
        s.settle();
        s.get<QTextEdit>("textEdit_Remark_2")->setPlainText(QStringLiteral("电缆盘 A-07"));
        for (int i = 0; i < 2; ++i)
            s.quickTest(true);
        s.get<QPushButton>("pushButton_clear2")->click();
        s.quickTest(true);

        s.get<QAction>("actionConnect")->trigger();  // the stored-data page opens only while nothing is polled
        s.waitUntil([&] { return s.get<QAction>("actionConnect")->text() == QStringLiteral("连接"); }, "the disconnect");
        s.get<QAction>("actionConnect")->trigger();
        s.waitUntil([&] { return s.get<QAction>("actionConnect")->text() == QStringLiteral("断开连接"); }, "the connection");
        s.get<QAction>("actionStorage")->trigger();
        auto* import = s.get<QAction>("actionImport_storage");
        for (int i = 0; i < 2; ++i) {  // the second import sends the first to the history
            s.settle(300);
            import->trigger();
            s.waitUntil([&] { return !import->isEnabled(); }, "the import to start");
            s.waitUntil([&] { return import->isEnabled(); }, "the import to end");
        }
        ok = s.ok();
    }
    for (const char* language : {"zh", "en"}) {
        auto window = makeWindow();
        Session s(*window, instrument, folder);
        const QString suffix = QLatin1String(language);
        if (suffix == QLatin1String("en")) {
            s.chooseLanguage(language);
            s.get<QAction>("actionConductor_length_test")->trigger();
        }
        s.settle(300);
        s.shoot((suffix == QLatin1String("en") ? QStringLiteral("length-restored-") : QStringLiteral("dc-restored-"))
                + suffix);
        s.get<QAction>("actionHistory")->trigger();
        s.settle(300);
        auto* history = QApplication::activeWindow();
        if (history && history != window.get()) {
            s.save(history->grab(), QStringLiteral("history-") + suffix);
            history->close();
        } else {
            std::fprintf(stderr, "no history window\n");
            ok = false;
        }
        ok = ok && s.ok();
    }
    return ok;
}

// The window's warnings as boxes that stay open, without a modal loop, so that
// the tour can shoot them over the window.
class OpenWarnings : public OperatorMessages {
public:
    void warn(QWidget* parent, const QString& title, const QString& text) override
    {
        auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->show();
        shown = box;
    }
    QPointer<QMessageBox> shown;
};

// In each language: the series dialog, then a test whose instrument is
// unplugged while it runs, with the warning over the window.
bool tourSafety(const QString& folder)
{
    sim::InstrumentOptions options;
    options.inductiveSeconds = 4.0;
    auto instrument = std::make_shared<sim::Instrument>(options);
    MainWindow window(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
    auto warnings = std::make_unique<OpenWarnings>();
    OpenWarnings* boxes = warnings.get();
    window.setOperatorMessages(std::move(warnings));
    window.resize(1257, 682);
    window.show();
    Session s(window, instrument, folder);
    auto* connect = s.get<QAction>("actionConnect");
    for (const char* language : {"zh", "en"}) {
        s.chooseLanguage(language);
        s.settle(300);
        instrument->setFaults(sim::Faults());
        connect->trigger();
        s.waitUntil([&] { return !s.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(); }, "a reading");
        s.get<QAction>("actionAutomatic_measurement")->trigger();  // usable while connected and idle
        s.settle(300);
        if (auto* dialog = window.findChild<AutoTestDialog*>()) {
            s.save(dialog->grab(), QStringLiteral("series-dialog-") + QLatin1String(language));
            dialog->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        s.pressTestButton(false);
        s.waitUntil([&] { return instrument->phase() == sim::Phase::Testing; }, "the test to run");
        s.settle(1500);
        sim::Faults unplugged;
        unplugged.unplugged = true;
        instrument->setFaults(unplugged);
        if (s.waitUntil([&] { return boxes->shown != nullptr; }, "the warning")) {
            s.settle(300);
            QPixmap shot = window.grab();
            QPainter painter(&shot);
            const QPixmap box = boxes->shown->grab();
            painter.drawPixmap(QPoint((shot.width() - box.width()) / 2, (shot.height() - box.height()) / 2), box);
            painter.end();
            s.save(shot, QStringLiteral("lost-link-") + QLatin1String(language));
            boxes->shown->close();
        }
    }
    return s.ok();
}

// The program's own way: whatever instrument the platform finds (a real one,
// or a simulator program listening in the runtime folder), at full timing.
bool tourThroughPlatform(const QString& folder)
{
    MainWindow window;
    window.resize(1257, 682);
    window.show();
    Session s(window, nullptr, folder);
    auto* connect = s.get<QAction>("actionConnect");
    connect->trigger();
    s.waitUntil([&] { return connect->text() == QStringLiteral("断开连接"); }, "the connection");
    s.waitUntil([&] {
        return !s.get<QLabel>("label_TestedCurrentValue")->text().isEmpty()
            || !s.get<QLabel>("label_TestedCurrentValue_2")->text().isEmpty();
    }, "the first reading");
    s.settle(1500);
    s.shoot(QStringLiteral("platform-connected-zh"));
    s.chooseLanguage("en");
    s.waitUntil([&] { return connect->text() == QLatin1String("Disconnect"); }, "the English texts");
    s.settle(1500);
    s.shoot(QStringLiteral("platform-connected-en"));
    connect->trigger();
    s.waitUntil([&] { return connect->text() == QLatin1String("Connect"); }, "the disconnect");
    s.shoot(QStringLiteral("platform-disconnected-en"));
    return s.ok();
}

// The Help menu open over the window, the user guide and the About box, in
// Chinese and in English.
bool tourHelp(const QString& folder)
{
    windowsteps::forgetLanguage();
    auto instrument = std::make_shared<sim::Instrument>(sim::InstrumentOptions());
    MainWindow window(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
    window.resize(1257, 682);
    window.show();
    Session s(window, instrument, folder);
    for (const char* language : {"zh", "en"}) {
        const QString suffix = QLatin1String(language);
        s.chooseLanguage(language);
        s.settle(300);
        auto* menu = s.get<QMenu>("menuHelp");
        window.menuBar()->setActiveAction(menu->menuAction());
        s.waitUntil([&] { return menu->isVisible(); }, "the Help menu");
        s.settle(200);
        QPixmap shot = window.grab();
        QPainter painter(&shot);
        painter.drawPixmap(menu->mapToGlobal(QPoint()) - window.mapToGlobal(QPoint()), menu->grab());
        painter.end();
        s.save(shot, QStringLiteral("help-menu-") + suffix);
        menu->close();

        s.get<QAction>("actionHelp")->trigger();
        auto* guide = s.get<QWidget>("userGuide");
        s.settle(200);
        s.save(guide->grab(), QStringLiteral("help-guide-") + suffix);
        guide->close();

        QTimer::singleShot(300, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                s.save(box->grab(), QStringLiteral("about-") + suffix);
                box->accept();
            }
        });
        s.get<QAction>("actionAbout")->trigger();  // returns when the box is closed
    }
    return s.ok();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    prepareWindowProgram();

    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool throughPlatform = arguments.removeAll(QStringLiteral("--platform-link")) > 0;
    const bool safety = arguments.removeAll(QStringLiteral("--safety")) > 0;
    const QString folder = arguments.value(0, QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    const bool ok = throughPlatform ? tourThroughPlatform(folder)
                    : safety        ? tourSafety(folder)
                                    : tourInProcess(folder) && tourRestoreAndHistory(folder) && tourHelp(folder);
    return ok ? 0 : 1;
}
