#include "app/resultpage.h"

#include "app/fittedpicture.h"
#include "app/keptrows.h"
#include "app/windowstyles.h"
#include "link/settingsframes.h"
#include "reports/texttable.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Columns of both result tables around the page's fields.
const char* const kNumberHeader = QT_TRANSLATE_NOOP("MainWindow", "序号");
const char* const kTimeHeader = QT_TRANSLATE_NOOP("MainWindow", "测试时间");
const char* const kRemarkHeader = QT_TRANSLATE_NOOP("MainWindow", "备注");
constexpr int kFirstFieldColumn = 2;

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kResultRowsAlwaysShown = 5;  // the operator sees them without resizing the window
constexpr int kLivePage = 0;               // the live values ...
constexpr int kDangerPage = 1;             // ... or the danger picture
constexpr int kSetStandard = 0;            // "设定值": the operator's standard value
constexpr int kMeasuredStandard = 1;       // "测试值": the instrument measures it
constexpr int kMicroOhm = 0;

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString nowText()
{
    return QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
}

template <class Widget>
Widget* child(QWidget* page, const char* name)
{
    return name ? page->findChild<Widget*>(QLatin1String(name)) : nullptr;
}

void setCaption(QWidget* widget, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

bool isList(Shows shows)
{
    return shows == Shows::Entry || shows == Shows::EntryText || shows == Shows::WireSquare
           || shows == Shows::LengthCurrent;
}

bool isSetting(Shows shows)
{
    return shows != Shows::Reading && shows != Shows::HeldResistance;
}

// The height at which a table shows `rows` rows of the default height with
// its header and horizontal scroll bar.
int heightForRows(const QTableView* view, int rows)
{
    return view->horizontalHeader()->sizeHint().height() + rows * view->verticalHeader()->defaultSectionSize()
           + view->horizontalScrollBar()->sizeHint().height() + 2 * view->frameWidth();
}

}  // namespace

ResultPage::ResultPage(QWidget* page, const PageTable& pageTable, RowKeeping rowKeeping, QObject* parent)
    : QObject(parent),
      table(pageTable),
      keeping(std::move(rowKeeping)),
      pageWidget(page),
      remark(child<QTextEdit>(page, pageTable.remark)),
      remarkGroup(child<QWidget>(page, pageTable.remarkGroup)),
      status(child<QLabel>(page, pageTable.status)),
      live(child<QStackedWidget>(page, pageTable.live)),
      dangerPicture(child<QLabel>(page, pageTable.danger)),
      view(child<QTableView>(page, pageTable.table)),
      tableButton(child<QToolButton>(page, pageTable.tableButton))
{
    for (const PageField& spec : pageTable.fields) {
        fields.append({&spec, child<QWidget>(page, spec.caption), child<QWidget>(page, spec.value),
                       child<QComboBox>(page, spec.unitList), child<QComboBox>(page, spec.modeList)});
    }
}

void ResultPage::setCaptions()
{
    for (const Field& field : fields) {
        if (field.caption)
            setCaption(field.caption, translated(field.spec->captionText ? field.spec->captionText : field.spec->header));
    }
    for (const PageCaption& caption : table.captions)
        setCaption(child<QWidget>(pageWidget, caption.widget), translated(caption.text));
    setCaption(remarkGroup, translated(kRemarkHeader));
}

// All lists are emptied before any is filled again, as the standard value's
// rules look at its two lists.
void ResultPage::fillSettingLists()
{
    for (const SettingList& list : table.lists)
        child<QComboBox>(pageWidget, list.list)->clear();
    for (const SettingList& list : table.lists) {
        auto* box = child<QComboBox>(pageWidget, list.list);
        box->addItems(list.entries());
        box->setCurrentIndex(-1);
    }
}

void ResultPage::setSettingWidgetsEnabled(bool enabled)
{
    for (const Field& field : fields) {
        if (!isSetting(field.spec->shows))
            continue;
        if (field.spec->shows != Shows::StandardValue) {
            field.value->setEnabled(enabled);
            continue;
        }
        // A measured standard value is the instrument's own: never editable.
        const bool editable = enabled && field.modeList->currentIndex() != kMeasuredStandard;
        field.value->setEnabled(editable);
        field.unitList->setEnabled(editable);
    }
}

