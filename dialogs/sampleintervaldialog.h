#pragma once

#include <QDialog>

namespace Ui {
class SampleIntervalDialog;
}

// Asks for the interval of the real-time polling.
class SampleIntervalDialog : public QDialog {
    Q_OBJECT

public:
    explicit SampleIntervalDialog(QWidget* parent = nullptr);
    ~SampleIntervalDialog() override;

signals:
    void sampleIntervalSignal(int intervalMs);

private:
    Ui::SampleIntervalDialog* ui;
};
