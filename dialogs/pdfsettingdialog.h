#pragma once

#include "dialogs/pdfsettingdata.h"

#include <QDialog>

#include <memory>

class QSettings;

namespace Ui {
class PdfSettingDialog;
}

// Asks for the header texts of a PDF report. Starts with the texts of the last
// accepted dialog (kept in "settingsPdf.ini"); OK keeps the new ones and emits
// them, closing it otherwise keeps and emits nothing.
class PdfSettingDialog : public QDialog {
    Q_OBJECT

public:
    explicit PdfSettingDialog(QWidget* parent = nullptr);
    ~PdfSettingDialog() override;

signals:
    void pdfSettingSignal(PdfSettingData pdfS);

private slots:
    void on_buttonBox_accepted();

private:
    void readSettings();
    void writeSettings();

    Ui::PdfSettingDialog* ui;
    std::unique_ptr<QSettings> settings;
    PdfSettingData data;
};
