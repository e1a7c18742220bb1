#pragma once

#include <QDialog>

namespace Ui {
class AutoTestDialog;
}

// Asks for the number of automatic tests and the pause between two of them.
class AutoTestDialog : public QDialog {
    Q_OBJECT

public:
    explicit AutoTestDialog(QWidget* parent = nullptr);
    ~AutoTestDialog() override;

signals:
    void startAutoTestSignal(int count, int intervalMs);

private:
    Ui::AutoTestDialog* ui;
};
