#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

namespace Ui {
class DeviceSelectionDialog;
}

// Offers the instrument paths found by discovery when there are several and
// hands the operator's choice on. Shown as a plain top-level window that frees
// itself when closed.
class DeviceSelectionDialog : public QDialog {
    Q_OBJECT

public:
    explicit DeviceSelectionDialog(QWidget* parent = nullptr);
    ~DeviceSelectionDialog() override;

    // Appends the paths, in the given order, to the end of the list.
    void addDevicePaths(const QStringList& paths);

signals:
    void pathSelected(const QString& path);

private slots:
    void on_buttonBox_accepted();

private:
    Ui::DeviceSelectionDialog* ui;
};
