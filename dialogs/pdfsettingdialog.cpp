#include "dialogs/pdfsettingdialog.h"

#include "dialogs/settingsfile.h"
#include "ui_pdfsettingdialog.h"

#include <QLineEdit>
#include <QSettings>

namespace {

// The INI key of each header field, with its line edit.
struct HeaderKey {
    const char* key;
    QString PdfSettingData::*field;
    QLineEdit* Ui::PdfSettingDialog::*edit;
};

const HeaderKey kHeaderKeys[] = {
    {"companyName", &PdfSettingData::companyName, &Ui::PdfSettingDialog::lineEdit_Company},
    {"userName", &PdfSettingData::userName, &Ui::PdfSettingDialog::lineEdit_UserName},
    {"contact", &PdfSettingData::contact, &Ui::PdfSettingDialog::lineEdit_Contact},
    {"testerName", &PdfSettingData::testerName, &Ui::PdfSettingDialog::lineEdit_TesterName},
    {"testerModel", &PdfSettingData::testerModel, &Ui::PdfSettingDialog::lineEdit_TesterModel},
    {"testObjName", &PdfSettingData::testObjName, &Ui::PdfSettingDialog::lineEdit_TestObjName},
    {"scene", &PdfSettingData::scene, &Ui::PdfSettingDialog::lineEdit_Scene},
};

}  // namespace

PdfSettingDialog::PdfSettingDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::PdfSettingDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    settings = openSettingsFile(QStringLiteral("settingsPdf.ini"));
    readSettings();
}

PdfSettingDialog::~PdfSettingDialog()
{
    delete ui;
}

void PdfSettingDialog::readSettings()
{
    for (const HeaderKey& k : kHeaderKeys) {
        data.*k.field = settings->value(QLatin1String(k.key), QString()).toString();
        (ui->*k.edit)->setText(data.*k.field);
    }
}

void PdfSettingDialog::writeSettings()
{
    for (const HeaderKey& k : kHeaderKeys)
        settings->setValue(QLatin1String(k.key), data.*k.field);
    settings->sync();
}

void PdfSettingDialog::on_buttonBox_accepted()
{
    for (const HeaderKey& k : kHeaderKeys)
        data.*k.field = (ui->*k.edit)->text();
    writeSettings();
    emit pdfSettingSignal(data);
}
