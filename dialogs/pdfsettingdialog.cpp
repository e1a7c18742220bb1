#include "dialogs/pdfsettingdialog.h"

#include "store/settingsfiles.h"
#include "ui_pdfsettingdialog.h"

#include <QLineEdit>
#include <QSettings>

namespace {

namespace header = settingsfiles::pdfheader;

// The INI key of each header field, with its line edit.
struct HeaderKey {
    const char* key;
    QString PdfSettingData::*field;
    QLineEdit* Ui::PdfSettingDialog::*edit;
};

const HeaderKey kHeaderKeys[] = {
    {header::kCompanyName, &PdfSettingData::companyName, &Ui::PdfSettingDialog::lineEdit_Company},
    {header::kUserName, &PdfSettingData::userName, &Ui::PdfSettingDialog::lineEdit_UserName},
    {header::kContact, &PdfSettingData::contact, &Ui::PdfSettingDialog::lineEdit_Contact},
    {header::kTesterName, &PdfSettingData::testerName, &Ui::PdfSettingDialog::lineEdit_TesterName},
    {header::kTesterModel, &PdfSettingData::testerModel, &Ui::PdfSettingDialog::lineEdit_TesterModel},
    {header::kTestObjectName, &PdfSettingData::testObjName, &Ui::PdfSettingDialog::lineEdit_TestObjName},
    {header::kScene, &PdfSettingData::scene, &Ui::PdfSettingDialog::lineEdit_Scene},
};

}  // namespace

PdfSettingDialog::PdfSettingDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::PdfSettingDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    settings = settingsfiles::open(QLatin1String(header::kFile));
    readSettings();
}

PdfSettingDialog::~PdfSettingDialog()
{
    delete ui;
}

void PdfSettingDialog::readSettings()
{
    for (const HeaderKey& k : kHeaderKeys) {
        data.*k.field = settingsfiles::readText(*settings, k.key);
        (ui->*k.edit)->setText(data.*k.field);
    }
}

void PdfSettingDialog::writeSettings()
{
    for (const HeaderKey& k : kHeaderKeys)
        settingsfiles::writeText(*settings, k.key, data.*k.field);
    settings->sync();
}

void PdfSettingDialog::on_buttonBox_accepted()
{
    for (const HeaderKey& k : kHeaderKeys)
        data.*k.field = (ui->*k.edit)->text();
    writeSettings();
    emit pdfSettingSignal(data);
}
