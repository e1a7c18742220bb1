// The baseline tab against a results store of its own: which reference each
// row meets (the object's baseline, or the object's latest earlier DC
// session), a refused file that leaves the kept baseline alone, and the
// baseline dialog's lines.

#include "app/baselinecomparison.h"
#include "dcresultcells.h"
#include "dialogs/baselinedialog.h"
#include "insight/baselinepanel.h"
#include "store/resultstore.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using store::BaselineEntry;
using store::TableKind;

namespace {

std::vector<analysis::DcResult> dcRows(const QList<QStringList>& cells)
{
    std::vector<analysis::DcResult> rows;
    for (const QStringList& row : cells)
        rows.push_back(analysis::dcResultFromCells(row));
    return rows;
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& text)
{
    const QString path = dir.filePath(QStringLiteral("baseline.csv"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

}  // namespace

class TestBaselineComparison : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        store = std::make_unique<store::ResultStore>(dir.filePath(QStringLiteral("results.sqlite")));
        QVERIFY(store->isKeeping());
        settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("insight.ini")), QSettings::IniFormat);
        transformer = store->objectId({0, QStringLiteral("T1"), QString(), QString()});
        other = store->objectId({0, QStringLiteral("T2"), QString(), QString()});
    }

    void cleanup()
    {
        store.reset();
        settings.reset();
        store::ResultStore::removeFiles(dir.filePath(QStringLiteral("results.sqlite")));
        QFile::remove(dir.filePath(QStringLiteral("insight.ini")));
    }

    void rowsMeetTheObjectsBaseline()
    {
        QVERIFY(store->setBaseline(transformer, {{1, QStringLiteral("5"), QStringLiteral("AB"), 1.0, 20.0, 0}}));
        BaselineComparison comparison(*settings);
        comparison.setResultStore(store.get());
        QCOMPARE(comparison.object(), other);  // the one named last
        comparison.setObject(transformer);
        comparison.showRows(dcRows({dcCells("AB", "1.015Ω", " "), dcCells("BC", "1.000Ω", " ")}));
        const analysis::Judgements& j = comparison.judgements();
        QCOMPARE(int(j.size()), 2);
        QVERIFY(j[0] && !j[1]);
        QVERIFY(qAbs(j[0]->deviationPercent - 1.5) < 1e-6);
        QCOMPARE(j[0]->verdict, analysis::Verdict::Watch);
        QCOMPARE(comparison.panel()->model()->rowCount(), 1);

        // The limits are the operator's: a wider first band passes the row, and is remembered.
        comparison.panel()->findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBox_passLimit"))->setValue(1.5);
        QCOMPARE(comparison.judgements()[0]->verdict, analysis::Verdict::Pass);
        BaselineComparison again(*settings);
        QCOMPARE(again.panel()->limits().passPercent, 1.5);
    }

    void aBadLineKeepsTheBaselineAsItWas()
    {
        const QList<BaselineEntry> kept{{1, QStringLiteral("5"), QStringLiteral("AB"), 1.0, 20.0, 0}};
        QVERIFY(store->setBaseline(transformer, kept));
        BaselineComparison comparison(*settings);
        comparison.setResultStore(store.get());
        comparison.setObject(transformer);
        const QString problem = comparison.importFile(writeFile(
            dir, "winding,tapping,phase,resistance_ohm,temperature_c,material\nHV,1,A0,2,20,Cu\nHV,2,A0,-2,20,Cu\n"));
        QVERIFY2(problem.contains(QLatin1String("3")), qPrintable(problem));
        QCOMPARE(store->baseline(transformer), kept);

        QVERIFY(comparison.importFile(writeFile(
                    dir, "winding,tapping,phase,resistance_ohm,temperature_c,material\nHV,1,A0,2,20,Cu\n"))
                    .isEmpty());
        QCOMPARE(store->baseline(transformer).size(), 1);
        QCOMPARE(store->baseline(transformer).first().phase, QStringLiteral("A0"));

        comparison.setObject(0);
        QVERIFY(!comparison.importFile(writeFile(dir, "winding,tapping,phase,resistance_ohm,temperature_c,material\n"
                                                      "HV,1,A0,2,20,Cu\n"))
                     .isEmpty());
    }

    // The latest earlier DC session of the same object: not another object's,
    // not a length session, not an older one.
    void previousSessionOfTheSameObject()
    {
        const auto session = [&](TableKind kind, qint64 object, const char* ohms) {
            store->appendRow(kind, dcCells("AB", QString::fromUtf8(ohms), " "), QByteArray(), std::nullopt, object);
            store->clearTable(kind);
        };
        session(TableKind::DcResults, transformer, "0.900Ω");
        session(TableKind::DcResults, transformer, "0.980Ω");
        session(TableKind::DcResults, other, "0.500Ω");
        session(TableKind::LengthResults, transformer, "0.700Ω");

        BaselineComparison comparison(*settings);
        comparison.setResultStore(store.get());
        comparison.setObject(transformer);
        comparison.panel()->findChild<QComboBox*>(QStringLiteral("comboBox_reference"))->setCurrentIndex(1);
        comparison.showRows(dcRows({dcCells("AB", "1.000Ω", " ")}));
        QVERIFY(comparison.judgements()[0]);
        QVERIFY(qAbs(comparison.judgements()[0]->deviationPercent - (1.0 / 0.98 - 1.0) * 100.0) < 1e-6);

        comparison.setObject(store->objectId({0, QStringLiteral("T3"), QString(), QString()}));
        QVERIFY(!comparison.judgements()[0]);
    }

    void dialogLines()
    {
        const QList<BaselineEntry> entries{{1, QStringLiteral("03"), QStringLiteral("BC"), 0.0123, 25.0, 1},
                                           {0, QString(), QStringLiteral("A0"), 2.5, -5.0, 0}};
        BaselineDialog dialog(QStringLiteral("T1"));
        dialog.setEntries(entries);
        QCOMPARE(dialog.entries(), entries);
        QCOMPARE(dialog.firstBadLine(), -1);

        dialog.addLine();
        QCOMPARE(dialog.firstBadLine(), 2);  // a new line has no resistance yet
        static_cast<QLineEdit*>(dialog.table()->cellWidget(2, BaselineDialog::Ohms))->setText(QStringLiteral("abc"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        dialog.table()->setCurrentCell(2, BaselineDialog::Tapping);
        dialog.removeCurrentLine();
        QCOMPARE(dialog.entries(), entries);
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<store::ResultStore> store;
    std::unique_ptr<QSettings> settings;
    qint64 transformer = 0;
    qint64 other = 0;
};

QTEST_MAIN(TestBaselineComparison)
#include "test_baselinecomparison.moc"
