// The captions, setting widgets and live reading of a test page.

#include "app/resultpage.h"

#include "app/fittedpicture.h"
#include "app/remarklimit.h"
#include "app/windowstyles.h"
#include "link/settingsframes.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

#include <utility>

namespace {

constexpr int kLivePage = 0;          // the live values ...
constexpr int kDangerPage = 1;        // ... or the danger picture
constexpr int kSetStandard = 0;       // "设定值": the operator's standard value
constexpr int kMeasuredStandard = 1;  // "测试值": the instrument measures it
constexpr int kMicroOhm = 0;

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
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
    for (const PageField& entry : pageTable.fields) {
        fields.append({&entry, child<QWidget>(page, entry.caption), child<QWidget>(page, entry.value),
                       child<QComboBox>(page, entry.unitList), child<QComboBox>(page, entry.modeList)});
        // A setting is named by its caption, for screen readers too.
        if (auto* caption = qobject_cast<QLabel*>(fields.last().caption); caption && isSetting(entry.shows))
            caption->setBuddy(fields.last().value);
    }
    for (const SettingList& list : pageTable.lists) {
        if (auto* caption = child<QLabel>(page, list.caption))
            caption->setBuddy(child<QWidget>(page, list.list));
    }
    new RemarkLimit(remark);
    viewport = view->viewport();
    view->viewport()->installEventFilter(this);
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, &ResultPage::queueMeasuredColumn);
    connect(view->verticalHeader(), &QHeaderView::sectionResized, this, &ResultPage::queueMeasuredColumn);
}

void ResultPage::setCaptions()
{
    for (const Field& field : fields) {
        const PageField& entry = *field.entry;
        if (field.caption)
            setCaption(field.caption, translated(entry.captionText ? entry.captionText : entry.header));
    }
    for (const PageCaption& caption : table.captions)
        setCaption(child<QWidget>(pageWidget, caption.widget), translated(caption.text));
    setCaption(remarkGroup, remarkHeader());
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
        if (!isSetting(field.entry->shows))
            continue;
        if (field.entry->shows != Shows::StandardValue) {
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
        switch (field.entry->shows) {
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
        if (isList(field.entry->shows))
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
    const FromReading& from = field.entry->from;
    const QString text = from.text ? rd.*from.text + (from.unit ? rd.*from.unit : QString()) : QString();
    switch (field.entry->shows) {
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
        if (field.entry->shows == Shows::TwoDigits)
            qobject_cast<QSpinBox*>(field.value)->setPrefix(value >= 10 ? QString() : QStringLiteral("0"));
    }
}

void ResultPage::showSign(double value)
{
    for (const Field& field : fields) {
        if (field.entry->shows == Shows::SignedDecimal)
            qobject_cast<QDoubleSpinBox*>(field.value)->setPrefix(value >= 0.0 ? QStringLiteral("+") : QString());
    }
}
