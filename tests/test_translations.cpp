// Holds the program's translatable texts against the catalogues: every
// text of the sources and forms must have a finished English translation
// in its context, both in the .ts source and in the compiled catalogue
// carried in the resources.

#include "translationscanner.h"
#include "tscatalogue.h"

#include <QDirIterator>
#include <QSet>
#include <QTranslator>
#include <QtTest>

#ifndef TESTER_SOURCE_DIR
#error "TESTER_SOURCE_DIR must name the source tree"
#endif

namespace {

const QString sourceDir = QStringLiteral(TESTER_SOURCE_DIR);

// Folders whose C++ sources are the program's own (the simulator is not).
const char* const codeFolders[] = {"app", "link", "data", "dialogs"};

struct ContextCount {
    const char* context;
    int count;
};
const ContextCount expectedCounts[] = {
    {"MainWindow", 127},         {"ReceiveThread", 18},       {"WinUSBManager", 16},
    {"PdfSettingDialog", 12},    {"SampleIntervalDialog", 5}, {"AutoTestDialog", 4},
    {"DeviceSelectionDialog", 4},
};

// Form placeholders that the Chinese catalogue names in Chinese, and the
// one text whose Chinese entry is left empty (the source text shows).
const QHash<QString, QString> zhPlaceholders = {
    {"Dialog", QString::fromUtf8("对话框")},     {"GroupBox", QString::fromUtf8("分组框")},
    {"MainWindow", QString::fromUtf8("主窗口")}, {"TextLabel", QString::fromUtf8("文本标签")},
    {"toolBar", QString::fromUtf8("工具栏")},
};
const QString zhEmptySource = QString::fromUtf8("------μΩ");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString relative(const QString& path) { return QDir(sourceDir).relativeFilePath(path); }

bool loadCatalogue(const QString& name, TsCatalogue* catalogue, QString* error)
{
    const QString path = sourceDir + "/resources/" + name;
    const QByteArray xml = readFile(path);
    if (xml.isEmpty()) {
        *error = "cannot read " + path;
        return false;
    }
    if (!parseTs(xml, catalogue, error)) {
        *error = name + ": " + *error;
        return false;
    }
    return true;
}

// Every translatable text of the program's sources and forms.
QVector<SourceText> scanTree(QStringList* errors, int* fileCount)
{
    QVector<SourceText> texts;
    for (const char* folder : codeFolders) {
        QDirIterator it(sourceDir + '/' + folder, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            texts += scanCppSource(readFile(path), relative(path));
            ++*fileCount;
        }
    }
    QDirIterator forms(sourceDir + "/forms", {"*.ui"}, QDir::Files);
    while (forms.hasNext()) {
        const QString path = forms.next();
        QString error;
        if (!scanUiForm(readFile(path), relative(path), &texts, &error))
            errors->append(error);
        ++*fileCount;
    }
    return texts;
}

// QTest cuts long messages: every fault goes to the log on its own line.
void failOnFaults(const QStringList& faults)
{
    for (const QString& fault : faults)
        qWarning("%s", qPrintable(fault));
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 fault(s), listed above").arg(faults.size())));
}

QString describe(const SourceText& t)
{
    QString line = QStringLiteral("%1: %2 \"%3\"").arg(t.origin, t.context, t.source);
    if (!t.comment.isEmpty())
        line += QStringLiteral(" (disambiguation \"%1\")").arg(t.comment);
    return line;
}

}  // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void englishIsFinished();
    void contextCounts_data();
    void contextCounts();
    void chineseHasTheSameSources();
    void chineseTranslatesToItself();
    void compiledCatalogues_data();
    void compiledCatalogues();
    void sampleTranslations_data();
    void sampleTranslations();
    void programTextsHaveEnglish();

private:
    TsCatalogue english;
    TsCatalogue chinese;
    QTranslator englishQm;
    QTranslator chineseQm;
};

void TestTranslations::initTestCase()
{
    Q_INIT_RESOURCE(translations);
    QString error;
    QVERIFY2(loadCatalogue("lang_en.ts", &english, &error), qPrintable(error));
    QVERIFY2(loadCatalogue("lang_zh.ts", &chinese, &error), qPrintable(error));
    QVERIFY2(englishQm.load(":/lang_en.qm"), "the resources carry no lang_en.qm");
    QVERIFY2(chineseQm.load(":/lang_zh.qm"), "the resources carry no lang_zh.qm");
}

void TestTranslations::englishIsFinished()
{
    QCOMPARE(english.language, QStringLiteral("en_US"));
    QCOMPARE(english.sourceLanguage, QStringLiteral("zh_CN"));
    QStringList faults;
    QSet<QString> seen;
    for (const TsMessage& m : english.messages) {
        const QString where = QStringLiteral("lang_en.ts:%1 %2 \"%3\"").arg(m.line).arg(m.context, m.source);
        if (!m.type.isEmpty())
            faults << where + " is " + m.type;
        else if (m.translation.isEmpty())
            faults << where + " has no translation";
        const QString key = m.context + '\n' + m.source + '\n' + m.comment;
        if (seen.contains(key))
            faults << where + " is listed twice";
        seen.insert(key);
    }
    failOnFaults(faults);
}

void TestTranslations::contextCounts_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<int>("expected");
    int total = 0;
    for (const auto& c : expectedCounts) {
        QTest::newRow(c.context) << QString(c.context) << c.count;
        total += c.count;
    }
    QTest::newRow("all contexts") << QString() << total;
}

