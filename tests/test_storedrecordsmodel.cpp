// The stored-data table's model: an imported record, a restored row and a
// record that never arrived read alike; a language change keeps the rows; the
// packed texts come back whole, however long or wherever their characters lie.

#include "data/storedrecordsmodel.h"

#include <QTranslator>
#include <QtTest>

namespace {

QStringList sixteen(const QString& mark)
{
    QStringList texts;
    for (int column = 0; column < 16; ++column)
        texts << QStringLiteral("%1-%2").arg(mark).arg(column);
    return texts;
}

// Every text of the window's context in "English".
class MarkingTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QLatin1String(context) == QLatin1String("MainWindow") ? QStringLiteral("en:") + QString::fromUtf8(source)
                                                                     : QString();
    }
};

}  // namespace

class TestStoredRecordsModel : public QObject
{
    Q_OBJECT

private slots:
    void everySourceReadsTheSame_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("texts");
        ReceiveData rd;
        rd.recordNo = QStringLiteral("7");
        rd.testedResistance = QStringLiteral("1.25");
        rd.testedResistanceUnit = QStringLiteral("mΩ");
        QTest::newRow("imported record") << "imported" << StoredRecordsModel::recordTexts(rd);
        QTest::newRow("restored row") << "restored" << sixteen(QStringLiteral("r"));
        QTest::newRow("record never arrived") << "missing" << QStringList();
        QTest::newRow("restored empty row") << "restored" << QStringList(QVector<QString>(16).toList());
    }
    void everySourceReadsTheSame()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, texts);
        StoredRecordsModel model;
        model.appendRow(sixteen(QStringLiteral("first")), 1);
        if (source == QLatin1String("restored")) {
            model.appendRow(texts, 42);
        } else {
            model.setRowCount(2);
            if (source == QLatin1String("imported"))
                model.setRecords({{1, texts}});
        }
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.columnCount(), 16);
        for (int column = 0; column < 16; ++column) {
            const QModelIndex cell = model.index(1, column);
            const QString text = texts.value(column);
            QCOMPARE(cell.data(), text.isEmpty() ? QVariant() : QVariant(text));
            QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
            QVERIFY(!(cell.flags() & Qt::ItemIsEditable));
        }
        if (source == QLatin1String("imported"))
            QCOMPARE(model.index(1, 4).data().toString(), QStringLiteral("1.25mΩ"));
        QCOMPARE(model.index(1, 0).data(StoredRecordsModel::KeptIdRole).toLongLong(),
                 source == QLatin1String("restored") ? 42 : 0);
        const bool empty = texts.join(QString()).isEmpty();
        QCOMPARE(model.emptyRows(), empty ? QList<int>{1} : QList<int>());
        QCOMPARE(model.index(0, 15).data().toString(), QStringLiteral("first-15"));
    }

    void longAndEmptyCellsComeBackWhole()
    {
        QStringList texts = sixteen(QStringLiteral("油温"));
        texts[0].clear();
        texts[3] = QString(70000, QLatin1Char('x'));
        texts[4] = QStringLiteral("ÿ|\U0001F600 ±0.5℃ μΩ");  // characters outside ASCII and outside 16 bits
        texts[6].clear();
        texts[15].clear();
        StoredRecordsModel model;
        model.appendRow(texts);
        for (int column = 0; column < 16; ++column)
            QCOMPARE(model.index(0, column).data(), texts[column].isEmpty() ? QVariant() : QVariant(texts[column]));
    }

    // An export reads a snapshot on its own thread while the table is emptied
    // and filled anew by the next import: the snapshot keeps what was shown.
    void aSnapshotKeepsItsRowsWhileTheTableChanges()
    {
        StoredRecordsModel model;
        for (int row = 0; row < 3000; ++row)
            model.appendRow(sixteen(QString::number(row)));
        const StoredRecordsModel::Snapshot shown = model.snapshot();
        model.clear();
        model.setRowCount(2);
        model.setRecords({{0, sixteen(QStringLiteral("new"))}});
        for (int row = 0; row < 3000; ++row)
            model.appendRow(sixteen(QStringLiteral("later")));
        QCOMPARE(shown.rowCount(), 3000);
        for (int row : {0, 1, 1500, 2999})
            QCOMPARE(shown.cell(row, 15), QStringLiteral("%1-15").arg(row));
        QCOMPARE(model.index(0, 15).data().toString(), QStringLiteral("new-15"));
    }

    void retranslateKeepsEveryRow()
    {
        StoredRecordsModel model;
        model.appendRow(sixteen(QStringLiteral("a")));
        model.setRowCount(3);
        model.setRecords({{2, sixteen(QStringLiteral("c"))}});
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("测试时间"));
        QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        MarkingTranslator english;
        QCoreApplication::installTranslator(&english);
        model.retranslate();
        QCoreApplication::removeTranslator(&english);

        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("en:测试时间"));
        QCOMPARE(headers.size(), 1);
        QVERIFY(removed.isEmpty() && reset.isEmpty());
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("a-2"));
        QCOMPARE(model.emptyRows(), QList<int>{1});
        QCOMPARE(model.index(2, 15).data().toString(), QStringLiteral("c-15"));
    }
};

QTEST_GUILESS_MAIN(TestStoredRecordsModel)
#include "test_storedrecordsmodel.moc"
