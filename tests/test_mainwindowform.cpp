// The main window form: the objects the window code addresses, with their
// class, ranges, page order and starting indexes.

#include "resources/programresources.h"
#include "ui_mainwindow.h"

#include <QtTest>

class TestMainWindowForm : public QObject {
    Q_OBJECT

    QMainWindow window;
    Ui::MainWindow ui;

private slots:
    void initTestCase()
    {
        registerProgramResources();
        ui.setupUi(&window);
    }

    // Facts: "property=value", "in=<stacked widget>@<index>" or "within=<ancestor>".
    void objectsTheWindowUses_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("facts");
        const auto rows = [](const char* classAndFacts, std::initializer_list<const char*> names) {
            const QString text = QString::fromUtf8(classAndFacts);
            for (const char* name : names)
                QTest::newRow(name) << text.section(' ', 0, 0) << text.section(' ', 1);
        };
        rows("QStackedWidget count=3 currentIndex=0", {"stackedWidget"});
        rows("QWidget in=stackedWidget@0", {"page_0"});
        rows("QWidget in=stackedWidget@1", {"page_1"});
        rows("QWidget in=stackedWidget@2", {"page_2"});
        rows("QStackedWidget count=2 currentIndex=1 within=page_0", {"stackedWidget_Res"});
        rows("QWidget in=stackedWidget_Res@0", {"Page1"});
        rows("QWidget in=stackedWidget_Res@1", {"page"});
        rows("QStackedWidget count=2 currentIndex=1 within=page_1", {"stackedWidget_Len"});
        rows("QWidget in=stackedWidget_Len@0", {"Page1_2"});
        rows("QWidget in=stackedWidget_Len@1", {"page_3"});
        rows("QLabel within=Page1", {"label_TestedResistanceValue", "label_testStatus", "label_EnvironmentTempValue"});
        rows("QLabel within=page", {"label_Danger"});
        rows("QLabel within=Page1_2", {"label_ConductorLengthValue_2", "label_TestedResistanceValue_2"});
        rows("QLabel within=page_3", {"label_Danger_2"});
        rows("QTableView within=page_0", {"tableView_resTest"});
        rows("QTableView within=page_1", {"tableView_lengthTest"});
        rows("QTableView within=page_2", {"tableView"});
        rows("QProgressBar within=page_2 value=0", {"progressBar"});
        // Spin boxes start at their minimum, the value meaning "not set".
        rows("QSpinBox minimum=-1 maximum=9999 value=-1 wrapping=true", {"spinBox_ConductorNoValue_3"});
        rows("QSpinBox minimum=-1 maximum=99 value=-1 toolTip=00-99", {"spinBox_TappingValue_3"});
        rows("QDoubleSpinBox minimum=-40.1 maximum=100 value=-40.1 decimals=2", {"doubleSpinBox_ConductorTempValue_3"});
        rows("QSpinBox minimum=-1 maximum=9999 value=-1", {"spinBox_ConductorNoValue_4"});
        rows("QSpinBox minimum=-1 maximum=199 value=-1", {"spinBox_SampleNoValue_4"});
        rows("QDoubleSpinBox minimum=-1 maximum=500 value=-1 decimals=3", {"doubleSpinBox_StandardValue_4"});
        // Combo boxes are filled by the window; only the unit is editable.
        rows("QComboBox count=0 editable=false",
             {"comboBox_ConductorMaterialValue_3", "comboBox_ConvertedTempValue_3", "comboBox_PhaseTypeValue_3",
              "comboBox_WindingValue_3", "comboBox_WireSquareValue_4", "comboBox_StandardSettingValue_4"});
        rows("QComboBox count=0 editable=false maxVisibleItems=30",
             {"comboBox_CurrentSettingValue_3", "comboBox_CurrentSettingValue_4"});
        rows("QComboBox count=0 editable=true", {"comboBox_StandardUnitValue_4"});
        rows("QPushButton within=page_0", {"pushButton_Test"});
        rows("QPushButton within=page_1", {"pushButton_Test_2"});
        rows("QToolButton within=page_0", {"toolButton_record"});
        rows("QToolButton within=page_1", {"toolButton_record2"});
        rows("QTextEdit within=page_0", {"textEdit_Remark"});
        rows("QTextEdit within=page_1", {"textEdit_Remark_2"});
        // Exactly the page actions are checkable.
        rows("QAction checkable=true", {"actionDc_resistance_test", "actionConductor_length_test", "actionStorage"});
        rows("QAction checkable=false", {"actionConnect", "actionExportToPDF", "actionExportToExcel", "actionImport_storage",
                                         "actionSample_interval", "actionAutomatic_measurement", "actionHelp",
                                         "actionAbout", "actionImportBaseline"});
        rows("QMenu", {"menuLanguage", "menuHelp"});
    }

    void objectsTheWindowUses()
    {
        QFETCH(QString, className);
        QFETCH(QString, facts);
        const QList<QObject*> found = window.findChildren<QObject*>(QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(found.size(), 1);
        QObject* object = found.first();
        QCOMPARE(QString::fromLatin1(object->metaObject()->className()), className);
        for (const QString& fact : facts.split(' ', Qt::SkipEmptyParts)) {
            const QString key = fact.section('=', 0, 0), value = fact.section('=', 1);
            auto* widget = qobject_cast<QWidget*>(object);
            if (key == "in") {
                auto* stack = window.findChild<QStackedWidget*>(value.section('@', 0, 0));
                QVERIFY2(stack && stack->indexOf(widget) == value.section('@', 1).toInt(), qPrintable(fact));
            } else if (key == "within") {
                auto* ancestor = window.findChild<QWidget*>(value);
                QVERIFY2(ancestor && ancestor->isAncestorOf(widget), qPrintable(fact));
            } else {
                QCOMPARE(key + '=' + object->property(qPrintable(key)).toString(), fact);
            }
        }
        QCOMPARE(window.findChildren<QAction*>(QRegularExpression("^action")).size(), 12);
    }
};

QTEST_MAIN(TestMainWindowForm)
#include "test_mainwindowform.moc"
