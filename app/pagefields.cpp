#include "app/pagefields.h"

#include <QCoreApplication>

namespace {

using RD = ReceiveData;

// Entries marked with QT_TRANSLATE_NOOP are translated, the others are the
// same in every language.
const char* const kMaterials[] = {QT_TRANSLATE_NOOP("MainWindow", "铜"),
                                  QT_TRANSLATE_NOOP("MainWindow", "铝")};
const char* const kCurrents[] = {"40mA",  "80mA",  "120mA", "160mA", "200mA", "240mA", "280mA",
                                 "320mA", "360mA", "400mA", "1A",    "2A",    "3A",    "4A",
                                 "5A",    "6A",    "7A",    "8A",    "9A",    "10A"};
const char* const kDcOnlyCurrent = "12V/<5mA";
const char* const kAutoCurrent = "AUTO";
const char* const kConvertedTemps[] = {"75℃", "115℃"};
const char* const kPhases[] = {"A0", "B0", "C0", "AB", "AC", "BC"};
const char* const kWindings[] = {QT_TRANSLATE_NOOP("MainWindow", "低压"),
                                 QT_TRANSLATE_NOOP("MainWindow", "高压")};
const char* const kWireSquares[] = {
    QT_TRANSLATE_NOOP("MainWindow", "1平方"),   QT_TRANSLATE_NOOP("MainWindow", "1.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "2平方"),   QT_TRANSLATE_NOOP("MainWindow", "2.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "3平方"),   QT_TRANSLATE_NOOP("MainWindow", "3.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "4平方"),   QT_TRANSLATE_NOOP("MainWindow", "4.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "5平方"),   QT_TRANSLATE_NOOP("MainWindow", "5.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "6平方"),   QT_TRANSLATE_NOOP("MainWindow", "6.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "7平方"),   QT_TRANSLATE_NOOP("MainWindow", "7.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "8平方"),   QT_TRANSLATE_NOOP("MainWindow", "8.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "9平方"),   QT_TRANSLATE_NOOP("MainWindow", "9.5平方"),
    QT_TRANSLATE_NOOP("MainWindow", "10平方"),
};
const char* const kStandardSettings[] = {QT_TRANSLATE_NOOP("MainWindow", "设定值"),
                                         QT_TRANSLATE_NOOP("MainWindow", "测试值")};
const char* const kStandardUnits[] = {"μΩ", "mΩ", "Ω"};

// Columns of both result tables around the page's fields.
const char* const kNumberHeader = QT_TRANSLATE_NOOP("MainWindow", "序号");
const char* const kTimeHeader = QT_TRANSLATE_NOOP("MainWindow", "测试时间");
const char* const kRemarkHeader = QT_TRANSLATE_NOOP("MainWindow", "备注");

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

template <std::size_t N>
QStringList translatedList(const char* const (&texts)[N])
{
    QStringList list;
    for (const char* text : texts)
        list << QCoreApplication::translate("MainWindow", text);
    return list;
}

template <std::size_t N>
QStringList literalList(const char* const (&texts)[N])
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

QStringList materials() { return translatedList(kMaterials); }
QStringList dcCurrents() { return literalList(kCurrents) << QString::fromUtf8(kDcOnlyCurrent) << QLatin1String(kAutoCurrent); }
QStringList lengthCurrents() { return literalList(kCurrents) << QLatin1String(kAutoCurrent); }
QStringList convertedTemps() { return literalList(kConvertedTemps); }
QStringList phases() { return literalList(kPhases); }
QStringList windings() { return translatedList(kWindings); }
QStringList wireSquares() { return translatedList(kWireSquares); }
QStringList standardSettings() { return translatedList(kStandardSettings); }
QStringList standardUnits() { return literalList(kStandardUnits); }

}  // namespace

