// The main window form: the object names, page order, ranges and properties
// that the window code addresses, and the slots it connects by name.

#include "ui_mainwindow.h"

#include <QtTest>

namespace {

QStringList actionNames(const QList<QAction*>& actions)
{
    QStringList names;
    for (QAction* action : actions) {
        if (action->isSeparator())
            names << "|";
        else if (action->menu())
            names << action->menu()->objectName();
        else
            names << action->objectName();
    }
    return names;
}

} // namespace

// A window with a few of the slots that the real window connects by name.
class SlotProbeWindow : public QMainWindow {
    Q_OBJECT
public:
    Ui::MainWindow ui;
    int testClicks = 0;
    int recordClicks = 0;
    int connectTriggers = 0;
    QList<int> pageChanges;
    QList<int> standardSettingChanges;

public slots:
    void on_pushButton_Test_clicked() { ++testClicks; }
    void on_toolButton_record2_clicked() { ++recordClicks; }
    void on_actionConnect_triggered() { ++connectTriggers; }
    void on_stackedWidget_currentChanged(int index) { pageChanges << index; }
    void on_comboBox_StandardSettingValue_4_currentIndexChanged(int index) { standardSettingChanges << index; }
};

class TestMainWindowForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void objectsHaveTheirClass_data();
    void objectsHaveTheirClass();
    void pagesAreInOrderAndStartWhereTheWindowExpects();
    void spinBoxRangesStartBlank_data();
    void spinBoxRangesStartBlank();
    void comboBoxesEditableOnlyForTheUnit_data();
    void comboBoxesEditableOnlyForTheUnit();
    void retranslateClearsThePrefixesAndKeepsPlaceholders();
    void actionsAreCheckableExactlyForThePages();
    void menusAndToolBarHoldTheirActionsInOrder();
    void buttonsCarryTheirColoursAndIcons();
    void tablesHaveTheirHeaderRules();
    void slotsAreConnectedByName();

private:
    QMainWindow* window = nullptr;
    Ui::MainWindow* ui = nullptr;
    template <typename T> T* child(const char* name) const;
};

template <typename T> T* TestMainWindowForm::child(const char* name) const
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("missing object %s", name);
    return found;
}

void TestMainWindowForm::initTestCase()
{
    Q_INIT_RESOURCE(resources);
}

void TestMainWindowForm::init()
{
    window = new QMainWindow;
    ui = new Ui::MainWindow;
    ui->setupUi(window);
}

void TestMainWindowForm::cleanup()
{
    delete ui;
    delete window;
    ui = nullptr;
    window = nullptr;
}

