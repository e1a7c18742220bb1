// Every picture that a form or the danger display names is embedded and loads.

#include "resources/programresources.h"

#include <QtTest>

#include <QDir>
#include <QPixmap>
#include <QRegularExpression>

class TestFormResources : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { registerProgramResources(); }

    void namedPicturesLoad_data()
    {
        QTest::addColumn<QString>("name");
        QStringList names = {":/dangerEn.jpg", ":/dangerZh.jpg"};
        const QDir forms(QStringLiteral(FORMS_DIR));
        const QRegularExpression iconName(QStringLiteral("<normaloff>(:/[^<]+)</normaloff>"));
        for (const QString& file : forms.entryList({"*.ui"}, QDir::Files)) {
            QFile form(forms.filePath(file));
            QVERIFY(form.open(QIODevice::ReadOnly));
            for (auto matches = iconName.globalMatch(QString::fromUtf8(form.readAll())); matches.hasNext();)
                names << matches.next().captured(1);
        }
        names.removeDuplicates();
        QVERIFY(names.size() >= 18);  // the main window form alone names sixteen: fewer means the scan broke
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
    }

    void namedPicturesLoad()
    {
        QFETCH(QString, name);
        QVERIFY2(QFile::exists(name), "not embedded");
        QVERIFY2(!QPixmap(name).isNull(), "does not decode");
    }
};

QTEST_MAIN(TestFormResources)
#include "test_formresources.moc"