const PageTable& dcPageTable()
{
    static const PageTable table{
        {
            {QT_TRANSLATE_NOOP("MainWindow", "试品编号"), QT_TRANSLATE_NOOP("MainWindow", "试品编号："),
             "label_ConductorNo_3", "spinBox_ConductorNoValue_3", Shows::Number, {&RD::conductorNo}},
            {QT_TRANSLATE_NOOP("MainWindow", "试品材质"), QT_TRANSLATE_NOOP("MainWindow", "试品材质："),
             "label_ConductorMaterial_3", "comboBox_ConductorMaterialValue_3", Shows::Entry,
             {&RD::conductorMaterialIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "试品温度"), QT_TRANSLATE_NOOP("MainWindow", "试品温度："),
             "label_ConductorTemp_3", "doubleSpinBox_ConductorTempValue_3", Shows::SignedDecimal,
             {&RD::conductorTempValue}},
            {QT_TRANSLATE_NOOP("MainWindow", "折算温度"), QT_TRANSLATE_NOOP("MainWindow", "折算温度："),
             "label_ConvertedTemp_3", "comboBox_ConvertedTempValue_3", Shows::EntryText, {&RD::convertedTemp}},
            {QT_TRANSLATE_NOOP("MainWindow", "环境温度"), QT_TRANSLATE_NOOP("MainWindow", "环境温度："),
             "label_EnvironmentTemp", "label_EnvironmentTempValue", Shows::Reading, {&RD::environmentTemp},
             QT_TRANSLATE_NOOP("MainWindow", "环境温度：")},
            {QT_TRANSLATE_NOOP("MainWindow", "分接"), QT_TRANSLATE_NOOP("MainWindow", "分接："), "label_Tapping_3",
             "spinBox_TappingValue_3", Shows::TwoDigits, {&RD::tapping}},
            {QT_TRANSLATE_NOOP("MainWindow", "相别"), QT_TRANSLATE_NOOP("MainWindow", "相别："), "label_PhaseType_3",
             "comboBox_PhaseTypeValue_3", Shows::Entry, {&RD::phaseTypeIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "绕组"), QT_TRANSLATE_NOOP("MainWindow", "绕组："), "label_Winding_3",
             "comboBox_WindingValue_3", Shows::Entry, {&RD::windingIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "电流设置"), QT_TRANSLATE_NOOP("MainWindow", "电流设置："),
             "label_CurrentSetting_3", "comboBox_CurrentSettingValue_3", Shows::Entry, {&RD::currentSettingIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "测试电流"), QT_TRANSLATE_NOOP("MainWindow", "测试电流："),
             "label_TestedCurrent", "label_TestedCurrentValue", Shows::Reading,
             {&RD::testedCurrent, &RD::testedCurrentUnit}},
            {QT_TRANSLATE_NOOP("MainWindow", "折算电阻"), QT_TRANSLATE_NOOP("MainWindow", "折算电阻："),
             "label_ConvertedResistance", "label_ConvertedResistanceValue", Shows::Reading,
             {&RD::convertedResistance, &RD::convertedResistanceUnit}},
            {QT_TRANSLATE_NOOP("MainWindow", "测试电阻"), QT_TRANSLATE_NOOP("MainWindow", "测试电阻："), nullptr,
             "label_TestedResistanceValue", Shows::HeldResistance, {&RD::testedResistance, &RD::testedResistanceUnit}},
        },
        {{"groupBox_MeasurementSetting_3", QT_TRANSLATE_NOOP("MainWindow", "直流电阻测量设置")}},
        {{"comboBox_ConductorMaterialValue_3", "label_ConductorMaterial_3", materials},
         {"comboBox_CurrentSettingValue_3", "label_CurrentSetting_3", dcCurrents},
         {"comboBox_ConvertedTempValue_3", "label_ConvertedTemp_3", convertedTemps},
         {"comboBox_PhaseTypeValue_3", "label_PhaseType_3", phases},
         {"comboBox_WindingValue_3", "label_Winding_3", windings}},
        "textEdit_Remark",
        "groupBox_Remark",
        "label_testStatus",
        "stackedWidget_Res",
        "label_Danger",
        "tableView_resTest",
        "toolButton_record",
    };
    return table;
}