void TestMainWindowForm::objectsHaveTheirClass_data()
{
    QTest::addColumn<QString>("className");
    const QList<QPair<const char*, QStringList>> table = {
        {"QStackedWidget", {"stackedWidget", "stackedWidget_Res", "stackedWidget_Len"}},
        {"QSpinBox", {"spinBox_ConductorNoValue_3", "spinBox_TappingValue_3", "spinBox_ConductorNoValue_4",
                      "spinBox_SampleNoValue_4"}},
        {"QDoubleSpinBox", {"doubleSpinBox_ConductorTempValue_3", "doubleSpinBox_StandardValue_4"}},
        {"QComboBox", {"comboBox_WindingValue_3", "comboBox_ConductorMaterialValue_3", "comboBox_CurrentSettingValue_3",
                       "comboBox_ConvertedTempValue_3", "comboBox_PhaseTypeValue_3", "comboBox_WireSquareValue_4",
                       "comboBox_CurrentSettingValue_4", "comboBox_StandardSettingValue_4",
                       "comboBox_StandardUnitValue_4"}},
        {"QLabel", {"label_TestedCurrent", "label_TestedCurrentValue", "label_ConvertedResistance",
                    "label_ConvertedResistanceValue", "label_testStatus", "label_TestedResistanceValue",
                    "label_EnvironmentTemp", "label_EnvironmentTempValue", "label_Danger", "label_ConductorNo_3",
                    "label_ConductorTemp_3", "label_Tapping_3", "label_Winding_3", "label_ConductorMaterial_3",
                    "label_CurrentSetting_3", "label_ConvertedTemp_3", "label_PhaseType_3", "label_TestedCurrent_2",
                    "label_TestedCurrentValue_2", "label", "label_2", "label_testStatus_2",
                    "label_TestedResistanceValue_2", "label_ConductorLengthValue_2", "label_EnvironmentTemp_2",
                    "label_EnvironmentTempValue_2", "label_Danger_2", "label_ConductorNo_4", "label_SampleNo_4",
                    "label_WireSquareValue_4", "label_CurrentSetting_4", "label_StandardSetting_4",
                    "label_StandardValue_4", "label_StandardUnit_4"}},
        {"QGroupBox", {"groupBox_ShowLive_1", "groupBox_MeasurementSetting_3", "groupBox_Remark", "groupBox_ShowLive_2",
                       "groupBox_MeasurementSetting_4", "groupBox_Remark_2"}},
        {"QTextEdit", {"textEdit_Remark", "textEdit_Remark_2"}},
        {"QPushButton", {"pushButton_Change", "pushButton_Test", "pushButton_Change_2", "pushButton_Test_2",
                         "pushButton_delete", "pushButton_save", "pushButton_clear", "pushButton_delete2",
                         "pushButton_save2", "pushButton_clear2"}},
        {"QToolButton", {"toolButton_record", "toolButton_record2"}},
        {"QTableView", {"tableView_resTest", "tableView_lengthTest", "tableView"}},
        {"QProgressBar", {"progressBar"}},
        {"QFrame", {"line_6", "line_17", "line_2", "line"}},
        {"QWidget", {"centralwidget", "page_0", "page_1", "page_2", "Page1", "page", "Page1_2", "page_3"}},
        {"QAction", {"actionConnect", "actionExportToPDF", "actionExportToExcel", "actionImport_storage",
                     "actionDc_resistance_test", "actionConductor_length_test", "actionSample_interval",
                     "actionAutomatic_measurement", "actionStorage"}},
        {"QMenu", {"menuDevice", "menuLive_data", "menuStorage_data", "menuView", "menuSetting", "menuLanguage"}},
        {"QMenuBar", {"menubar"}},
        {"QStatusBar", {"statusbar"}},
        {"QToolBar", {"toolBar"}},
        {"QGridLayout", {"gridLayout_12"}},
    };
    for (const auto& entry : table)
        for (const QString& name : entry.second)
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(entry.first);
}

void TestMainWindowForm::objectsHaveTheirClass()
{
    QFETCH(QString, className);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    const QList<QObject*> found = window->findChildren<QObject*>(name);
    QCOMPARE(found.size(), 1);
    QCOMPARE(QString::fromLatin1(found.first()->metaObject()->className()), className);
}

void TestMainWindowForm::pagesAreInOrderAndStartWhereTheWindowExpects()
{
    QCOMPARE(window->centralWidget(), child<QWidget>("centralwidget"));
    QCOMPARE(ui->stackedWidget->count(), 3);
    QCOMPARE(ui->stackedWidget->widget(0), ui->page_0);
    QCOMPARE(ui->stackedWidget->widget(1), ui->page_1);
    QCOMPARE(ui->stackedWidget->widget(2), ui->page_2);
    QCOMPARE(ui->stackedWidget->currentIndex(), 0);

    QCOMPARE(ui->stackedWidget_Res->count(), 2);
    QCOMPARE(ui->stackedWidget_Res->widget(0), ui->Page1);
    QCOMPARE(ui->stackedWidget_Res->widget(1), ui->page);
    QCOMPARE(ui->stackedWidget_Res->currentIndex(), 1);
    QVERIFY(ui->page_0->isAncestorOf(ui->stackedWidget_Res));
    QVERIFY(ui->Page1->isAncestorOf(ui->label_TestedResistanceValue));
    QVERIFY(ui->Page1->isAncestorOf(ui->label_testStatus));
    QVERIFY(ui->Page1->isAncestorOf(ui->label_EnvironmentTempValue));
    QVERIFY(ui->page->isAncestorOf(ui->label_Danger));

    QCOMPARE(ui->stackedWidget_Len->count(), 2);
    QCOMPARE(ui->stackedWidget_Len->widget(0), ui->Page1_2);
    QCOMPARE(ui->stackedWidget_Len->widget(1), ui->page_3);
    QCOMPARE(ui->stackedWidget_Len->currentIndex(), 1);
    QVERIFY(ui->page_1->isAncestorOf(ui->stackedWidget_Len));
    QVERIFY(ui->Page1_2->isAncestorOf(ui->label_ConductorLengthValue_2));
    QVERIFY(ui->page_3->isAncestorOf(ui->label_Danger_2));

    QVERIFY(ui->page_0->isAncestorOf(ui->tableView_resTest));
    QVERIFY(ui->page_1->isAncestorOf(ui->tableView_lengthTest));
    QVERIFY(ui->page_2->isAncestorOf(ui->tableView));
    QVERIFY(ui->page_2->isAncestorOf(ui->progressBar));
    QCOMPARE(ui->progressBar->value(), 0);
}

