// The scanner and catalogue reader behind the translation checks: if they
// miss a call or give it the wrong context, the checks pass for nothing.

#include "translationscanner.h"
#include "tscatalogue.h"

#include <QtTest>

namespace {

QStringList describe(const QVector<SourceText>& texts)
{
    QStringList out;
    for (const auto& t : texts) {
        QString line = t.context + QLatin1Char('|') + t.source;
        if (!t.comment.isEmpty())
            line += QLatin1Char('|') + t.comment;
        out << line;
    }
    return out;
}

}  // namespace

class TestTranslationScanner : public QObject {
    Q_OBJECT

private slots:
    void contexts_data();
    void contexts();
    void literals_data();
    void literals();
    void notCalls_data();
    void notCalls();
    void originNamesFileAndLine();
    void formStrings();
    void formErrors();
    void tsCatalogue();
};

// Rows without a file name are scanned as "z.cpp" with a class Zed declared
// at the end, so that a text whose scope is missed shows up as Zed instead
// of being rescued by the file's class.
void TestTranslationScanner::contexts_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("member function")
        << "" << QByteArray("void MainWindow::f()\n{\n    setText(tr(\"设备未连接\"));\n}\n")
        << QStringList{"MainWindow|设备未连接"};
    QTest::newRow("constructor with initialiser list")
        << ""
        << QByteArray("MainWindow::MainWindow(QWidget* p) : QMainWindow(p), ui(new Ui::MainWindow())\n"
                      "{ setWindowTitle(tr(\"标题\")); }")
        << QStringList{"MainWindow|标题"};
    QTest::newRow("brace-initialised member before the body")
        << "" << QByteArray("Foo::Foo() : a{1}, b(2) { tr(\"x\"); }\nFoo::Foo(int) : a{1} { tr(\"y\"); }")
        << QStringList{"Foo|x", "Foo|y"};
    QTest::newRow("qualified return type")
        << ""
        << QByteArray("std::vector<unsigned char> WinUSBManager::read(std::map<int, int> m) const { emit s(tr(\"读\")); }")
        << QStringList{"WinUSBManager|读"};
    QTest::newRow("destructor") << "" << QByteArray("X::~X() { tr(\"a\"); }") << QStringList{"X|a"};
    QTest::newRow("inline member in the class body")
        << ""
        << QByteArray("class ReceiveThread : public QObject {\n Q_OBJECT\npublic:\n"
                      " QString t() const { return tr(\"铜\"); }\n int n{0};\n"
                      " QString u() const { return tr(\"铝\"); }\n};\n")
        << QStringList{"ReceiveThread|铜", "ReceiveThread|铝"};
    QTest::newRow("nested blocks and lambdas")
        << ""
        << QByteArray("void W::f() { if (a) { connect(b, &B::c, this, [this]() { tr(\"x\"); }); } "
                      "for (int i : {1, 2}) { tr(\"y\"); } }")
        << QStringList{"W|x", "W|y"};
    QTest::newRow("two classes in one file")
        << "" << QByteArray("void A::f() { tr(\"a\"); }\nint B::g(int x) { return tr(\"b\").size(); }")
        << QStringList{"A|a", "B|b"};
    QTest::newRow("qualified tr names its context")
        << "" << QByteArray("void A::f() { B::tr(\"b\"); QObject::tr(\"o\"); }")
        << QStringList{"B|b", "QObject|o"};
    QTest::newRow("explicit contexts")
        << ""
        << QByteArray("static const char* const t[] = { QT_TRANSLATE_NOOP(\"Ctx2\", \"u\") };\n"
                      "void A::f() { QCoreApplication::translate(\"Ctx\", \"t\"); }")
        << QStringList{"Ctx2|u", "Ctx|t"};
    QTest::newRow("struct parameters are no class bodies")
        << "" << QByteArray("void K::f(const struct tm* t) { tr(\"k\"); }") << QStringList{"K|k"};
    QTest::newRow("default argument braces in a declaration")
        << "" << QByteArray("class C { void f(QStringList l = {}); QString g() { return tr(\"c\"); } };")
        << QStringList{"C|c"};
    QTest::newRow("braces in a parameter list")
        << "" << QByteArray("void A::f(QStringList l = {}, int x = 0) { tr(\"a\"); }\n"
                            "void B::g() { run(x, [] { tr(\"b\"); }, {1, 2}); tr(\"c\"); }")
        << QStringList{"A|a", "B|b", "B|c"};
    QTest::newRow("definition after a static member")
        << "" << QByteArray("int B::counter = 0;\nvoid A::f() { tr(\"a\"); }") << QStringList{"A|a"};
    QTest::newRow("initialiser with a qualified call")
        << "app/mainwindow_x.cpp"
        << QByteArray("const auto labels = B::make(1) + Labels{QT_TR_NOOP(\"x\")};\nvoid MainWindow::f() {}\n")
        << QStringList{"MainWindow|x"};
    QTest::newRow("table of structs is no class body")
        << "app/mainwindow_tables.cpp"
        << QByteArray("struct Item { const char* text; };\n"
                      "static const struct Item items[] = { {QT_TR_NOOP(\"a\")} };\nvoid MainWindow::f() {}\n")
        << QStringList{"MainWindow|a"};
    QTest::newRow("namespaces are transparent")
        << "" << QByteArray("namespace ns { namespace {} void A::f() { tr(\"a\"); } }") << QStringList{"A|a"};
    QTest::newRow("file-level table takes the class named like the file")
        << "app/mainwindow_lists.cpp"
        << QByteArray("namespace {\nconst char* const names[] = { QT_TR_NOOP(\"铜\"), QT_TR_NOOP(\"铝\") };\n}\n"
                      "void Helper::g() {}\nvoid MainWindow::f() {}\n")
        << QStringList{"MainWindow|铜", "MainWindow|铝"};
    QTest::newRow("file-level table takes the last class declared")
        << "lists.h"
        << QByteArray("struct Row { int n; } row = {1};\nclass Panel { public: static const char* a(); };\n"
                      "enum class Mode { A, B };\nconst char* x = QT_TR_NOOP(\"平方\");")
        << QStringList{"Panel|平方"};
}

