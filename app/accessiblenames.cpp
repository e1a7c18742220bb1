#include "app/accessiblenames.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

#include <initializer_list>

namespace {

const char kContext[] = "AccessibleNames";

struct Spoken {
    std::initializer_list<const char*> widgets;  // object names; every widget of each name
    const char* name;                            // nullptr: the widget's own text names it
    const char* description;
};

#define SPOKEN(text) QT_TRANSLATE_NOOP("AccessibleNames", text)

const Spoken kSpoken[] = {
    {{"tableView_resTest"}, SPOKEN("直流电阻测试结果"), SPOKEN("每次测试结束时记入一行；选中一行显示它的趋势。")},
    {{"tableView_lengthTest"}, SPOKEN("导体长度测试结果"), SPOKEN("每次测试结束时记入一行；选中一行显示它的趋势。")},
    {{"tableView"}, SPOKEN("仪器的存储数据"), SPOKEN("最近一次从仪器导入的存储记录。")},
    {{"tableView_balance"}, SPOKEN("三相平衡汇总"), SPOKEN("按绕组和分接汇总三相电阻的不平衡率。")},
    {{"spinBox_stabilityWindow"}, SPOKEN("稳定判断的读数个数"), SPOKEN("判断读数是否稳定时比较的最近读数个数。")},
    {{"doubleSpinBox_stabilityThreshold"}, SPOKEN("稳定阈值"), SPOKEN("最近读数的离散小于此百分比时读数为稳定。")},
    {{"doubleSpinBox_phaseLimit"}, SPOKEN("相电阻不平衡限值"), SPOKEN("相电阻不平衡率超过此百分比时判为不合格。")},
    {{"doubleSpinBox_lineLimit"}, SPOKEN("线电阻不平衡限值"), SPOKEN("线电阻不平衡率超过此百分比时判为不合格。")},
    {{"tableView_baseline"}, SPOKEN("基准对比"), SPOKEN("每个直流电阻结果与其参考值的偏差和结论。")},
    {{"doubleSpinBox_passLimit"}, SPOKEN("偏差合格限值"), SPOKEN("偏差不超过此百分比时判为合格。")},
    {{"doubleSpinBox_watchLimit"}, SPOKEN("偏差注意限值"), SPOKEN("偏差超过合格限值、不超过此百分比时判为注意；超过则不合格。")},
    {{"qt_toolbar_ext_button"}, SPOKEN("更多工具"), SPOKEN("显示工具栏中放不下的按钮。")},
    {{"pushButton_Test", "pushButton_Test_2"}, nullptr, SPOKEN("开始或停止测试（F5）。")},
    {{"pushButton_Change", "pushButton_Change_2"}, nullptr,
     SPOKEN("打开或结束测试设置的编辑；编辑时暂停读取实时数据。")},
    {{"toolButton_record", "toolButton_record2"}, nullptr, SPOKEN("显示或隐藏结果表格。")},
    {{"pushButton_delete", "pushButton_delete2"}, nullptr, SPOKEN("删除选中的结果行。")},
    {{"pushButton_save", "pushButton_save2"}, nullptr, SPOKEN("把结果表格保存为 Excel 工作簿（Ctrl+S）。")},
    {{"pushButton_clear", "pushButton_clear2"}, nullptr, SPOKEN("清空结果表格；清除的行保留在历史记录中。")},
    {{"textEdit_Remark", "textEdit_Remark_2"}, nullptr, SPOKEN("随每个结果行记录的备注。")},
    {{"lineEdit_objectName"}, SPOKEN("测试对象名称"), SPOKEN("每个结果行都随测试对象保存；两个测试页显示同一对象。")},
    {{"lineEdit_objectSerial"}, SPOKEN("测试对象编号"), SPOKEN("测试对象的出厂编号或资产编号。")},
    {{"lineEdit_objectLocation"}, SPOKEN("测试对象地点"), SPOKEN("测试对象所在的变电站或现场。")},
    {{"comboBox_ConductorMaterialValue_3", "comboBox_ConvertedTempValue_3", "comboBox_CurrentSettingValue_3",
      "comboBox_PhaseTypeValue_3", "comboBox_WindingValue_3", "comboBox_CurrentSettingValue_4",
      "comboBox_StandardSettingValue_4", "comboBox_StandardUnitValue_4", "comboBox_WireSquareValue_4"},
     nullptr, SPOKEN("发送给仪器的测试设置；按“更新”后可以修改。")},
};

// What each menu entry does, as its status tip: the status bar shows it while
// the entry is hovered, and a screen reader gives it as the entry's
// description. A menu is named by its own object name.
const struct {
    const char* action;
    const char* description;
} kMenuEntries[] = {
    {"menuDevice", SPOKEN("连接仪器，保存和导出结果，退出程序。")},
    {"actionConnect", SPOKEN("连接或断开 USB 仪器。")},
    {"menuLive_data", SPOKEN("测试、报告、自动测试和基准值。")},
    {"actionStartStopTest", SPOKEN("开始或停止当前页的测试（F5）。")},
    {"actionExportToPDF", SPOKEN("把当前页的结果导出为 PDF 报告（Ctrl+P）。")},
    {"actionAutomatic_measurement", SPOKEN("按设定的次数和间隔自动重复测试。")},
    {"actionImportBaseline", SPOKEN("从 CSV 或 Excel 文件导入当前测试对象的基准值。")},
    {"menuStorage_data", SPOKEN("仪器中保存的测试记录。")},
    {"actionImport_storage", SPOKEN("从仪器读取全部存储记录（Ctrl+I）。")},
    {"actionExportToExcel", SPOKEN("把存储数据表格导出为 Excel 工作簿。")},
    {"actionSaveTable", SPOKEN("把当前页的表格保存为 Excel 工作簿（Ctrl+S）。")},
    {"actionQuit", SPOKEN("关闭程序（Ctrl+Q）。")},
    {"menuView", SPOKEN("切换页面，查看历史记录。")},
    {"actionDc_resistance_test", SPOKEN("显示直流电阻测试页。")},
    {"actionConductor_length_test", SPOKEN("显示导体长度测试页。")},
    {"actionStorage", SPOKEN("显示从仪器导入的存储数据。")},
    {"actionHistory", SPOKEN("查看、载入和导出以前的测试。")},
    {"menuSetting", SPOKEN("界面语言、采样频率和团队服务器。")},
    {"menuLanguage", SPOKEN("选择界面的语言。")},
    {"actionSample_interval", SPOKEN("设置读取实时数据的间隔。")},
    {"actionTeamServer", SPOKEN("设置共享测试结果的团队服务器，并检查连接。")},
    {"menuHelp", SPOKEN("使用说明和版本信息。")},
    {"actionHelp", SPOKEN("打开使用说明（F1）。")},
    {"actionAbout", SPOKEN("显示程序和 Qt 的版本。")},
};

const char kLanguageEntry[] = SPOKEN("界面改用这种语言。");

#undef SPOKEN

QString translated(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}

// "标准值单位：" -> "标准值单位"
QString captionName(const QLabel& label)
{
    QString text = label.text().remove(QLatin1Char('&')).trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xff1a)))
        text.chop(1);
    return text;
}