void TestMainWindowForm::spinBoxRangesStartBlank_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<bool>("wraps");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("toolTip");

    QTest::newRow("spinBox_ConductorNoValue_3") << -1.0 << 9999.0 << 1.0 << true << 0 << "0-9999";
    QTest::newRow("doubleSpinBox_ConductorTempValue_3") << -40.1 << 100.0 << 0.1 << false << 2 << "-40℃~100℃";
    QTest::newRow("spinBox_TappingValue_3") << -1.0 << 99.0 << 1.0 << true << 0 << "00-99";
    QTest::newRow("spinBox_ConductorNoValue_4") << -1.0 << 9999.0 << 1.0 << true << 0 << "0-9999";
    QTest::newRow("spinBox_SampleNoValue_4") << -1.0 << 199.0 << 1.0 << true << 0 << "0-199";
    QTest::newRow("doubleSpinBox_StandardValue_4") << -1.0 << 500.0 << 1.0 << false << 3 << "100μΩ~500Ω";
}

void TestMainWindowForm::spinBoxRangesStartBlank()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(bool, wraps);
    QFETCH(int, decimals);
    QFETCH(QString, toolTip);

    auto* box = child<QAbstractSpinBox>(QTest::currentDataTag());
    QVERIFY(box);
    QCOMPARE(box->property("minimum").toDouble(), minimum);
    QCOMPARE(box->property("maximum").toDouble(), maximum);
    QCOMPARE(box->property("singleStep").toDouble(), step);
    QCOMPARE(box->wrapping(), wraps);
    if (auto* doubleBox = qobject_cast<QDoubleSpinBox*>(box))
        QCOMPARE(doubleBox->decimals(), decimals);
    QCOMPARE(box->toolTip(), toolTip);
    QCOMPARE(box->alignment(), Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    // A box starts at its minimum, the value meaning "not set".
    QCOMPARE(box->property("value").toDouble(), minimum);
    QVERIFY(box->minimumSize().width() >= 101 && box->minimumSize().height() >= 41);
}

void TestMainWindowForm::comboBoxesEditableOnlyForTheUnit_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("maxVisible");
    QTest::newRow("comboBox_WindingValue_3") << false << 10;
    QTest::newRow("comboBox_ConductorMaterialValue_3") << false << 10;
    QTest::newRow("comboBox_CurrentSettingValue_3") << false << 30;
    QTest::newRow("comboBox_ConvertedTempValue_3") << false << 10;
    QTest::newRow("comboBox_PhaseTypeValue_3") << false << 10;
    QTest::newRow("comboBox_WireSquareValue_4") << false << 10;
    QTest::newRow("comboBox_CurrentSettingValue_4") << false << 30;
    QTest::newRow("comboBox_StandardSettingValue_4") << false << 10;
    QTest::newRow("comboBox_StandardUnitValue_4") << true << 10;
}

void TestMainWindowForm::comboBoxesEditableOnlyForTheUnit()
{
    QFETCH(bool, editable);
    QFETCH(int, maxVisible);
    auto* box = child<QComboBox>(QTest::currentDataTag());
    QVERIFY(box);
    QCOMPARE(box->isEditable(), editable);
    QCOMPARE(box->maxVisibleItems(), maxVisible);
    QCOMPARE(box->count(), 0);
    QCOMPARE(box->currentIndex(), -1);
}

