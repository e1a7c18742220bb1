// Holds the program's translatable texts against the catalogues. Qt's own
// extractor lists every text of the program's sources and forms; each must
// have a finished English translation in its context, and the compiled
// catalogues in the resources must carry what the .ts files say. That the
// .ts files are complete and the Chinese one keeps the source texts is
// i18n_catalogue_in_step's (tools/i18n/make_ts.py --check).

#include "resources/programresources.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString sourceDir = QStringLiteral(TESTER_SOURCE_DIR);

// Folders whose texts are the program's own (the simulator's are not).
const QStringList programFolders = {"app", "link", "data", "dialogs", "forms", "insight", "cli"};

struct Message {
    QString context, source, comment, translation, type;  // type "" means finished
    QString key() const { return context + '\n' + source + '\n' + comment; }
    QString describe() const
    {
        return QStringLiteral("%1 \"%2\"").arg(context, source) + (comment.isEmpty() ? "" : " (" + comment + ")");
    }
};

// The messages of a Linguist .ts file; *error is set when it cannot be read.
QVector<Message> readTs(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + path;
        return {};
    }
    QVector<Message> messages;
    Message m;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            m.context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            m = Message{m.context, {}, {}, {}, {}};
        else if (xml.name() == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (xml.name() == QLatin1String("comment"))
            m.comment = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            m.type = xml.attributes().value(QLatin1String("type")).toString();
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.append(m);
        }
    }
    if (xml.hasError())
        *error = QStringLiteral("%1:%2: %3").arg(path).arg(xml.lineNumber()).arg(xml.errorString());
    return messages;
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerProgramResources();
        QString error;
        english = readTs(sourceDir + "/resources/lang_en.ts", &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // The window reaches some of its texts through helpers the extractor does
    // not see (the results store's messages among them): their number is held here.
    void windowTextsAreAllThere()
    {
        QCOMPARE(int(std::count_if(english.cbegin(), english.cend(),
                                   [](const Message& m) { return m.context == QLatin1String("MainWindow"); })),
                 133 + 11 + 3 + 10 + 9 + 2 + 3 + 1 + 2 + 1);  // + 11 of the results store, + 3 of the import,
                                                             // + 10 of the insight, + 9 of the exports' status and
                                                             // the remark's limit, + 2 of the settled mark, + 3 of
                                                             // the Help menu, + 1 of the report's records, + 2 of
                                                             // the baseline import action, + 1 of the page footer
    }

    void compiledCatalogues_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");  // null: the source text shows

        QTest::newRow("link message") << "lang_en.qm" << "WinUSBManager" << "设备未连接" << "Device not connected.";
        QTest::newRow("window message") << "lang_en.qm" << "MainWindow" << "设备未连接" << "Device not connected";
        QTest::newRow("middle dots") << "lang_en.qm" << "ReceiveThread" << "充电中······" << "Charging...";
        QTest::newRow("cross-section") << "lang_en.qm" << "MainWindow" << "2.5平方" << "2.5mm²";
        QTest::newRow("full-width punctuation") << "lang_en.qm" << "AutoTestDialog" << "两次测试的时间间隔（分：秒）"
                                                << "Time interval between two tests (min: sec)";
        QTest::newRow("Chinese keeps the source") << "lang_zh.qm" << "WinUSBManager" << "设备未连接" << "设备未连接";
        QTest::newRow("Chinese placeholder") << "lang_zh.qm" << "AutoTestDialog" << "Dialog" << "对话框";
        QTest::newRow("Chinese left empty") << "lang_zh.qm" << "ReceiveThread" << "------μΩ" << QString();
    }

    void compiledCatalogues()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, context);
        QFETCH(QString, source);
        QTranslator qm;
        QVERIFY2(qm.load(":/" + catalogue), qPrintable("the resources carry no " + catalogue));
        QTEST(qm.translate(context.toUtf8(), source.toUtf8()), "expected");
    }

    void programTextsHaveEnglish()
    {
        QTemporaryDir dir;
        const QString extractedPath = dir.filePath("extracted.ts");
        QProcess lupdate;
        lupdate.setWorkingDirectory(sourceDir);
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(LUPDATE_PROGRAM), QStringList{"-silent", "-no-obsolete", "-locations", "none"}
                                                           + programFolders + QStringList{"-ts", extractedPath});
        QVERIFY2(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0,
                 qPrintable("lupdate failed: " + lupdate.errorString() + "\n" + lupdate.readAll()));
        QString error;
        const QVector<Message> extracted = readTs(extractedPath, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(!extracted.isEmpty(), "lupdate found no translatable texts");

        QHash<QString, Message> englishByKey;
        for (const Message& m : english)
            englishByKey.insert(m.key(), m);
        QStringList faults;
        for (const Message& text : extracted) {
            const Message m = englishByKey.value(text.key());
            if (!m.type.isEmpty() || m.translation.isEmpty())
                faults << text.describe() + " has no finished English in lang_en.ts";
        }
        qInfo("%d translatable texts in the program", int(extracted.size()));
        for (const QString& fault : faults)
            qWarning("%s", qPrintable(fault));  // QTest cuts long messages: each fault on a line of its own
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 fault(s), listed above").arg(faults.size())));
    }

private:
    QVector<Message> english;
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