void TestTranslationScanner::contexts()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, code);
    QFETCH(QStringList, expected);
    if (fileName.isEmpty()) {
        fileName = "z.cpp";
        code += "\nclass Zed {};\n";
    }
    QCOMPARE(describe(scanCppSource(code, fileName)), expected);
}

void TestTranslationScanner::literals_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("adjacent literals join") << QByteArray("tr(\"ab\"\n   \"cd\")") << QStringList{"A|abcd"};
    QTest::newRow("simple escapes") << QByteArray(R"(tr("a\"b\\c\n\t"))") << QStringList{"A|a\"b\\c\n\t"};
    QTest::newRow("hex escapes are UTF-8 bytes") << QByteArray(R"(tr("\xe9\x93\x9c"))") << QStringList{"A|铜"};
    QTest::newRow("octal escapes") << QByteArray(R"(tr("\101\60"))") << QStringList{"A|A0"};
    QTest::newRow("universal character names") << QByteArray(R"(tr("\u94dc\U000094dd"))") << QStringList{"A|铜铝"};
    QTest::newRow("raw string") << QByteArray("tr(R\"x(a\")b)x\")") << QStringList{"A|a\")b"};
    QTest::newRow("u8 prefix") << QByteArray("tr(u8\"铜\")") << QStringList{"A|铜"};
    QTest::newRow("middle dots kept") << QByteArray("tr(\"等待测试\u00b7\u00b7\u00b7\")")
                                      << QStringList{QString::fromUtf8("A|等待测试···")};
    QTest::newRow("disambiguation") << QByteArray("tr(\"a\", \"note\"); tr(\"b\", nullptr); tr(\"c\", \"n\", 2)")
                                    << QStringList{"A|a|note", "A|b", "A|c|n"};
    QTest::newRow("translate with disambiguation")
        << QByteArray("QApplication::translate(\"C\", \"s\", \"d\")") << QStringList{"C|s|d"};
    QTest::newRow("arguments after the text")
        << QByteArray("tr(\"第%1组\").arg(n); tr(\"%1 s\", nullptr, n)") << QStringList{"A|第%1组", "A|%1 s"};
}

void TestTranslationScanner::literals()
{
    QFETCH(QByteArray, call);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(scanCppSource("void A::f() {\n" + call + ";\n}\n", "a.cpp")), expected);
}

void TestTranslationScanner::notCalls_data()
{
    QTest::addColumn<QByteArray>("code");

    QTest::newRow("line comment") << QByteArray("// tr(\"no\")\n");
    QTest::newRow("block comment") << QByteArray("/* tr(\"no\")\n tr(\"no\") */");
    QTest::newRow("inside a string") << QByteArray("s = \"tr(\\\"no\\\")\";");
    QTest::newRow("preprocessor line") << QByteArray("#define T(x) \\\n tr(\"no\")\n");
    QTest::newRow("character literal quote") << QByteArray("char q = '\"'; char r = '\\''; s = q;");
    QTest::newRow("names that only contain tr") << QByteArray("xtr(\"no\"); str(\"no\"); tr2(\"no\"); a.tr;");
    QTest::newRow("other translate members") << QByteArray("translator.translate(\"C\", \"no\");");
    QTest::newRow("non-literal text") << QByteArray("tr(text); tr(\"no\" + x); tr(list[0]);");
    QTest::newRow("empty text") << QByteArray("tr(\"\"); QMessageBox::warning(this, tr(\"\"), m);");
}