const PageTable& lengthPageTable()
{
    static const PageTable table{
        {
            {QT_TRANSLATE_NOOP("MainWindow", "试品编号"), QT_TRANSLATE_NOOP("MainWindow", "试品编号："),
             "label_ConductorNo_4", "spinBox_ConductorNoValue_4", Shows::Number, {&RD::conductorNo}},
            {QT_TRANSLATE_NOOP("MainWindow", "样品编号"), QT_TRANSLATE_NOOP("MainWindow", "样品编号："),
             "label_SampleNo_4", "spinBox_SampleNoValue_4", Shows::Number, {&RD::sampleNo}},
            {QT_TRANSLATE_NOOP("MainWindow", "1米导线标称截面积"),
             QT_TRANSLATE_NOOP("MainWindow", "1米导线标称截面积："), "label_WireSquareValue_4",
             "comboBox_WireSquareValue_4", Shows::WireSquare, {&RD::wireSquare}},
            {QT_TRANSLATE_NOOP("MainWindow", "标准值设置"), QT_TRANSLATE_NOOP("MainWindow", "标准值设置："),
             "label_StandardSetting_4", "comboBox_StandardSettingValue_4", Shows::Entry,
             {&RD::standardSettingIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "标准值"), QT_TRANSLATE_NOOP("MainWindow", "标准值："),
             "label_StandardValue_4", "doubleSpinBox_StandardValue_4", Shows::StandardValue,
             {&RD::standardValue, &RD::standardUnitIndex}, nullptr, "comboBox_StandardUnitValue_4",
             "comboBox_StandardSettingValue_4"},
            {QT_TRANSLATE_NOOP("MainWindow", "环境温度"), QT_TRANSLATE_NOOP("MainWindow", "环境温度："),
             "label_EnvironmentTemp_2", "label_EnvironmentTempValue_2", Shows::Reading, {&RD::environmentTemp},
             QT_TRANSLATE_NOOP("MainWindow", "环境温度：")},
            {QT_TRANSLATE_NOOP("MainWindow", "电流设置"), QT_TRANSLATE_NOOP("MainWindow", "电流设置："),
             "label_CurrentSetting_4", "comboBox_CurrentSettingValue_4", Shows::LengthCurrent,
             {&RD::currentSettingIndex}},
            {QT_TRANSLATE_NOOP("MainWindow", "测试电流"), QT_TRANSLATE_NOOP("MainWindow", "测试电流："),
             "label_TestedCurrent_2", "label_TestedCurrentValue_2", Shows::Reading,
             {&RD::testedCurrent, &RD::testedCurrentUnit}},
            {QT_TRANSLATE_NOOP("MainWindow", "测试电阻"), QT_TRANSLATE_NOOP("MainWindow", "测试电阻："), nullptr,
             "label_TestedResistanceValue_2", Shows::Reading, {&RD::testedResistance, &RD::testedResistanceUnit}},
            {QT_TRANSLATE_NOOP("MainWindow", "导体长度"), QT_TRANSLATE_NOOP("MainWindow", "导体长度："), nullptr,
             "label_ConductorLengthValue_2", Shows::Reading, {&RD::conductorLength, &RD::conductorLengthUnit}},
        },
        {{"label_StandardUnit_4", QT_TRANSLATE_NOOP("MainWindow", "标准值单位")},
         {"groupBox_MeasurementSetting_4", QT_TRANSLATE_NOOP("MainWindow", "导体长度测量设置")}},
        {{"comboBox_WireSquareValue_4", "label_WireSquareValue_4", wireSquares},
         {"comboBox_CurrentSettingValue_4", "label_CurrentSetting_4", lengthCurrents},
         {"comboBox_StandardSettingValue_4", "label_StandardSetting_4", standardSettings},
         {"comboBox_StandardUnitValue_4", "label_StandardUnit_4", standardUnits}},
        "textEdit_Remark_2",
        "groupBox_Remark_2",
        "label_testStatus_2",
        "stackedWidget_Len",
        "label_Danger_2",
        "tableView_lengthTest",
        "toolButton_record2",
    };
    return table;
}

QStringList resultColumnHeaders(const PageTable& table)
{
    QStringList headers{translated(kNumberHeader), translated(kTimeHeader)};
    for (const PageField& field : table.fields)
        headers << translated(field.header);
    return headers << remarkHeader();
}

QString remarkHeader()
{
    return translated(kRemarkHeader);
}
