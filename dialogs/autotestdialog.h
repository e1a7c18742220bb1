#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AutoTestDialog;
}
class QSettings;

// Asks for the number of automatic tests and the pause between two of them,
// and keeps both in "settingsAuto.ini" for the next time.
class AutoTestDialog : public QDialog {
    Q_OBJECT

public:
    explicit AutoTestDialog(QWidget* parent = nullptr);
    ~AutoTestDialog() override;

signals:
    void startAutoTestSignal(int count, int intervalMs);

private slots:
    void on_buttonBox_accepted();

private:
    void showInterval(int intervalMs);
    int shownInterval() const;

    Ui::AutoTestDialog* ui;
    std::unique_ptr<QSettings> settings;
    int testIntervalValue = 0;  // ms
    int testCountValue = 0;
};
