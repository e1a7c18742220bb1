#include "sampleintervaldialog.h"

#include "ui_sampleintervaldialog.h"

SampleIntervalDialog::SampleIntervalDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::SampleIntervalDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

SampleIntervalDialog::~SampleIntervalDialog()
{
    delete ui;
}
