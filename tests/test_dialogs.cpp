// The dialogs: their forms, their window set-up and the device choice.

#include "autotestdialog.h"
#include "deviceselectiondialog.h"
#include "pdfsettingdialog.h"
#include "sampleintervaldialog.h"

#include <QtTest>

#include <QComboBox>
#include <QInputMethodEvent>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>

namespace {

QDialogButtonBox* buttonBoxOf(QWidget* dialog, const char* name = "buttonBox")
{
    return dialog->findChild<QDialogButtonBox*>(QString::fromLatin1(name));
}

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

// Lets the dialog's pending deletion run; true when it is gone.
bool isDeletedSoon(const QPointer<QWidget>& dialog)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return dialog.isNull();
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void everyDialogIsAFreeStandingWindowThatFreesItself_data();
    void everyDialogIsAFreeStandingWindowThatFreesItself();

    void automaticTestFormLimitsCountAndPause();
    void samplingFormLimitsTheInterval();
    void reportHeaderFormLimitsEachField_data();
    void reportHeaderFormLimitsEachField();
    void reportHeaderRecordTravelsAsVariant();

    void deviceSelectionListsPathsInOrder();
    void deviceSelectionEmitsOnlyOnOk_data();
    void deviceSelectionEmitsOnlyOnOk();
    void deviceSelectionWithoutPathsEmitsNothing();
};

void TestDialogs::everyDialogIsAFreeStandingWindowThatFreesItself_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("buttonCount");
    QTest::newRow("device selection") << "device" << QString::fromUtf8("选择设备") << 2;
    QTest::newRow("automatic test") << "auto" << "Dialog" << 2;
    QTest::newRow("sampling interval") << "sample" << "Dialog" << 2;
    QTest::newRow("report header") << "pdf" << "Dialog" << 1;
}

void TestDialogs::everyDialogIsAFreeStandingWindowThatFreesItself()
{
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(int, buttonCount);

    QWidget owner;
    QDialog* dialog = nullptr;
    const char* boxName = "buttonBox";
    if (kind == "device") {
        dialog = new DeviceSelectionDialog(&owner);
    } else if (kind == "auto") {
        dialog = new AutoTestDialog(&owner);
    } else if (kind == "sample") {
        dialog = new SampleIntervalDialog(&owner);
        boxName = "buttonBox_SampleInterval";
    } else {
        dialog = new PdfSettingDialog(&owner);
    }
    QPointer<QWidget> watch(dialog);
    QCOMPARE(dialog->parentWidget(), &owner);
    QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->windowTitle(), title);
    QVERIFY(!dialog->isModal());

    QDialogButtonBox* box = buttonBoxOf(dialog, boxName);
    QVERIFY(box);
    QCOMPARE(box->buttons().size(), buttonCount);
    QVERIFY(box->button(QDialogButtonBox::Ok));

    dialog->show();
    QVERIFY(dialog->isVisible());
    box->button(QDialogButtonBox::Ok)->click();
    QVERIFY(!watch.isNull() && !dialog->isVisible());
    QVERIFY(isDeletedSoon(watch));
}

void TestDialogs::automaticTestFormLimitsCountAndPause()
{
    auto* dialog = new AutoTestDialog;
    auto* count = dialog->findChild<QSpinBox*>("spinBox_testCountValue");
    auto* pause = dialog->findChild<QTimeEdit*>("timeEdit_testIntervalValue");
    QVERIFY(count && pause);
    QCOMPARE(count->minimum(), 2);
    QCOMPARE(count->maximum(), 10);
    QCOMPARE(count->value(), 2);
    QCOMPARE(pause->displayFormat(), QString("m:ss"));
    QCOMPARE(pause->minimumTime(), QTime(0, 0, 10));
    QCOMPARE(pause->maximumTime(), QTime(0, 4, 59));
    QCOMPARE(pause->time(), QTime(0, 0, 10));
    QCOMPARE(pause->currentSection(), QDateTimeEdit::SecondSection);
    pause->setTime(QTime(0, 9, 0));
    QCOMPARE(pause->time(), QTime(0, 4, 59));
    delete dialog;
}

void TestDialogs::samplingFormLimitsTheInterval()
{
    auto* dialog = new SampleIntervalDialog;
    auto* interval = dialog->findChild<QSpinBox*>("spinBox_SampleInterval");
    QVERIFY(interval);
    QCOMPARE(interval->minimum(), 200);
    QCOMPARE(interval->maximum(), 800);
    QCOMPARE(interval->singleStep(), 100);
    QCOMPARE(interval->value(), 500);
    QCOMPARE(interval->suffix(), QString("ms"));
    QCOMPARE(interval->toolTip(), QString("200-800"));
    delete dialog;
}

