#pragma once

#include "pdfsettingdata.h"

#include <QDialog>

namespace Ui {
class PdfSettingDialog;
}

// Asks for the header texts of a PDF report.
class PdfSettingDialog : public QDialog {
    Q_OBJECT

public:
    explicit PdfSettingDialog(QWidget* parent = nullptr);
    ~PdfSettingDialog() override;

signals:
    void pdfSettingSignal(PdfSettingData pdfS);

private:
    Ui::PdfSettingDialog* ui;
};
