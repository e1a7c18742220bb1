#include "dialogs/sampleintervaldialog.h"

#include "store/settingsfiles.h"
#include "ui_sampleintervaldialog.h"

#include <QDebug>
#include <QSettings>

namespace kept = settingsfiles::sampling;

SampleIntervalDialog::SampleIntervalDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::SampleIntervalDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    ui->spinBox_SampleInterval->setRange(kept::kIntervalMs.lowest, kept::kIntervalMs.highest);
    settings = settingsfiles::open(QLatin1String(kept::kFile));
    interval = settingsfiles::read(*settings, kept::kIntervalMs);
    ui->spinBox_SampleInterval->setValue(interval);
}

SampleIntervalDialog::~SampleIntervalDialog()
{
    delete ui;
}

// A file that cannot be written costs only the remembered value: the interval applies anyway.
void SampleIntervalDialog::on_buttonBox_SampleInterval_accepted()
{
    interval = ui->spinBox_SampleInterval->value();
    settingsfiles::write(*settings, kept::kIntervalMs, interval);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        qWarning() << "could not write" << settings->fileName();
    emit sampleIntervalSignal(interval);
    qDebug() << "SampleIntervalDialog" << interval;
}
