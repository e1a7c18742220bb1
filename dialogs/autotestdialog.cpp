#include "autotestdialog.h"

#include "ui_autotestdialog.h"

AutoTestDialog::AutoTestDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::AutoTestDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

AutoTestDialog::~AutoTestDialog()
{
    delete ui;
}
