#include "dialogs/autotestdialog.h"

#include "store/settingsfiles.h"
#include "ui_autotestdialog.h"

#include <QCheckBox>
#include <QDebug>
#include <QSettings>
#include <QTime>

namespace kept = settingsfiles::autotest;

AutoTestDialog::AutoTestDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::AutoTestDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    ui->spinBox_testCountValue->setRange(kept::kCount.lowest, kept::kCount.highest);
    ui->timeEdit_testIntervalValue->setTimeRange(QTime::fromMSecsSinceStartOfDay(kept::kIntervalMs.lowest),
                                                 QTime::fromMSecsSinceStartOfDay(kept::kIntervalMs.highest));
    settings = settingsfiles::open(QLatin1String(kept::kFile));
    testIntervalValue = settingsfiles::read(*settings, kept::kIntervalMs);
    showInterval(testIntervalValue);
    testCountValue = settingsfiles::read(*settings, kept::kCount);
    ui->spinBox_testCountValue->setValue(testCountValue);

    ui->spinBox_longestWait->setRange(kept::kLongestWaitSeconds.lowest, kept::kLongestWaitSeconds.highest);
    ui->spinBox_longestWait->setValue(settingsfiles::read(*settings, kept::kLongestWaitSeconds));
    connect(ui->checkBox_stopWhenSettled, &QCheckBox::toggled, ui->spinBox_longestWait, &QWidget::setEnabled);
    connect(ui->checkBox_stopWhenSettled, &QCheckBox::toggled, ui->label_longestWait, &QWidget::setEnabled);
    ui->checkBox_stopWhenSettled->setChecked(settingsfiles::read(*settings, kept::kStopWhenSettled));
}

AutoTestDialog::~AutoTestDialog()
{
    delete ui;
}

// Minutes and seconds of the pause, which the read has brought into the editor's range.
void AutoTestDialog::showInterval(int intervalMs)
{
    QTimeEdit* edit = ui->timeEdit_testIntervalValue;
    edit->setTime(QTime(0, intervalMs / 60000, intervalMs % 60000 / 1000));
    edit->setCurrentSection(QDateTimeEdit::SecondSection);
}

int AutoTestDialog::shownInterval() const
{
    const QTime time = ui->timeEdit_testIntervalValue->time();
    return (time.minute() * 60 + time.second()) * 1000;
}

// A file that cannot be written costs only the remembered values: the run starts anyway.
void AutoTestDialog::on_buttonBox_accepted()
{
    testIntervalValue = shownInterval();
    testCountValue = ui->spinBox_testCountValue->value();
    settingsfiles::write(*settings, kept::kIntervalMs, testIntervalValue);
    settingsfiles::write(*settings, kept::kCount, testCountValue);
    settingsfiles::write(*settings, kept::kStopWhenSettled, ui->checkBox_stopWhenSettled->isChecked());
    settingsfiles::write(*settings, kept::kLongestWaitSeconds, ui->spinBox_longestWait->value());
    settings->sync();
    if (settings->status() != QSettings::NoError)
        qWarning() << "could not write" << settings->fileName();
    emit startAutoTestSignal(testCountValue, testIntervalValue);
}
