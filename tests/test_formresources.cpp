// Every picture that a form or the danger display names is embedded and loads.

#include <QtTest>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>

class TestFormResources : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void namedPicturesLoad_data();
    void namedPicturesLoad();
    void iconsAreSquareWithTransparentCorners();
    void dangerPicturesDifferByLanguage();
};

namespace {

// The ":/…" resource names written in the form files.
QStringList resourceNamesInForms()
{
    QStringList names;
    const QDir forms(QStringLiteral(FORMS_DIR));
    const QStringList files = forms.entryList({"*.ui"}, QDir::Files);
    const QRegularExpression iconName(QStringLiteral("<normaloff>(:/[^<]+)</normaloff>"));
    for (const QString& file : files) {
        QFile form(forms.filePath(file));
        if (!form.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(form.readAll());
        auto matches = iconName.globalMatch(text);
        while (matches.hasNext()) {
            const QString name = matches.next().captured(1);
            if (!names.contains(name))
                names << name;
        }
    }
    return names;
}

} // namespace

void TestFormResources::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestFormResources::namedPicturesLoad_data()
{
    QTest::addColumn<QString>("name");
    const QStringList named = resourceNamesInForms();
    // The main window form alone names sixteen pictures; fewer means the scan broke.
    QVERIFY(named.size() >= 16);
    for (const QString& name : named)
        QTest::newRow(qPrintable(name)) << name;
    QTest::newRow(":/dangerEn.jpg") << QString(":/dangerEn.jpg");
    QTest::newRow(":/dangerZh.jpg") << QString(":/dangerZh.jpg");
}

void TestFormResources::namedPicturesLoad()
{
    QFETCH(QString, name);
    QVERIFY2(QFile::exists(name), "not embedded");
    const QPixmap pixmap(name);
    QVERIFY2(!pixmap.isNull(), "does not decode");
}

void TestFormResources::iconsAreSquareWithTransparentCorners()
{
    for (const QString& name : resourceNamesInForms()) {
        const QImage image(name);
        QVERIFY2(image.width() == image.height() && image.width() >= 32, qPrintable(name));
        QVERIFY2(image.hasAlphaChannel(), qPrintable(name));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
}

void TestFormResources::dangerPicturesDifferByLanguage()
{
    const QImage english(":/dangerEn.jpg");
    const QImage chinese(":/dangerZh.jpg");
    for (const QImage& picture : {english, chinese}) {
        QVERIFY(qAbs(picture.width() - 360) <= 20);
        QVERIFY(qAbs(picture.height() - 340) <= 20);
    }
    QVERIFY(english != chinese);
}

QTEST_MAIN(TestFormResources)
#include "test_formresources.moc"
