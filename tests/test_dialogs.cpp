// The device choice dialog (the other dialogs: test_autotest, test_reports).

#include "dialogs/deviceselectiondialog.h"

#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>

namespace {

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
    void deviceSelectionListsPathsInOrder()
    {
        DeviceSelectionDialog dialog;
        auto* box = dialog.findChild<QComboBox*>("comboBox");
        QVERIFY(box);
        dialog.addDevicePaths({"\\\\?\\usb#vid_1&pid_2#b", "\\\\?\\usb#vid_1&pid_2#a"});
        dialog.addDevicePaths({"\\\\?\\usb#vid_1&pid_2#b"});
        const QStringList items = {"\\\\?\\usb#vid_1&pid_2#b", "\\\\?\\usb#vid_1&pid_2#a", "\\\\?\\usb#vid_1&pid_2#b"};
        QCOMPARE(box->count(), items.size());
        for (int i = 0; i < items.size(); ++i)
            QCOMPARE(box->itemText(i), items[i]);
        QCOMPARE(box->currentIndex(), 0);
    }

    void deviceSelectionEmitsOnlyOnOk_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("expected");
        const QStringList three = {"path-1", "path-2", "path-3"};
        QTest::newRow("ok") << three << "ok" << QStringList({"path-2"});
        QTest::newRow("cancel") << three << "cancel" << QStringList();
        QTest::newRow("window close") << three << "close" << QStringList();
        QTest::newRow("ok without paths") << QStringList() << "ok" << QStringList();
    }

    void deviceSelectionEmitsOnlyOnOk()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, how);
        QWidget owner;
        auto* dialog = new DeviceSelectionDialog(&owner);
        QPointer<QWidget> watch(dialog);
        QStringList chosen;
        connect(dialog, &DeviceSelectionDialog::pathSelected, &owner, [&chosen](const QString& path) { chosen << path; });
        dialog->addDevicePaths(paths);
        dialog->findChild<QComboBox*>("comboBox")->setCurrentIndex(paths.isEmpty() ? -1 : 1);
        dialog->show();
        QDialogButtonBox* box = dialog->findChild<QDialogButtonBox*>("buttonBox");
        if (how == "close")
            dialog->close();
        else
            box->button(how == "ok" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        QVERIFY(watch.isNull() || !dialog->isVisible());
        QVERIFY(isDeletedSoon(watch));
        QTEST(chosen, "expected");
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