// An editable list is read through its line edit, which no caption names.
void nameListEditors(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        auto* list = qobject_cast<QComboBox*>(label->buddy());
        if (list && list->lineEdit())
            list->lineEdit()->setAccessibleName(captionName(*label));
    }
}

// Qt names the scroll buttons of a tab bar once, in the language of their
// making; the names come from Qt's own catalogue, not the program's.
void nameTabScrollButtons(QWidget* window)
{
    const struct {
        const char* button;
        const char* name;
    } scrollButtons[] = {{"ScrollLeftButton", "Scroll Left"}, {"ScrollRightButton", "Scroll Right"}};
    for (const auto& scroll : scrollButtons) {
        for (QToolButton* button : window->findChildren<QToolButton*>(QLatin1String(scroll.button)))
            button->setAccessibleName(QCoreApplication::translate("QTabBar", scroll.name));
    }
}

void describeMenuEntries(QWidget* window)
{
    for (const auto& entry : kMenuEntries) {
        const QString description = translated(entry.description);
        const QLatin1String name(entry.action);
        if (auto* menu = window->findChild<QMenu*>(name))
            menu->menuAction()->setStatusTip(description);
        else if (auto* action = window->findChild<QAction*>(name))
            action->setStatusTip(description);
    }
    if (auto* languages = window->findChild<QMenu*>(QLatin1String("menuLanguage"))) {
        for (QAction* entry : languages->actions())
            entry->setStatusTip(translated(kLanguageEntry));
    }
}

}  // namespace

namespace accessiblenames {

void apply(QWidget* window)
{
    for (const Spoken& spoken : kSpoken) {
        for (const char* objectName : spoken.widgets) {
            for (QWidget* widget : window->findChildren<QWidget*>(QLatin1String(objectName))) {
                if (spoken.name)
                    widget->setAccessibleName(translated(spoken.name));
                widget->setAccessibleDescription(translated(spoken.description));
            }
        }
    }
    nameListEditors(window);
    nameTabScrollButtons(window);
    describeMenuEntries(window);
}

}  // namespace accessiblenames
