#include "dialogs/sampleintervaldialog.h"

#include "dialogs/settingsfile.h"
#include "ui_sampleintervaldialog.h"

#include <QDebug>
#include <QSettings>

namespace {

const char* const kFileName = "settingsSample.ini";
const char* const kIntervalKey = "interval";

}  // namespace

SampleIntervalDialog::SampleIntervalDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::SampleIntervalDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    settings = openSettingsFile(QLatin1String(kFileName));
    interval = readSettingsInt(*settings, QLatin1String(kIntervalKey), interval);
    ui->spinBox_SampleInterval->setValue(interval);  // the spin box keeps it in its range
}

SampleIntervalDialog::~SampleIntervalDialog()
{
    delete ui;
}

// A file that cannot be written costs only the remembered value: the interval applies anyway.
void SampleIntervalDialog::on_buttonBox_SampleInterval_accepted()
{
    interval = ui->spinBox_SampleInterval->value();
    settings->setValue(QLatin1String(kIntervalKey), interval);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        qWarning() << "could not write" << settings->fileName();
    emit sampleIntervalSignal(interval);
    qDebug() << "SampleIntervalDialog" << interval;
}