// A spin box at its minimum shows blank. The lists are emptied last: the blank
// of a standard value depends on them.
void ResultPage::clearValues()
{
    setSettingWidgetsEnabled(false);
    resistanceShowsReading = false;
    status->clear();
    for (const Field& field : fields) {
        switch (field.spec->shows) {
        case Shows::Reading:
        case Shows::HeldResistance:
            qobject_cast<QLabel*>(field.value)->clear();
            break;
        case Shows::Number:
        case Shows::TwoDigits: {
            auto* box = qobject_cast<QSpinBox*>(field.value);
            box->setValue(box->minimum());
            break;
        }
        case Shows::SignedDecimal: {
            auto* box = qobject_cast<QDoubleSpinBox*>(field.value);
            box->setValue(box->minimum());
            break;
        }
        case Shows::StandardValue: {
            // In μΩ with a set value the blank value of the standard is 99, else -1.
            const bool microOhmSetValue = field.modeList->currentIndex() == kSetStandard
                                          && field.unitList->currentIndex() == kMicroOhm;
            qobject_cast<QDoubleSpinBox*>(field.value)->setValue(microOhmSetValue ? 99.0 : -1.0);
            break;
        }
        default:
            break;
        }
    }
    for (const Field& field : fields) {
        if (isList(field.spec->shows))
            qobject_cast<QComboBox*>(field.value)->setCurrentIndex(-1);
        else if (field.unitList)
            field.unitList->setCurrentIndex(-1);
    }
}

void ResultPage::showReading(const ReceiveData& rd, bool testWasRunning, bool english)
{
    for (const Field& field : fields)
        showField(field, rd, testWasRunning);

    QPalette palette = status->palette();
    palette.setColor(QPalette::WindowText, windowstyle::testStatusColour(rd.testState));
    status->setPalette(palette);
    status->setText(rd.testStatus);

    showDanger(rd.danger, english);
}

