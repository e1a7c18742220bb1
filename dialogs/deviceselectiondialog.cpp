#include "dialogs/deviceselectiondialog.h"

#include "ui_deviceselectiondialog.h"

DeviceSelectionDialog::DeviceSelectionDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::DeviceSelectionDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("选择设备"));
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

DeviceSelectionDialog::~DeviceSelectionDialog()
{
    delete ui;
}

void DeviceSelectionDialog::addDevicePaths(const QStringList& paths)
{
    ui->comboBox->addItems(paths);
}

void DeviceSelectionDialog::on_buttonBox_accepted()
{
    // The form's accept() closes and frees the dialog. With an empty list
    // there is nothing to connect to: opening an empty path could only fail.
    const QString path = ui->comboBox->currentText();
    if (!path.isEmpty())
        emit pathSelected(path);
}
