#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class SampleIntervalDialog;
}
class QSettings;

// Asks for the interval of the real-time polling and keeps it in
// "settingsSample.ini" for the next time the dialog opens.
class SampleIntervalDialog : public QDialog {
    Q_OBJECT

public:
    explicit SampleIntervalDialog(QWidget* parent = nullptr);
    ~SampleIntervalDialog() override;

signals:
    void sampleIntervalSignal(int intervalMs);

private slots:
    void on_buttonBox_SampleInterval_accepted();

private:
    Ui::SampleIntervalDialog* ui;
    int interval = 0;  // ms
    std::unique_ptr<QSettings> settings;
};