void TestMainWindowForm::retranslateClearsThePrefixesAndKeepsPlaceholders()
{
    QCOMPARE(ui->doubleSpinBox_ConductorTempValue_3->suffix(), QString::fromUtf8("℃"));
    ui->doubleSpinBox_ConductorTempValue_3->setPrefix("+");
    ui->spinBox_TappingValue_3->setPrefix("0");
    ui->comboBox_CurrentSettingValue_4->setToolTip("stale");
    ui->label_Danger->setText("stale");
    // Colours are state, not text: a running test stays green through a language change.
    const QString running = "QPushButton{background-color: rgb(0, 255, 0);}";
    ui->pushButton_Test->setStyleSheet(running);

    ui->retranslateUi(window);

    QCOMPARE(ui->pushButton_Test->styleSheet(), running);

    QCOMPARE(ui->doubleSpinBox_ConductorTempValue_3->prefix(), QString());
    QCOMPARE(ui->spinBox_TappingValue_3->prefix(), QString());
    QCOMPARE(ui->comboBox_CurrentSettingValue_4->toolTip(), QString());
    QCOMPARE(ui->label_Danger->text(), QString());
    QCOMPARE(ui->label_ConductorNo_3->text(), QString("TextLabel"));
    QCOMPARE(ui->groupBox_MeasurementSetting_3->title(), QString("GroupBox"));
    QCOMPARE(ui->pushButton_Change->text(), QString::fromUtf8("更新"));
    QCOMPARE(ui->pushButton_Change_2->toolTip(), QString::fromUtf8("更新时暂停读取实时数据。"));
    QCOMPARE(ui->pushButton_Test_2->text(), QString::fromUtf8("测试"));
    QCOMPARE(ui->toolButton_record2->text(), QString::fromUtf8("记录"));
    QCOMPARE(ui->menuLanguage->toolTip(), QString::fromUtf8("更改语言将初始化界面"));
    QCOMPARE(window->windowTitle(), QString("MainWindow"));
}

void TestMainWindowForm::actionsAreCheckableExactlyForThePages()
{
    const QStringList checkable = {"actionDc_resistance_test", "actionConductor_length_test", "actionStorage"};
    const QList<QAction*> actions = window->findChildren<QAction*>(QRegularExpression("^action"));
    QCOMPARE(actions.size(), 9);
    for (QAction* action : actions) {
        QCOMPARE(action->isCheckable(), checkable.contains(action->objectName()));
        QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
        QCOMPARE(action->parent(), window);
    }
    QCOMPARE(ui->actionConnect->text(), QString::fromUtf8("连接"));
    QCOMPARE(ui->actionExportToPDF->toolTip(), QString::fromUtf8("导出到PDF"));
    QCOMPARE(ui->actionSample_interval->text(), QString::fromUtf8("采样频率设置"));
    QCOMPARE(ui->actionStorage->text(), QString::fromUtf8("查阅存储数据"));
    QCOMPARE(ui->actionConnect->font().pointSize(), 10);
}

