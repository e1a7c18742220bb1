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
        const QList<QPair<const char*, const char*>> rows = {
            {"stackedWidget", "QStackedWidget count=3 currentIndex=0"},
            {"page_0", "QWidget in=stackedWidget@0"},
            {"page_1", "QWidget in=stackedWidget@1"},
            {"page_2", "QWidget in=stackedWidget@2"},
            {"stackedWidget_Res", "QStackedWidget count=2 currentIndex=1 within=page_0"},
            {"Page1", "QWidget in=stackedWidget_Res@0"},
            {"page", "QWidget in=stackedWidget_Res@1"},
            {"stackedWidget_Len", "QStackedWidget count=2 currentIndex=1 within=page_1"},
            {"Page1_2", "QWidget in=stackedWidget_Len@0"},
            {"page_3", "QWidget in=stackedWidget_Len@1"},
            {"label_TestedResistanceValue", "QLabel within=Page1"},
            {"label_testStatus", "QLabel within=Page1"},
            {"label_EnvironmentTempValue", "QLabel within=Page1"},
            {"label_Danger", "QLabel within=page"},
            {"label_ConductorLengthValue_2", "QLabel within=Page1_2"},
            {"label_TestedResistanceValue_2", "QLabel within=Page1_2"},
            {"label_Danger_2", "QLabel within=page_3"},
            {"tableView_resTest", "QTableView within=page_0"},
            {"tableView_lengthTest", "QTableView within=page_1"},
            {"tableView", "QTableView within=page_2"},
            {"progressBar", "QProgressBar within=page_2 value=0"},
            // Spin boxes start at their minimum, the value meaning "not set".
            {"spinBox_ConductorNoValue_3", "QSpinBox minimum=-1 maximum=9999 value=-1 wrapping=true"},
            {"spinBox_TappingValue_3", "QSpinBox minimum=-1 maximum=99 value=-1 toolTip=00-99"},
            {"doubleSpinBox_ConductorTempValue_3", "QDoubleSpinBox minimum=-40.1 maximum=100 value=-40.1 decimals=2"},
            {"spinBox_ConductorNoValue_4", "QSpinBox minimum=-1 maximum=9999 value=-1"},
            {"spinBox_SampleNoValue_4", "QSpinBox minimum=-1 maximum=199 value=-1"},
            {"doubleSpinBox_StandardValue_4", "QDoubleSpinBox minimum=-1 maximum=500 value=-1 decimals=3"},
            // Combo boxes are filled by the window; only the unit is editable.
            {"comboBox_ConductorMaterialValue_3", "QComboBox count=0 editable=false"},
            {"comboBox_CurrentSettingValue_3", "QComboBox count=0 editable=false maxVisibleItems=30"},
            {"comboBox_ConvertedTempValue_3", "QComboBox count=0 editable=false"},
            {"comboBox_PhaseTypeValue_3", "QComboBox count=0 editable=false"},
            {"comboBox_WindingValue_3", "QComboBox count=0 editable=false"},
            {"comboBox_WireSquareValue_4", "QComboBox count=0 editable=false"},
            {"comboBox_CurrentSettingValue_4", "QComboBox count=0 editable=false maxVisibleItems=30"},
            {"comboBox_StandardSettingValue_4", "QComboBox count=0 editable=false"},
            {"comboBox_StandardUnitValue_4", "QComboBox count=0 editable=true"},
            {"pushButton_Test", "QPushButton within=page_0"},
            {"pushButton_Test_2", "QPushButton within=page_1"},
            {"toolButton_record", "QToolButton within=page_0"},
            {"toolButton_record2", "QToolButton within=page_1"},
            {"textEdit_Remark", "QTextEdit within=page_0"},
            {"textEdit_Remark_2", "QTextEdit within=page_1"},
            // Exactly the page actions are checkable.
            {"actionDc_resistance_test", "QAction checkable=true"},
            {"actionConductor_length_test", "QAction checkable=true"},
            {"actionStorage", "QAction checkable=true"},
            {"actionConnect", "QAction checkable=false"},
            {"actionExportToPDF", "QAction checkable=false"},
            {"actionExportToExcel", "QAction checkable=false"},
            {"actionImport_storage", "QAction checkable=false"},
            {"actionSample_interval", "QAction checkable=false"},
            {"actionAutomatic_measurement", "QAction checkable=false"},
            {"menuLanguage", "QMenu"},
        };
        for (const auto& row : rows) {
            const QString facts = QString::fromUtf8(row.second);
            QTest::newRow(row.first) << facts.section(' ', 0, 0) << facts.section(' ', 1);
        }
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
        QCOMPARE(window.findChildren<QAction*>(QRegularExpression("^action")).size(), 9);
    }
};

QTEST_MAIN(TestMainWindowForm)
#include "test_mainwindowform.moc"