void ResultPage::showField(const Field& field, const ReceiveData& rd, bool testWasRunning)
{
    const FromReading& from = field.spec->from;
    const QString text = from.text ? rd.*from.text + (from.unit ? rd.*from.unit : QString()) : QString();
    switch (field.spec->shows) {
    case Shows::Reading:
        qobject_cast<QLabel*>(field.value)->setText(text);
        break;
    case Shows::HeldResistance:
        // A running test over range keeps the last measured value on screen; with
        // none to keep (only the charging placeholder so far) the over-range text shows.
        if (!(rd.resistanceOverRange && testWasRunning && resistanceShowsReading)) {
            qobject_cast<QLabel*>(field.value)->setText(text);
            resistanceShowsReading = !rd.resistanceOverRange && !(rd.*from.unit).isEmpty();
        }
        break;
    case Shows::Number:
        qobject_cast<QSpinBox*>(field.value)->setValue(text.toInt());
        break;
    case Shows::TwoDigits: {
        auto* box = qobject_cast<QSpinBox*>(field.value);
        box->setValue(text.toInt());
        if (text.toInt() == 0)
            box->setPrefix(QStringLiteral("0"));
        break;
    }
    case Shows::SignedDecimal:
        qobject_cast<QDoubleSpinBox*>(field.value)->setValue(text.toDouble());
        break;
    case Shows::Entry:
        qobject_cast<QComboBox*>(field.value)->setCurrentIndex(rd.*from.index);
        break;
    case Shows::EntryText:
        qobject_cast<QComboBox*>(field.value)->setCurrentText(text);
        break;
    case Shows::WireSquare: {
        auto* box = qobject_cast<QComboBox*>(field.value);
        const int entry = box->findText(text + QCoreApplication::translate("MainWindow", "平方"),
                                        Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (entry >= 0)
            box->setCurrentIndex(entry);
        break;
    }
    case Shows::LengthCurrent: {
        const int code = rd.*from.index;
        qobject_cast<QComboBox*>(field.value)->setCurrentIndex(code == protocol::kAutoCode ? protocol::kLengthAutoIndex
                                                                                           : code);
        break;
    }
    case Shows::StandardValue:
        // The unit first: the minimum it brings must be in force before the value is set.
        field.unitList->setCurrentIndex(rd.*from.index);
        qobject_cast<QDoubleSpinBox*>(field.value)->setValue(text.toDouble());
        break;
    }
}

void ResultPage::showDanger(bool isDanger, bool english)
{
    if (!isDanger) {
        live->setCurrentIndex(kLivePage);
        return;
    }
    emit dangerShown();
    live->setCurrentIndex(kDangerPage);
    showFittedPicture(dangerPicture, QPixmap(QLatin1String(english ? windowstyle::kDangerPictureEnglish
                                                                   : windowstyle::kDangerPictureChinese)));
}

// The blank value shows only its special text, whatever the prefix.
void ResultPage::showTwoDigits(int value)
{
    for (const Field& field : fields) {
        if (field.spec->shows == Shows::TwoDigits)
            qobject_cast<QSpinBox*>(field.value)->setPrefix(value >= 10 ? QString() : QStringLiteral("0"));
    }
}

void ResultPage::showSign(double value)
{
    for (const Field& field : fields) {
        if (field.spec->shows == Shows::SignedDecimal)
            qobject_cast<QDoubleSpinBox*>(field.value)->setPrefix(value >= 0.0 ? QStringLiteral("+") : QString());
    }
}

// --- result table ------------------------------------------------------------

QStandardItemModel* ResultPage::createModel()
{
    model = new QStandardItemModel(this);
    model->setHorizontalHeaderLabels(columnHeaders());
    view->setModel(model);
    view->horizontalHeader()->setMinimumSectionSize(100);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->verticalHeader()->setMinimumSectionSize(28);
    view->verticalHeader()->setDefaultSectionSize(30);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setMinimumHeight(heightForRows(view, kResultRowsAlwaysShown));
    view->show();
    return model;
}

QStringList ResultPage::columnHeaders() const
{
    QStringList headers{translated(kNumberHeader), translated(kTimeHeader)};
    for (const Field& field : fields)
        headers << translated(field.spec->header);
    return headers << translated(kRemarkHeader);
}

QStringList ResultPage::rowTexts() const
{
    QStringList texts{QString::number(model->rowCount() + 1), nowText()};
    for (const Field& field : fields)
        texts << shownText(field);
    return texts << remark->toPlainText();
}

QString ResultPage::shownText(const Field& field)
{
    QString text;
    if (auto* box = qobject_cast<const QAbstractSpinBox*>(field.value))
        text = box->text();
    else if (auto* list = qobject_cast<const QComboBox*>(field.value))
        text = list->currentText();
    else if (auto* label = qobject_cast<const QLabel*>(field.value))
        text = label->text();
    return field.unitList ? text + field.unitList->currentText() : text;
}

// The row is kept before it shows: a row on screen is a row kept.
void ResultPage::appendRow(const QByteArray& trace)
{
    const QStringList texts = rowTexts();
    const qint64 keptId = keeping.keep(texts, trace);
    view->show();
    model->appendRow(lockedRow(texts, keptId, trace));
    view->scrollToBottom();
}

// The flag, not the view's visibility, decides: a test that ended while the
// table was hidden shows it without touching the flag.
void ResultPage::toggleTable()
{
    tableShown = !tableShown;
    view->setVisible(tableShown);
    tableButton->setArrowType(tableShown ? Qt::RightArrow : Qt::DownArrow);
}

// Removes the rows selected as a whole (by their row header), highest first so
// that the numbers still to be removed stay valid, then numbers the rest 1, 2, ...
void ResultPage::deleteSelectedRows()
{
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows(0))
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    keeping.forget(*model, rows);
    for (int row : rows)
        model->removeRow(row);
    for (int row = 0; row < model->rowCount(); ++row)
        model->setData(model->index(row, 0), QString::number(row + 1));
}

void ResultPage::clearRows()
{
    keeping.forgetAll();
    model->removeRows(0, model->rowCount());
}

// --- report --------------------------------------------------------------------

int ResultPage::remarkColumn() const
{
    return kFirstFieldColumn + int(fields.size());
}

// What the page shows at the time of the export, split in two like a record's page.
reports::DataSection ResultPage::currentDataSection() const
{
    reports::DataSection section;
    section.title = QCoreApplication::translate("MainWindow", "当前数据");
    section.time = {QCoreApplication::translate("MainWindow", "测试时间："), nowText()};
    section.dataHeading = QCoreApplication::translate("MainWindow", "数据");
    section.remarkHeading = translated(kRemarkHeader);
    for (int i = 0; i < fields.size(); ++i) {
        const reports::Field shown{translated(fields[i].spec->reportLabel), shownText(fields[i])};
        if (kFirstFieldColumn + i <= remarkColumn() / 2)
            section.fields.left << shown;
        else
            section.fields.right << shown;
    }
    section.remark = remark->toPlainText();
    return section;
}

// The result rows, labelled with the table's headers.
QVector<reports::DataSection> ResultPage::recordSections() const
{
    const reports::RecordTexts texts{
        QCoreApplication::translate("MainWindow", "记录 %1"), QCoreApplication::translate("MainWindow", "测试时间："),
        QCoreApplication::translate("MainWindow", "数据"), translated(kRemarkHeader)};
    return reports::recordSections(reports::modelTable(*model), remarkColumn(), texts);
}
