#pragma once

#include <QMetaType>
#include <QString>

// The header of a PDF report: who measured, with which tester, on what.
struct PdfSettingData {
    QString companyName;
    QString userName;
    QString contact;
    QString testerName;
    QString testerModel;
    QString testObjName;
    QString scene;
};

Q_DECLARE_METATYPE(PdfSettingData)
