// The settings editor on the window's form, without the window: which widget
// values go into the settings frames, when nothing is sent, and the rules of
// the length page's standard value.

#include "app/settingseditor.h"
#include "link/settingsframes.h"
#include "ui_mainwindow.h"

#include <QMainWindow>
#include <QtTest>

#include <memory>

namespace {

QByteArray bytes(const protocol::Bytes& frame)
{
    return QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size()));
}

// The length page of init(), its conductor number left blank.
QByteArray lengthFrame(int sampleNo, int mode, float value, int unit)
{
    return bytes(protocol::buildLengthSettingsFrame({sampleNo, 20, 0, 2.5f, mode, value, unit}));
}

// A list of `count` entries, the first ones given, with `index` selected.
void pick(QComboBox* box, int count, int index, QStringList items = {})
{
    while (items.size() < count)
        items << QStringLiteral("项%1").arg(items.size());
    box->addItems(items);
    box->setCurrentIndex(index);
}

}  // namespace

class TestSettingsEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<QMainWindow> window;
    Ui::MainWindow ui;
    bool connected = true;
    std::unique_ptr<SettingsEditor> editor;
    QList<QByteArray> frames;
    QStringList messages;

private slots:
    // The page as the instrument last reported it, in edit mode.
    void init()
    {
        window = std::make_unique<QMainWindow>();
        ui.setupUi(window.get());
        connected = true;
        frames.clear();
        editor = std::make_unique<SettingsEditor>(&ui, [this] { return connected; });
        connect(editor.get(), &SettingsEditor::settingsFrame, this, [this](const QByteArray& f) { frames << f; });
        connect(editor.get(), &SettingsEditor::statusMessage, this, [this](const QString& m) { messages << m; });
        pick(ui.comboBox_ConductorMaterialValue_3, 2, 1);
        pick(ui.comboBox_CurrentSettingValue_3, 22, 21);
        pick(ui.comboBox_ConvertedTempValue_3, 2, 1, {"20℃", "75℃"});
        pick(ui.comboBox_PhaseTypeValue_3, 6, 5);
        pick(ui.comboBox_WindingValue_3, 2, 1);
        pick(ui.comboBox_WireSquareValue_4, 3, 1, {"1.5平方", "2.5平方", "粗"});
        pick(ui.comboBox_StandardSettingValue_4, 2, 0);
        pick(ui.comboBox_StandardUnitValue_4, 3, 1);
        pick(ui.comboBox_CurrentSettingValue_4, 21, 20);
        editor->rememberReportedStandard();
        editor->toggleEditMode(ui.pushButton_Change);
        messages.clear();
    }

    // Blank spin boxes (at their minimum) take their lowest real value, and show it, before the send.
    void framesCarryThePageFields_data()
    {
        QTest::addColumn<bool>("blank");
        QTest::newRow("set values") << false;
        QTest::newRow("blank values") << true;
    }
    void framesCarryThePageFields()
    {
        QFETCH(bool, blank);
        if (!blank) {
            ui.spinBox_TappingValue_3->setValue(7);
            ui.spinBox_SampleNoValue_4->setValue(199);
            ui.doubleSpinBox_StandardValue_4->setValue(3.25);
        }
        editor->sendDcSettings();
        editor->sendLengthSettings();
        const protocol::DcSettings dc{1, 21, 75, blank ? 0 : 7, 5, 1, 0, -40.0f};
        QCOMPARE(frames, (QList<QByteArray>{bytes(protocol::buildDcSettingsFrame(dc)),
                                            blank ? lengthFrame(0, 0, 0.0f, 1) : lengthFrame(199, 0, 3.25f, 1)}));
        QStringList shown;
        for (QAbstractSpinBox* box : {static_cast<QAbstractSpinBox*>(ui.spinBox_ConductorNoValue_3),
                                      static_cast<QAbstractSpinBox*>(ui.doubleSpinBox_ConductorTempValue_3),
                                      static_cast<QAbstractSpinBox*>(ui.spinBox_ConductorNoValue_4),
                                      static_cast<QAbstractSpinBox*>(ui.spinBox_SampleNoValue_4)})
            shown << box->text();
        QCOMPARE(shown, (QStringList{"0", "-40.00℃", "0", blank ? "0" : "199"}));
        QCOMPARE(ui.doubleSpinBox_StandardValue_4->text(), blank ? "0.000" : "3.250");
    }

    void nothingIsSent_data()
    {
        QTest::addColumn<QString>("fault");    // or the list left without selection
        QTest::addColumn<QString>("message");  // or the caption of that list
        QTest::newRow("not connected") << "disconnect" << "设备未连接";
        QTest::newRow("edit mode left") << "leave" << "";
        QTest::newRow("length list without selection") << "comboBox_CurrentSettingValue_4" << "label_CurrentSetting_4";
        QTest::newRow("DC list without selection") << "comboBox_PhaseTypeValue_3" << "label_PhaseType_3";
        QTest::newRow("unreadable cross-section") << "square" << "设置未发送：有设置值无效。";
    }
    void nothingIsSent()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        connected = fault != "disconnect";
        if (fault == "leave")
            editor->toggleEditMode(ui.pushButton_Change);
        if (auto* list = window->findChild<QComboBox*>(fault)) {
            list->setCurrentIndex(-1);
            message = QStringLiteral("设置未发送：%1没有选择。").arg(window->findChild<QLabel*>(message)->text());
        }
        if (fault == "square")
            ui.comboBox_WireSquareValue_4->setCurrentIndex(2);
        messages.clear();
        fault.endsWith("_3") ? editor->sendDcSettings() : editor->sendLengthSettings();
        QVERIFY(frames.isEmpty());
        QCOMPARE(messages.value(0), message);
    }

    // "测试值" sends 0 μΩ; "设定值" brings back the last set or reported standard.
    void setStandardComesBack()
    {
        auto chooseMeasuredAndBack = [this] {
            for (int index : {1, 0}) {
                ui.comboBox_StandardSettingValue_4->setCurrentIndex(index);
                editor->chooseStandardSetting(index);
            }
        };
        ui.doubleSpinBox_StandardValue_4->setValue(3.25);
        editor->finishStandardValue();
        chooseMeasuredAndBack();
        QCOMPARE(frames.mid(1), (QList<QByteArray>{lengthFrame(0, 1, 0.0f, 0), lengthFrame(0, 0, 3.25f, 1)}));

        ui.comboBox_StandardUnitValue_4->setCurrentIndex(0);  // a reading: 150 μΩ
        editor->followStandardUnit();
        QCOMPARE(ui.doubleSpinBox_StandardValue_4->minimum(), 99.0);
        ui.doubleSpinBox_StandardValue_4->setValue(150.0);
        editor->rememberReportedStandard();
        chooseMeasuredAndBack();
        QCOMPARE(frames.last(), lengthFrame(0, 0, 150.0f, 0));
    }
};

QTEST_MAIN(TestSettingsEditor)
#include "test_settingseditor.moc"
