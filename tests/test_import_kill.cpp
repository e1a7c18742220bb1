// A stored-data import shown complete is in the results store: a child
// process (this executable) imports from the in-process simulator and says
// so the moment the window shows the import complete; it is killed with
// SIGKILL right then, and the store it leaves holds the new import.

#include "store/resultstore.h"
#include "testsupport/windowrig.h"

#include <QProcess>

#include <cstdio>

using namespace windowtest;

namespace {

const char* const kChildModeVariable = "IMPORT_KILL_TEST_CHILD";
constexpr int kEarlierRecords = 3;
constexpr int kRecords = 3000;
const char kCompleteLine[] = "complete\n";

// The child: an import of kEarlierRecords kept, then one of kRecords; the
// line goes out when the second shows complete, then the child waits to be killed.
int runChild()
{
    initWindowTests();
    Rig rig;
    rig.instrument().setStoredRecordCount(kEarlierRecords);
    if (!rig.connect() || !rig.importAndWait())
        return 2;
    rig.instrument().setStoredRecordCount(kRecords);
    QObject::connect(rig.action("actionImport_storage"), &QAction::changed, [&rig] {
        if (rig.action("actionImport_storage")->isEnabled()) {
            std::fputs(kCompleteLine, stdout);
            std::fflush(stdout);
        }
    });
    rig.action("actionImport_storage")->trigger();
    return QApplication::exec();
}

}  // namespace

class TestImportKill : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir home;

private slots:
    // The child's store lies in a home of their own.
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("HOME", QFile::encodeName(home.path()));
        QStandardPaths::setTestModeEnabled(true);
    }

    void killedRightAfterCompleteKeepsTheImport()
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(kChildModeVariable), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForStarted());
        QByteArray said;
        while (!said.contains(kCompleteLine) && child.state() == QProcess::Running) {
            child.waitForReadyRead(100);
            said += child.readAllStandardOutput();
        }
        QVERIFY2(said.contains(kCompleteLine), said.constData());
        child.kill();  // SIGKILL
        QVERIFY(child.waitForFinished(kWait));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        store::ResultStore kept(store::ResultStore::defaultPath());
        QVERIFY(kept.isKeeping());
        QCOMPARE(kept.currentRows(store::TableKind::StoredRecords).size(), kRecords);
    }
};

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(kChildModeVariable)) {
        QApplication app(argc, argv);
        return runChild();
    }
    QCoreApplication app(argc, argv);
    TestImportKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_import_kill.moc"
