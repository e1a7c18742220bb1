// The settings files: whatever a file holds is read into the allowed range,
// and the files go to the temporary folder when the data folder cannot be made.

#include "store/settingsfiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr settingsfiles::IntSetting kCount{"count", 5, 2, 10};
constexpr settingsfiles::RealSetting kLimit{"limit", 1.5, 0.01, 100.0, 2};
constexpr settingsfiles::FlagSetting kFolded{"folded", true};

}  // namespace

class TestSettingsFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void readsIntoRange_data()
    {
        QTest::addColumn<QByteArray>("stored");  // the text after "key=", or nothing for no key
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("limit");
        QTest::addColumn<bool>("folded");
        QTest::newRow("missing") << QByteArray() << 5 << 1.5 << true;
        QTest::newRow("in range") << QByteArray("7") << 7 << 7.0 << true;
        QTest::newRow("zero") << QByteArray("0") << 2 << 0.01 << false;
        QTest::newRow("negative") << QByteArray("-20") << 2 << 0.01 << true;
        QTest::newRow("beyond int") << QByteArray("99999999999") << 10 << 100.0 << true;
        QTest::newRow("fraction") << QByteArray("0.5") << 5 << 0.5 << true;
        QTest::newRow("between the editor's steps") << QByteArray("7.126") << 5 << 7.13 << true;
        QTest::newRow("below the lowest step") << QByteArray("0.004") << 5 << 0.01 << true;
        QTest::newRow("not a number") << QByteArray("nan") << 5 << 1.5 << true;
        QTest::newRow("infinite") << QByteArray("inf") << 5 << 100.0 << true;
        QTest::newRow("words") << QByteArray("fast") << 5 << 1.5 << true;
        QTest::newRow("flag off") << QByteArray("false") << 5 << 1.5 << false;
    }
    void readsIntoRange()
    {
        QFETCH(QByteArray, stored);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("s.ini"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\n");
        if (!stored.isNull())
            file.write("count=" + stored + "\nlimit=" + stored + "\nfolded=" + stored + "\n");
        file.close();
        const QSettings settings(path, QSettings::IniFormat);
        QTEST(settingsfiles::read(settings, kCount), "count");
        QTEST(settingsfiles::read(settings, kLimit), "limit");
        QTEST(settingsfiles::read(settings, kFolded), "folded");
    }

    // The data folder is made when missing; a file in its place sends the settings to the temporary folder.
    void pathFallsBackToTheTemporaryFolder_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("data folder missing") << false;
        QTest::newRow("data folder cannot be made") << true;
    }
    void pathFallsBackToTheTemporaryFolder()
    {
        QFETCH(bool, blocked);
        QTemporaryDir temporary;
        qputenv("TMPDIR", temporary.path().toLocal8Bit());
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir(folder).removeRecursively();
        if (blocked) {
            QVERIFY(QDir().mkpath(QFileInfo(folder).path()));
            QFile block(folder);
            QVERIFY(block.open(QIODevice::WriteOnly));
        }
        const QString path = settingsfiles::filePath(QStringLiteral("settingsTest.ini"));
        qunsetenv("TMPDIR");
        QFile::remove(folder);
        const QString expectedFolder = blocked ? temporary.path() : folder;
        QCOMPARE(path, expectedFolder + QStringLiteral("/settingsTest.ini"));
        QVERIFY(QFileInfo(expectedFolder).isDir());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "test_settingsfiles.moc"