void TestMainWindowForm::menusAndToolBarHoldTheirActionsInOrder()
{
    QCOMPARE(actionNames(ui->menubar->actions()), QStringList({"menuDevice", "menuView", "menuSetting"}));
    QCOMPARE(actionNames(ui->menuDevice->actions()),
             QStringList({"actionConnect", "menuLive_data", "menuStorage_data"}));
    QCOMPARE(actionNames(ui->menuLive_data->actions()),
             QStringList({"actionExportToPDF", "actionAutomatic_measurement"}));
    QCOMPARE(actionNames(ui->menuStorage_data->actions()),
             QStringList({"actionImport_storage", "actionExportToExcel"}));
    QCOMPARE(actionNames(ui->menuView->actions()),
             QStringList({"actionDc_resistance_test", "actionConductor_length_test", "actionStorage"}));
    QCOMPARE(actionNames(ui->menuSetting->actions()), QStringList({"menuLanguage", "actionSample_interval"}));
    QVERIFY(ui->menuLanguage->actions().isEmpty());
    QCOMPARE(ui->menuLanguage->locale(), QLocale(QLocale::Chinese, QLocale::China));
    QVERIFY(!ui->menuLanguage->icon().isNull());

    QCOMPARE(actionNames(ui->toolBar->actions()),
             QStringList({"actionConnect", "|", "actionExportToPDF", "actionAutomatic_measurement", "|",
                          "actionImport_storage", "actionExportToExcel", "|"}));
    QCOMPARE(window->toolBarArea(ui->toolBar), Qt::TopToolBarArea);
    QCOMPARE(ui->toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QCOMPARE(ui->toolBar->iconSize(), QSize(30, 30));
    QCOMPARE(window->iconSize(), QSize(40, 40));
}

void TestMainWindowForm::buttonsCarryTheirColoursAndIcons()
{
    for (QPushButton* update : {ui->pushButton_Change, ui->pushButton_Change_2}) {
        QVERIFY(update->styleSheet().contains("rgb(142, 189, 243)"));
        QVERIFY(!update->icon().isNull());
        QCOMPARE(update->font().pointSize(), 14);
    }
    for (QPushButton* test : {ui->pushButton_Test, ui->pushButton_Test_2}) {
        QVERIFY(test->styleSheet().contains("rgb(254, 202, 84)"));
        QCOMPARE(test->font().pointSize(), 14);
    }
    for (QPushButton* tableButton : {ui->pushButton_delete, ui->pushButton_save, ui->pushButton_clear,
                                     ui->pushButton_delete2, ui->pushButton_save2, ui->pushButton_clear2}) {
        QVERIFY(tableButton->styleSheet().contains("rgb(142, 189, 243)"));
        QVERIFY(!tableButton->icon().isNull());
        QVERIFY(!tableButton->isFlat());
    }
    for (QToolButton* record : {ui->toolButton_record, ui->toolButton_record2}) {
        QCOMPARE(record->arrowType(), Qt::DownArrow);
        QCOMPARE(record->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
        QVERIFY(record->styleSheet().contains("border: none;"));
    }
    QVERIFY(ui->label_TestedCurrentValue->autoFillBackground());
}

void TestMainWindowForm::tablesHaveTheirHeaderRules()
{
    for (QTableView* view : {ui->tableView_resTest, ui->tableView_lengthTest}) {
        QCOMPARE(view->horizontalHeader()->minimumSectionSize(), 100);
        QVERIFY(view->horizontalHeader()->stretchLastSection());
        QCOMPARE(view->verticalHeader()->minimumSectionSize(), 28);
        QCOMPARE(view->verticalHeader()->defaultSectionSize(), 30);
        QVERIFY(!view->verticalHeader()->isHidden());
        QCOMPARE(view->autoScrollMargin(), 10);
        QCOMPARE(view->font().family(), QString("Microsoft YaHei UI Light"));
    }
    QCOMPARE(ui->tableView_lengthTest->horizontalHeader()->defaultSectionSize(), 110);

    QTableView* stored = ui->tableView;
    QCOMPARE(stored->minimumHeight(), 351);
    QVERIFY(stored->hasMouseTracking());
    QCOMPARE(stored->verticalScrollMode(), QAbstractItemView::ScrollPerPixel);
    QCOMPARE(stored->horizontalScrollMode(), QAbstractItemView::ScrollPerPixel);
    QCOMPARE(stored->horizontalHeader()->minimumSectionSize(), 100);
    QCOMPARE(stored->horizontalHeader()->defaultSectionSize(), 110);
    QVERIFY(stored->horizontalHeader()->stretchLastSection());
    QVERIFY(stored->verticalHeader()->isHidden());
    QCOMPARE(stored->verticalHeader()->defaultSectionSize(), 40);
}

void TestMainWindowForm::slotsAreConnectedByName()
{
    SlotProbeWindow probe;
    probe.ui.setupUi(&probe);
    QVERIFY(probe.pageChanges.isEmpty());

    probe.ui.pushButton_Test->click();
    probe.ui.toolButton_record2->click();
    probe.ui.actionConnect->trigger();
    probe.ui.stackedWidget->setCurrentIndex(2);
    probe.ui.comboBox_StandardSettingValue_4->addItems({"a", "b"});
    probe.ui.comboBox_StandardSettingValue_4->setCurrentIndex(1);

    QCOMPARE(probe.testClicks, 1);
    QCOMPARE(probe.recordClicks, 1);
    QCOMPARE(probe.connectTriggers, 1);
    QCOMPARE(probe.pageChanges, QList<int>({2}));
    QCOMPARE(probe.standardSettingChanges, QList<int>({0, 1}));
}

QTEST_MAIN(TestMainWindowForm)
#include "test_mainwindowform.moc"
