#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AutoTestDialog;
}
class QSettings;

// Asks for the number of automatic tests, the pause between two of them and
// whether each test runs until its reading is stable (with its longest wait),
// and keeps them in "settingsAuto.ini" for the next time; the series reads the
// last two from there.
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