void TestTranslations::contextCounts()
{
    QFETCH(QString, context);
    QFETCH(int, expected);
    const int count = int(std::count_if(english.messages.cbegin(), english.messages.cend(),
                                        [&](const TsMessage& m) { return context.isEmpty() || m.context == context; }));
    QCOMPARE(count, expected);
}

void TestTranslations::chineseHasTheSameSources()
{
    QCOMPARE(chinese.language, QStringLiteral("zh_CN"));
    QStringList faults;
    for (const TsMessage& m : english.messages) {
        if (!chinese.find(m.context, m.source, m.comment))
            faults << QStringLiteral("lang_zh.ts lacks %1 \"%2\"").arg(m.context, m.source);
    }
    for (const TsMessage& m : chinese.messages) {
        if (!english.find(m.context, m.source, m.comment))
            faults << QStringLiteral("lang_zh.ts:%1 %2 \"%3\" is not in lang_en.ts").arg(m.line).arg(m.context, m.source);
    }
    failOnFaults(faults);
}

void TestTranslations::chineseTranslatesToItself()
{
    QStringList faults;
    for (const TsMessage& m : chinese.messages) {
        const QString expected = m.source == zhEmptySource ? QString() : zhPlaceholders.value(m.source, m.source);
        if (!m.type.isEmpty())
            faults << QStringLiteral("lang_zh.ts:%1 \"%2\" is %3").arg(m.line).arg(m.source, m.type);
        else if (m.translation != expected)
            faults << QStringLiteral("lang_zh.ts:%1 \"%2\" translates to \"%3\", expected \"%4\"")
                          .arg(m.line).arg(m.source, m.translation, expected);
    }
    failOnFaults(faults);
}

void TestTranslations::compiledCatalogues_data()
{
    QTest::addColumn<bool>("isEnglish");
    QTest::newRow("lang_en.qm") << true;
    QTest::newRow("lang_zh.qm") << false;
}

// The compiled catalogues must say what their .ts sources say; an empty
// translation compiles to "no translation", so the source text shows.
void TestTranslations::compiledCatalogues()
{
    QFETCH(bool, isEnglish);
    const TsCatalogue& catalogue = isEnglish ? english : chinese;
    const QTranslator& qm = isEnglish ? englishQm : chineseQm;
    QStringList faults;
    for (const TsMessage& m : catalogue.messages) {
        const QString compiled = qm.translate(m.context.toUtf8(), m.source.toUtf8(),
                                              m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        const bool good = m.translation.isEmpty() ? compiled.isNull() : compiled == m.translation;
        if (!good)
            faults << QStringLiteral("%1 \"%2\" gives \"%3\", expected \"%4\"")
                          .arg(m.context, m.source, compiled, m.translation);
    }
    failOnFaults(faults);
}

void TestTranslations::sampleTranslations_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("english");

    QTest::newRow("link message") << "WinUSBManager" << QString::fromUtf8("设备未连接") << "Device not connected.";
    QTest::newRow("window message") << "MainWindow" << QString::fromUtf8("设备未连接") << "Device not connected";
    QTest::newRow("six middle dots") << "ReceiveThread" << QString::fromUtf8("充电中\u00b7\u00b7\u00b7\u00b7\u00b7\u00b7")
                                     << "Charging...";
    QTest::newRow("three middle dots") << "ReceiveThread" << QString::fromUtf8("等待测试\u00b7\u00b7\u00b7")
                                       << "Waiting Test...";
    QTest::newRow("cross-section") << "MainWindow" << QString::fromUtf8("2.5平方") << QString::fromUtf8("2.5mm²");
    QTest::newRow("unit alone") << "ReceiveThread" << QString::fromUtf8("平方") << QString::fromUtf8("mm²");
    QTest::newRow("full-width punctuation")
        << "AutoTestDialog" << QString::fromUtf8("两次测试的时间间隔（分：秒）")
        << "Time interval between two tests (min: sec)";
    QTest::newRow("odd punctuation kept") << "MainWindow" << QString::fromUtf8("更改语言将初始化界面")
                                          << QString::fromUtf8("Changing the language will initialize the interface。");
    QTest::newRow("degree sign") << "MainWindow" << QString::fromUtf8("-40℃~100℃") << QString::fromUtf8("-40℃~100℃");
}

void TestTranslations::sampleTranslations()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, english);
    QCOMPARE(englishQm.translate(context.toUtf8(), source.toUtf8()), english);
}

void TestTranslations::programTextsHaveEnglish()
{
    QStringList faults;
    int fileCount = 0;
    const QVector<SourceText> texts = scanTree(&faults, &fileCount);
    for (const SourceText& t : texts) {
        const TsMessage* m = english.find(t.context, t.source, t.comment);
        if (!m) {
            faults << describe(t) + " is not in lang_en.ts";
            continue;
        }
        const QString compiled = englishQm.translate(t.context.toUtf8(), t.source.toUtf8(),
                                                     t.comment.isEmpty() ? nullptr : t.comment.toUtf8().constData());
        if (!m->type.isEmpty() || m->translation.isEmpty() || compiled != m->translation)
            faults << describe(t) + " has no finished English in lang_en.qm";
    }
    qInfo("%d translatable texts in %d files", int(texts.size()), fileCount);
    QVERIFY2(fileCount > 0, qPrintable("no sources or forms found under " + sourceDir));
    failOnFaults(faults);
}

QTEST_APPLESS_MAIN(TestTranslations)
#include "test_translations.moc"
