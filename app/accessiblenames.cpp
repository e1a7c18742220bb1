#include "app/accessiblenames.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace {

const char kContext[] = "AccessibleNames";

struct Spoken {
    const char* widget;       // object name; every widget of that name
    const char* name;         // nullptr: the widget's own text names it
    const char* description;
};

const char* const kSettingDescription =
    QT_TRANSLATE_NOOP("AccessibleNames", "发送给仪器的测试设置；按“更新”后可以修改。");

// clang-format off
const Spoken kSpoken[] = {
    {"tableView_resTest", QT_TRANSLATE_NOOP("AccessibleNames", "直流电阻测试结果"),
     QT_TRANSLATE_NOOP("AccessibleNames", "每次测试结束时记入一行；选中一行显示它的趋势。")},
    {"tableView_lengthTest", QT_TRANSLATE_NOOP("AccessibleNames", "导体长度测试结果"),
     QT_TRANSLATE_NOOP("AccessibleNames", "每次测试结束时记入一行；选中一行显示它的趋势。")},
    {"tableView", QT_TRANSLATE_NOOP("AccessibleNames", "仪器的存储数据"),
     QT_TRANSLATE_NOOP("AccessibleNames", "最近一次从仪器导入的存储记录。")},
    {"tableView_balance", QT_TRANSLATE_NOOP("AccessibleNames", "三相平衡汇总"),
     QT_TRANSLATE_NOOP("AccessibleNames", "按绕组和分接汇总三相电阻的不平衡率。")},
    {"spinBox_stabilityWindow", QT_TRANSLATE_NOOP("AccessibleNames", "稳定判断的读数个数"),
     QT_TRANSLATE_NOOP("AccessibleNames", "判断读数是否稳定时比较的最近读数个数。")},
    {"doubleSpinBox_stabilityThreshold", QT_TRANSLATE_NOOP("AccessibleNames", "稳定阈值"),
     QT_TRANSLATE_NOOP("AccessibleNames", "最近读数的离散小于此百分比时读数为稳定。")},
    {"doubleSpinBox_phaseLimit", QT_TRANSLATE_NOOP("AccessibleNames", "相电阻不平衡限值"),
     QT_TRANSLATE_NOOP("AccessibleNames", "相电阻不平衡率超过此百分比时判为不合格。")},
    {"doubleSpinBox_lineLimit", QT_TRANSLATE_NOOP("AccessibleNames", "线电阻不平衡限值"),
     QT_TRANSLATE_NOOP("AccessibleNames", "线电阻不平衡率超过此百分比时判为不合格。")},
    {"qt_toolbar_ext_button", QT_TRANSLATE_NOOP("AccessibleNames", "更多工具"),
     QT_TRANSLATE_NOOP("AccessibleNames", "显示工具栏中放不下的按钮。")},
    {"pushButton_Test", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "开始或停止测试（F5）。")},
    {"pushButton_Test_2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "开始或停止测试（F5）。")},
    {"pushButton_Change", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "打开或结束测试设置的编辑；编辑时暂停读取实时数据。")},
    {"pushButton_Change_2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "打开或结束测试设置的编辑；编辑时暂停读取实时数据。")},
    {"toolButton_record", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "显示或隐藏结果表格。")},
    {"toolButton_record2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "显示或隐藏结果表格。")},
    {"pushButton_delete", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "删除选中的结果行。")},
    {"pushButton_delete2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "删除选中的结果行。")},
    {"pushButton_save", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "把结果表格保存为 Excel 工作簿（Ctrl+S）。")},
    {"pushButton_save2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "把结果表格保存为 Excel 工作簿（Ctrl+S）。")},
    {"pushButton_clear", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "清空结果表格；清除的行保留在历史记录中。")},
    {"pushButton_clear2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "清空结果表格；清除的行保留在历史记录中。")},
    {"textEdit_Remark", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "随每个结果行记录的备注。")},
    {"textEdit_Remark_2", nullptr, QT_TRANSLATE_NOOP("AccessibleNames", "随每个结果行记录的备注。")},
    {"comboBox_ConductorMaterialValue_3", nullptr, kSettingDescription},
    {"comboBox_ConvertedTempValue_3", nullptr, kSettingDescription},
    {"comboBox_CurrentSettingValue_3", nullptr, kSettingDescription},
    {"comboBox_PhaseTypeValue_3", nullptr, kSettingDescription},
    {"comboBox_WindingValue_3", nullptr, kSettingDescription},
    {"comboBox_CurrentSettingValue_4", nullptr, kSettingDescription},
    {"comboBox_StandardSettingValue_4", nullptr, kSettingDescription},
    {"comboBox_StandardUnitValue_4", nullptr, kSettingDescription},
    {"comboBox_WireSquareValue_4", nullptr, kSettingDescription},
};
// clang-format on

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

}  // namespace

namespace accessiblenames {

void apply(QWidget* window)
{
    for (const Spoken& spoken : kSpoken) {
        for (QWidget* widget : window->findChildren<QWidget*>(QLatin1String(spoken.widget))) {
            if (spoken.name)
                widget->setAccessibleName(translated(spoken.name));
            widget->setAccessibleDescription(translated(spoken.description));
        }
    }
    nameListEditors(window);
    nameTabScrollButtons(window);
}

}  // namespace accessiblenames