void TestTranslationScanner::notCalls()
{
    QFETCH(QByteArray, code);
    QCOMPARE(describe(scanCppSource("void A::f() {\n" + code + "\n}\n", "a.cpp")), QStringList());
}

void TestTranslationScanner::originNamesFileAndLine()
{
    const QByteArray code = "/* one\n two */\nvoid A::f()\n{\n    x = tr(\"a\"\n           \"b\");\n"
                            "    y = R\"(\n\n)\"; z = tr(\"c\");\n}\n";
    const auto texts = scanCppSource(code, "app/a.cpp");
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0].origin, QStringLiteral("app/a.cpp:5"));
    QCOMPARE(texts[1].origin, QStringLiteral("app/a.cpp:9"));
}

void TestTranslationScanner::formStrings()
{
    const QByteArray ui = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>SampleIntervalDialog</class>
 <widget class="QDialog" name="SampleIntervalDialog">
  <property name="windowTitle"><string>Dialog</string></property>
  <property name="styleSheet"><string notr="true">color: red;</string></property>
  <widget class="QSpinBox" name="s">
   <property name="suffix"><string>ms</string></property>
   <property name="prefix"><string/></property>
   <property name="specialValueText"><string> </string></property>
   <property name="toolTip"><string comment="range">200-800</string></property>
  </widget>
  <widget class="QComboBox" name="c">
   <item><property name="text"><string>甲 &amp; 乙</string></property></item>
  </widget>
 </widget>
 <customwidgets><customwidget><class>Other</class><header>other.h</header></customwidget></customwidgets>
 <resources/>
 <connections/>
</ui>
)";
    QVector<SourceText> texts;
    QString error;
    QVERIFY2(scanUiForm(ui, "forms/s.ui", &texts, &error), qPrintable(error));
    QCOMPARE(describe(texts), (QStringList{"SampleIntervalDialog|Dialog", "SampleIntervalDialog|ms",
                                           "SampleIntervalDialog|200-800|range",
                                           "SampleIntervalDialog|甲 & 乙"}));
    QCOMPARE(texts[1].origin, QStringLiteral("forms/s.ui:8"));
}

void TestTranslationScanner::formErrors()
{
    QVector<SourceText> texts;
    QString error;
    QVERIFY(!scanUiForm("<ui><class>A</class><string>x</ui>", "bad.ui", &texts, &error));
    QVERIFY(error.startsWith("bad.ui:"));
    QVERIFY(!scanUiForm("<ui><widget><property><string>x</string></property></widget></ui>", "noclass.ui",
                        &texts, &error));
    QVERIFY(texts.isEmpty());
}

void TestTranslationScanner::tsCatalogue()
{
    const QByteArray ts = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>A</name>
    <message>
        <location filename="a.cpp" line="3"/>
        <source>铜 &amp; &lt;铝&gt;</source>
        <translation>Cu &amp; &lt;Al&gt;</translation>
    </message>
    <message>
        <source>x</source>
        <comment>note</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>B</name>
    <message>
        <source>x</source>
        <translation></translation>
    </message>
</context>
</TS>
)";
    TsCatalogue catalogue;
    QString error;
    QVERIFY2(parseTs(ts, &catalogue, &error), qPrintable(error));
    QCOMPARE(catalogue.language, QStringLiteral("en_US"));
    QCOMPARE(catalogue.sourceLanguage, QStringLiteral("zh_CN"));
    QCOMPARE(catalogue.messages.size(), 3);
    const TsMessage* cu = catalogue.find("A", "铜 & <铝>");
    QVERIFY(cu);
    QCOMPARE(cu->translation, QStringLiteral("Cu & <Al>"));
    QVERIFY(cu->type.isEmpty());
    QVERIFY(!catalogue.find("A", "x"));
    const TsMessage* noted = catalogue.find("A", "x", "note");
    QVERIFY(noted);
    QCOMPARE(noted->type, QStringLiteral("unfinished"));
    QVERIFY(catalogue.find("B", "x"));
    QVERIFY(!catalogue.find("C", "x"));

    QVERIFY(!parseTs("<TS><context><name>A</name>", &catalogue, &error));
    QVERIFY(!parseTs("<html/>", &catalogue, &error));
}

QTEST_APPLESS_MAIN(TestTranslationScanner)
#include "test_translation_scanner.moc"