void TestDialogs::reportHeaderFormLimitsEachField_data()
{
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("toolTip");
    const QString up15 = QString::fromUtf8("最多可输入15个字");
    const QString up40 = QString::fromUtf8("最多可输入40个字");
    QTest::newRow("lineEdit_Company") << 15 << up15;
    QTest::newRow("lineEdit_UserName") << 15 << up15;
    QTest::newRow("lineEdit_Contact") << 15 << up15;
    QTest::newRow("lineEdit_TesterModel") << 15 << QString();
    QTest::newRow("lineEdit_TesterName") << 25 << QString();
    QTest::newRow("lineEdit_TestObjName") << 40 << up40;
    QTest::newRow("lineEdit_Scene") << 40 << up40;
}

void TestDialogs::reportHeaderFormLimitsEachField()
{
    QFETCH(int, maxLength);
    QFETCH(QString, toolTip);
    PdfSettingDialog dialog;
    auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), maxLength);
    QCOMPARE(edit->toolTip(), toolTip);
    // Chinese typed through an input method is cut by characters, not bytes.
    QInputMethodEvent typed;
    typed.setCommitString(QString(maxLength + 5, QChar(0x6D4B)));
    QCoreApplication::sendEvent(edit, &typed);
    QCOMPARE(edit->text().size(), maxLength);
}

void TestDialogs::reportHeaderRecordTravelsAsVariant()
{
    PdfSettingData header;
    header.companyName = QString::fromUtf8("公司");
    header.scene = "lab";
    const QVariant carried = QVariant::fromValue(header);
    QVERIFY(carried.canConvert<PdfSettingData>());
    const PdfSettingData back = carried.value<PdfSettingData>();
    QCOMPARE(back.companyName, header.companyName);
    QCOMPARE(back.scene, header.scene);
    QVERIFY(back.userName.isEmpty());
}

void TestDialogs::deviceSelectionListsPathsInOrder()
{
    auto* dialog = new DeviceSelectionDialog;
    auto* box = dialog->findChild<QComboBox*>("comboBox");
    QVERIFY(box);
    dialog->addDevicePaths({"\\\\?\\usb#vid_1&pid_2#b", "\\\\?\\usb#vid_1&pid_2#a"});
    dialog->addDevicePaths({"\\\\?\\usb#vid_1&pid_2#b"});
    QCOMPARE(itemsOf(box), QStringList({"\\\\?\\usb#vid_1&pid_2#b", "\\\\?\\usb#vid_1&pid_2#a",
                                        "\\\\?\\usb#vid_1&pid_2#b"}));
    QCOMPARE(box->currentIndex(), 0);
    QVERIFY(!box->isEditable());
    delete dialog;
}

void TestDialogs::deviceSelectionEmitsOnlyOnOk_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("ok") << "ok" << QStringList({"path-2"});
    QTest::newRow("cancel") << "cancel" << QStringList();
    QTest::newRow("window close") << "close" << QStringList();
    QTest::newRow("escape") << "escape" << QStringList();
}

void TestDialogs::deviceSelectionEmitsOnlyOnOk()
{
    QFETCH(QString, how);
    QFETCH(QStringList, expected);

    QWidget owner;
    auto* dialog = new DeviceSelectionDialog(&owner);
    QPointer<QWidget> watch(dialog);
    QStringList chosen;
    connect(dialog, &DeviceSelectionDialog::pathSelected, &owner, [&chosen](const QString& path) { chosen << path; });
    dialog->addDevicePaths({"path-1", "path-2", "path-3"});
    dialog->findChild<QComboBox*>("comboBox")->setCurrentIndex(1);
    dialog->show();

    QDialogButtonBox* box = buttonBoxOf(dialog);
    if (how == "ok")
        box->button(QDialogButtonBox::Ok)->click();
    else if (how == "cancel")
        box->button(QDialogButtonBox::Cancel)->click();
    else if (how == "close")
        dialog->close();
    else
        QTest::keyClick(dialog, Qt::Key_Escape);

    QCOMPARE(chosen, expected);
    QVERIFY(watch.isNull() || !dialog->isVisible());
    QVERIFY(isDeletedSoon(watch));
    QCOMPARE(chosen, expected);
}

void TestDialogs::deviceSelectionWithoutPathsEmitsNothing()
{
    auto* dialog = new DeviceSelectionDialog;
    QPointer<QWidget> watch(dialog);
    QSignalSpy chosen(dialog, &DeviceSelectionDialog::pathSelected);
    dialog->show();
    buttonBoxOf(dialog)->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(chosen.count(), 0);
    QVERIFY(isDeletedSoon(watch));
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
