#include "dialogs/autotestdialog.h"

#include "dialogs/settingsfile.h"
#include "ui_autotestdialog.h"

#include <QDebug>
#include <QSettings>
#include <QTime>

#include <algorithm>

namespace {

const char* const kFileName = "settingsAuto.ini";
const char* const kIntervalKey = "testIntervalValue";
const char* const kCountKey = "testCountValue";

}  // namespace

AutoTestDialog::AutoTestDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::AutoTestDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    settings = openSettingsFile(QLatin1String(kFileName));
    testIntervalValue = readSettingsInt(*settings, QLatin1String(kIntervalKey), testIntervalValue);
    showInterval(testIntervalValue);
    testCountValue = readSettingsInt(*settings, QLatin1String(kCountKey), testCountValue);
    ui->spinBox_testCountValue->setValue(testCountValue);  // the spin box keeps it in its range
}

AutoTestDialog::~AutoTestDialog()
{
    delete ui;
}

// Minutes and seconds of the pause. The value is brought into the editor's
// range first: a time built from a negative or huge number is invalid and
// would not be shown at all.
void AutoTestDialog::showInterval(int intervalMs)
{
    QTimeEdit* edit = ui->timeEdit_testIntervalValue;
    const int lowest = edit->minimumTime().msecsSinceStartOfDay();
    const int highest = edit->maximumTime().msecsSinceStartOfDay();
    const int shown = std::clamp(intervalMs, lowest, highest);
    edit->setTime(QTime(0, shown / 60000, shown % 60000 / 1000));
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
    settings->setValue(QLatin1String(kIntervalKey), testIntervalValue);
    settings->setValue(QLatin1String(kCountKey), testCountValue);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        qWarning() << "could not write" << settings->fileName();
    emit startAutoTestSignal(testCountValue, testIntervalValue);
}
