// The remark box's limit: what a paste or typing beyond it leaves in the box,
// and what the line below says.

#include "app/remarklimit.h"

#include <QClipboard>
#include <QGroupBox>
#include <QTextEdit>
#include <QtTest>

class TestRemarkLimit : public QObject {
    Q_OBJECT

private slots:
    void pasteIsCutToTheLimit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("line");
        const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
        QTest::newRow("1 MiB into an empty box") << "" << 0 << QString(1 << 20, QChar(0x5907)) << QString(1000, QChar(0x5907))
                                                 << "已删去多出的1047576个字符";
        QTest::newRow("into the middle: the text around stays")
            << QString(10, 'a') + QString(10, 'z') << 10 << QString(1000, 'x')
            << QString(10, 'a') + QString(980, 'x') + QString(10, 'z') << "已删去多出的20个字符";
        QTest::newRow("never half a character") << "" << 0 << "a" + emoji.repeated(600) << "a" + emoji.repeated(499)
                                                << "已删去多出的202个字符";
        QTest::newRow("within the limit") << "abc" << 3 << QString(996, 'x') << "abc" + QString(996, 'x') << "还可输入1个字符";
    }
    void pasteIsCutToTheLimit()
    {
        QFETCH(QString, before);
        QFETCH(int, cursor);
        QFETCH(QString, pasted);
        QGroupBox group;
        auto* box = new QTextEdit(&group);
        auto* limit = new RemarkLimit(box);
        box->setPlainText(before);
        QTextCursor at = box->textCursor();
        at.setPosition(cursor);
        box->setTextCursor(at);
        QApplication::clipboard()->setText(pasted);
        box->paste();
        QTEST(box->toPlainText(), "after");
        QTEST(limit->text(), "line");

        box->textCursor().deletePreviousChar();
        QCOMPARE(limit->text(), QStringLiteral("还可输入%1个字符").arg(1000 - box->toPlainText().size()));
    }
};

QTEST_MAIN(TestRemarkLimit)
#include "test_remarklimit.moc"
