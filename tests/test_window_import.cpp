// The main window's import of the instrument's stored records, against the
// in-process simulator: rows, progress and the end of a complete import, damaged
// records, and the imports that end early.

#include "data/receivethread.h"
#include "data/storedrecordsmodel.h"
#include "testsupport/windowrig.h"

using namespace windowtest;
using protocol::Bytes;

namespace {

struct ImportRig : Rig {
    explicit ImportRig(int records, const sim::Faults& faults = {})
    {
        instrument().setStoredRecordCount(records);  // seed 1: records 1-3 hold both test types
        instrument().setFaults(faults);
    }
    QAbstractItemModel* stored() const { return tableModel(*this, "tableView"); }
    // The requests of the import (command bytes of stored data, keys and upper) in the order received.
    std::vector<Bytes> importRequests() const
    {
        std::vector<Bytes> kept;
        for (const Bytes& r : instrument().requestLog())
            if (r.size() > 4 && r[4] >= quint8(protocol::Command::StoredRecords)
                && r != protocol::buildUpperOpenRequest())
                kept.push_back(r);
        return kept;
    }
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
    void initTestCase() { initWindowTests(); }

    // A damaged record leaves its row empty; the import goes on to its end,
    // and ends even when the damaged record is the last one.
    void importShowsEveryStoredRecord_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("damaged");  // 0: none; else this record, with a bad checksum or a wrong number
        QTest::addColumn<bool>("badChecksum");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("status");
        const QString none;
        QTest::newRow("nothing stored") << 0 << 0 << false << QStringList{QStringLiteral("无存储数据")}
                                        << QStringLiteral("无存储数据");
        QTest::newRow("45 records, two batches") << 45 << 0 << false << QStringList() << none;
        QTest::newRow("bad checksum: warning box") << 5 << 3 << true << QStringList{QStringLiteral("读取第3组数据校验和错误")}
                                                   << QStringLiteral("读取第3组数据校验和错误");
        QTest::newRow("wrong number: status bar only") << 5 << 3 << false << QStringList()
                                                       << QStringLiteral("读取第3组数据失败");
    }
    void importShowsEveryStoredRecord()
    {
        QFETCH(int, total);
        QFETCH(int, damaged);
        QFETCH(bool, badChecksum);
        QFETCH(QString, status);
        sim::Faults faults;
        (badChecksum ? faults.corruptRecord : faults.misnumberRecord) = damaged;
        ImportRig rig(total, faults);
        QVERIFY(rig.connect());
        // The bar rises with the records shown (20, 40, … 100 for five, some
        // steps left out when records arrive together) and always ends full.
        QList<int> progress, possibleProgress;
        connect(rig.get<QProgressBar>("progressBar"), &QProgressBar::valueChanged, [&](int v) { progress << v; });
        QVERIFY(rig.importAndWait());
        for (int n = 1; n <= total; ++n)
            possibleProgress << n * 100 / total;
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QVERIFY(std::includes(possibleProgress.begin(), possibleProgress.end(), progress.begin(), progress.end()));
        QCOMPARE(progress.isEmpty() ? 0 : progress.last(), total ? 100 : 0);
        QTEST(rig.boxTexts, "boxes");
        if (!status.isEmpty())
            QCOMPARE(rig.status(), status);
        QCOMPARE(rig.stored()->rowCount(), total);
        QSet<int> testTypes;
        for (int row = 0; row < total; ++row) {
            if (row + 1 == damaged) {
                for (int column = 0; column < 16; ++column)
                    QVERIFY(!rig.stored()->index(row, column).data().isValid());
                continue;
            }
            const ReceiveData rd = decoded(rig.instrument(), row + 1);
            testTypes << rd.testType;
            QCOMPARE(cellTexts(rig.stored()).value(row), StoredRecordsModel::recordTexts(rd));
        }
        QCOMPARE(testTypes.size(), total ? 2 : 0);

        QVERIFY(rig.action("actionExportToExcel")->isEnabled());
        QVERIFY(!rig.action("actionExportToPDF")->isEnabled());
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
        QVERIFY(!rig.instrument().keysLocked());
        std::vector<Bytes> expected{protocol::buildStoredCountRequest()};
        if (total)  // keys locked only for a read-out
            expected.push_back(protocol::buildKeyLockRequest());
        for (int first = 1; first <= total; first += 30)
            expected.push_back(protocol::buildReadBackRequest(first, std::min(30, total - first + 1)));
        expected.push_back(protocol::buildUpperCloseRequest());
        expected.push_back(protocol::buildKeyUnlockRequest());
        QCOMPARE(rig.importRequests(), expected);
    }

    void importWhileNotConnectedOnlySaysSo()
    {
        ImportRig rig(3);
        rig.action("actionImport_storage")->setEnabled(true);  // disabled while not connected
        rig.action("actionImport_storage")->trigger();
        QCOMPARE(rig.status(), QStringLiteral("设备未连接"));
        // Whatever the import had sent would reach the instrument before the connect.
        QVERIFY(rig.connect());
        QVERIFY(rig.importRequests().empty());
    }

    // A link lost during an import ends it: after the next connect the
    // readings are shown again and the language can be changed.
    void lostLinkEndsTheImport()
    {
        ImportRig rig(3);
        QVERIFY(rig.connect());
        sim::Faults silent;
        silent.silent = true;
        rig.instrument().setFaults(silent);
        rig.action("actionImport_storage")->trigger();
        QVERIFY(!rig.get<QMenu>("menuLanguage")->isEnabled());  // a language change would restart polling
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        rig.instrument().setFaults({});
        QVERIFY(rig.connect());  // readings are shown again
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
    }

    // An import that never gets its count leaves the table as it was; one cut
    // off by a lost link says how many records arrived, and the complete
    // import before it is what the next start shows.
    void aLostLinkLeavesTheLastCompleteImport()
    {
        ImportRig rig(5);
        QVERIFY(rig.connect());
        QVERIFY(rig.importAndWait());
        const auto earlier = cellTexts(rig.stored());
        sim::Faults faults;
        faults.silent = true;
        rig.instrument().setFaults(faults);
        rig.action("actionImport_storage")->trigger();
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        QCOMPARE(cellTexts(rig.stored()), earlier);
        QVERIFY(rig.boxTexts.isEmpty());

        constexpr int kRecords = 9999;
        rig.instrument().setStoredRecordCount(kRecords);
        faults = {};
        faults.answerDelayMs = 2;
        rig.instrument().setFaults(faults);
        QVERIFY(rig.connect());
        rig.action("actionImport_storage")->trigger();
        QVERIFY(QTest::qWaitFor(
            [&] { return rig.stored()->rowCount() == kRecords && rig.stored()->index(0, 0).data().isValid(); }, kWait));
        faults.dropAfterRequests = 1;
        rig.instrument().setFaults(faults);
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        QTRY_COMPARE_WITH_TIMEOUT(rig.boxTexts.size(), 1, kWait);
        int arrived = 0;
        for (int row = 0; row < rig.stored()->rowCount(); ++row)
            arrived += rig.stored()->index(row, 0).data().isValid() ? 1 : 0;
        QVERIFY(arrived > 0 && arrived < kRecords);
        QCOMPARE(rig.boxTexts.first(), QStringLiteral("存储数据导入中断：已收到%1组，共%2组；上次完整导入的数据已保留。")
                                           .arg(arrived)
                                           .arg(kRecords));
        rig.reopenWindow();
        QCOMPARE(cellTexts(rig.stored()), earlier);
    }
};

QTEST_MAIN(TestWindowImport)
#include "test_window_import.moc"
