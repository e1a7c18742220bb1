// The main window's import of the instrument's stored records, against the
// in-process simulator: rows, progress and the end of a complete import, damaged
// records, and the imports that end early.

#include "instrument.h"
#include "mainwindow.h"
#include "receivethread.h"
#include "simtransport.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

using protocol::Bytes;
constexpr int kWait = 8000;  // ms: bound of every wait

struct Rig {
    explicit Rig(int storedRecords, sim::Faults faults = {})
    {
        sim::InstrumentOptions options;
        options.storedRecords = storedRecords;
        options.seed = 1;  // its records 1-3 hold both test types
        options.faults = faults;
        instrument = std::make_shared<sim::Instrument>(options, std::make_shared<sim::ManualClock>());
        LinkTiming timing;
        timing.transferTimeoutMs = 400;
        timing.pollPauseMs = timing.retryPauseMs = timing.wakeUpPauseMs = timing.flushPauseMs = 2;
        window = std::make_unique<MainWindow>(std::make_unique<sim::SimulatorTransport>(instrument), timing,
                                              WindowTiming{5, 30, 5});
        window->show();
        // Warning boxes are answered with OK; their texts are kept.
        QObject::connect(&boxCloser, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    boxTexts << box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            }
        });
        boxCloser.start(10);
    }
    template <class T> T* get(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QAction* action(const char* name) const { return get<QAction>(name); }
    QStandardItemModel* table() const { return static_cast<QStandardItemModel*>(get<QTableView>("tableView")->model()); }
    QString cell(int row, int column) const { return table()->index(row, column).data().toString(); }
    bool waitForText(const char* name, const char* text) const
    {
        return QTest::qWaitFor([=] { return action(name)->text() == QString::fromUtf8(text); }, kWait);
    }
    bool connect() { action("actionConnect")->trigger(); return waitForText("actionConnect", "断开连接"); }
    bool importAndWait()  // until the import action is usable again
    {
        action("actionImport_storage")->trigger();
        return QTest::qWaitFor([this] { return action("actionImport_storage")->isEnabled(); }, kWait);
    }
    // The requests of the import (command bytes of stored data, keys and upper) in the order received.
    std::vector<Bytes> importRequests() const
    {
        std::vector<Bytes> kept;
        for (const Bytes& r : instrument->requestLog()) {
            if (r.size() > 4 && r[4] >= quint8(protocol::Command::StoredRecords) && r != protocol::buildUpperOpenRequest())
                kept.push_back(r);
        }
        return kept;
    }
    std::shared_ptr<sim::Instrument> instrument;
    std::unique_ptr<MainWindow> window;
    QTimer boxCloser;
    QStringList boxTexts;
};

ReceiveData decoded(const sim::Instrument& instrument, int number)
{
    ReceiveThread parser;
    QSignalSpy records(&parser, &ReceiveThread::finishReadReadBackData);
    const Bytes answer = instrument.storedRecordAnswer(number);
    parser.parseReadBackData(std::vector<unsigned char>(answer.begin(), answer.end()), number);
    return records.isEmpty() ? ReceiveData() : records.first().first().value<ReceiveData>();
}

}  // namespace

class TestWindowImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
        qRegisterMetaType<ReceiveData>("ReceiveData");
    }

    void completeImportFillsEveryRowInOrder_data()
    {
        QTest::addColumn<int>("total");
        QTest::newRow("3 records, one batch") << 3;
        QTest::newRow("45 records, two batches") << 45;
    }
    void completeImportFillsEveryRowInOrder()
    {
        QFETCH(int, total);
        Rig rig(total);
        QVERIFY(rig.connect());
        // The bar follows the records in their order: 33, 66, 100 for three.
        QList<int> progress, expectedProgress;
        connect(rig.get<QProgressBar>("progressBar"), &QProgressBar::valueChanged, [&](int v) { progress << v; });
        QVERIFY(rig.importAndWait());
        for (int n = 1; n <= total; ++n) {
            if (expectedProgress.isEmpty() || n * 100 / total != expectedProgress.last())
                expectedProgress << n * 100 / total;
        }
        QCOMPARE(progress, expectedProgress);
        QCOMPARE(rig.table()->rowCount(), total);
        QSet<int> testTypes;
        for (int row = 0; row < total; ++row) {
            const ReceiveData rd = decoded(*rig.instrument, row + 1);
            const bool length = rd.testType != 0;
            testTypes << rd.testType;
            QCOMPARE(rig.cell(row, 0), rd.recordNo);
            QCOMPARE(rig.cell(row, 4), rd.testedResistance + rd.testedResistanceUnit);
            QVERIFY(!(rig.table()->flags(rig.table()->index(row, 4)) & Qt::ItemIsEditable));
            QCOMPARE(rig.cell(row, 5), length ? rd.conductorLength + rd.conductorLengthUnit : QString());
            QCOMPARE(rig.cell(row, 7).endsWith(QStringLiteral("平方")), length);  // like 2.5平方
            QCOMPARE(rig.cell(row, 15), length ? QString() : rd.convertedResistance + rd.convertedResistanceUnit);
        }
        QCOMPARE(testTypes.size(), 2);

        QVERIFY(rig.action("actionExportToExcel")->isEnabled());
        QVERIFY(!rig.action("actionExportToPDF")->isEnabled());
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
        QVERIFY(!rig.instrument->keysLocked());
        std::vector<Bytes> expected{protocol::buildStoredCountRequest(), protocol::buildKeyLockRequest()};
        for (int first = 1; first <= total; first += 30)
            expected.push_back(protocol::buildReadBackRequest(first, std::min(30, total - first + 1)));
        expected.push_back(protocol::buildUpperCloseRequest());
        expected.push_back(protocol::buildKeyUnlockRequest());
        QCOMPARE(rig.importRequests(), expected);
    }

    void damagedRecordLeavesItsRowEmpty_data()
    {
        QTest::addColumn<bool>("badChecksum");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad checksum: warning box") << true << QStringLiteral("读取第3组数据校验和错误");
        QTest::newRow("wrong number: status bar only") << false << QStringLiteral("读取第3组数据失败");
    }
    void damagedRecordLeavesItsRowEmpty()
    {
        QFETCH(bool, badChecksum);
        QFETCH(QString, message);
        sim::Faults faults;
        (badChecksum ? faults.corruptRecord : faults.misnumberRecord) = 3;
        Rig rig(5, faults);
        QVERIFY(rig.connect());
        QVERIFY(rig.importAndWait());
        QCOMPARE(rig.boxTexts, badChecksum ? QStringList{message} : QStringList());
        QCOMPARE(rig.window->statusBar()->currentMessage(), message);
        for (int column = 0; column < 16; ++column)
            QVERIFY(rig.cell(2, column).isEmpty());
        QCOMPARE(rig.cell(4, 0), decoded(*rig.instrument, 5).recordNo);
        QCOMPARE(rig.get<QProgressBar>("progressBar")->value(), 100);
        QVERIFY(!rig.instrument->keysLocked());
    }

    void importWhileNotConnectedOnlySaysSo()
    {
        Rig rig(3);
        rig.action("actionImport_storage")->setEnabled(true);  // disabled while not connected
        rig.action("actionImport_storage")->trigger();
        QCOMPARE(rig.window->statusBar()->currentMessage(), QStringLiteral("设备未连接"));
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 0);
        QTest::qWait(50);
        QCOMPARE(rig.instrument->requestCount(), std::size_t(0));
    }

    void nothingStoredEndsTheImport()
    {
        Rig rig(0);
        QVERIFY(rig.connect());
        QVERIFY(rig.importAndWait());
        QCOMPARE(rig.boxTexts, QStringList{QStringLiteral("无存储数据")});
        QCOMPARE(rig.table()->rowCount(), 0);
        // Neither key lock nor read-out; the end of the import is told as ever.
        const std::vector<Bytes> expected{protocol::buildStoredCountRequest(), protocol::buildUpperCloseRequest(),
                                          protocol::buildKeyUnlockRequest()};
        QCOMPARE(rig.importRequests(), expected);
    }

    // A link lost during an import ends it: after the next connect the
    // readings are shown again and the language can be changed.
    void lostLinkEndsTheImport()
    {
        Rig rig(3);
        QVERIFY(rig.connect());
        sim::Faults silent;
        silent.silent = true;
        rig.instrument->setFaults(silent);
        rig.action("actionImport_storage")->trigger();
        QVERIFY(!rig.get<QMenu>("menuLanguage")->isEnabled());  // a language change would restart polling
        QVERIFY(rig.waitForText("actionConnect", "连接"));
        rig.instrument->setFaults({});
        QVERIFY(rig.connect());
        QVERIFY(QTest::qWaitFor([&] { return !rig.get<QLabel>("label_TestedCurrentValue")->text().isEmpty(); }, kWait));
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
    }
};

QTEST_MAIN(TestWindowImport)
#include "test_window_import.moc"
