#include "pdfsettingdialog.h"

#include "ui_pdfsettingdialog.h"

PdfSettingDialog::PdfSettingDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::PdfSettingDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

PdfSettingDialog::~PdfSettingDialog()
{
    delete ui;
}
