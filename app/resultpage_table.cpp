// The result table of a test page and the report's sections taken from it.

#include "app/resultpage.h"

#include "app/keptrows.h"
#include "app/settledmark.h"
#include "data/formattables.h"
#include "reports/texttable.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {

constexpr int kFirstFieldColumn = 2;

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kResultRowsAlwaysShown = 5;  // the operator sees them without resizing the window
constexpr int kNarrowestColumn = 48;       // columns fit their texts: more of them show side by side

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString nowText()
{
    return QDateTime::currentDateTime().toString(QLatin1String(kTimeFormat));
}

// The height at which a table shows `rows` rows of the default height with
// its header and horizontal scroll bar.
int heightForRows(const QTableView* view, int rows)
{
    return view->horizontalHeader()->sizeHint().height() + rows * view->verticalHeader()->defaultSectionSize()
           + view->horizontalScrollBar()->sizeHint().height() + 2 * view->frameWidth();
}

}  // namespace

QString ResultPage::remarkHeader()
{
    return ::remarkHeader();
}

QStandardItemModel* ResultPage::createModel()
{
    QStandardItemModel* const replaced = model;
    model = new QStandardItemModel(this);
    model->setHorizontalHeaderLabels(columnHeaders());
    if (replaced) {
        QList<QList<QStandardItem*>> rows;
        while (replaced->rowCount() > 0)
            rows.prepend(replaced->takeRow(replaced->rowCount() - 1));
        for (const QList<QStandardItem*>& row : rows) {
            retranslateSettledMark(row.value(0));
            model->appendRow(row);
        }
        replaced->deleteLater();
    }
    view->setModel(model);
    view->horizontalHeader()->setMinimumSectionSize(kNarrowestColumn);
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
    return resultColumnHeaders(table);
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
void ResultPage::appendRow(const QByteArray& trace, std::optional<bool> settled)
{
    const QStringList texts = rowTexts();
    const qint64 keptId = keeping.keep(texts, trace, settled);
    view->show();
    model->appendRow(lockedRow(texts, keptId, trace, settled));
    queueMeasuredColumn();
}

// The measured values are what the operator looks for: the last field's
// column of the newest row is kept in sight, the table scrolling sideways as
// little as it must, whenever rows come or the columns or the table change size.
void ResultPage::queueMeasuredColumn()
{
    if (measuredColumnQueued)
        return;
    measuredColumnQueued = true;
    QTimer::singleShot(0, this, [this] {
        measuredColumnQueued = false;
        if (model->rowCount() == 0)
            return;
        // Scrolled by whole columns, the header takes its offset from the
        // scroll bar only at its next layout; after the columns narrowed (a
        // Clear), scrolling from the stale offset stopped a column short.
        if (view->horizontalScrollMode() == QAbstractItemView::ScrollPerItem)
            view->horizontalHeader()->setOffsetToSectionPosition(view->horizontalScrollBar()->value());
        view->scrollTo(model->index(model->rowCount() - 1, remarkColumn() - 1));
    });
}

bool ResultPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport && event->type() == QEvent::Resize)
        queueMeasuredColumn();
    return QObject::eventFilter(watched, event);
}

// The flag, not the view's visibility, decides: a test that ended while the
// table was hidden shows it without touching the flag.
void ResultPage::toggleTable()
{
    tableShown = !tableShown;
    view->setVisible(tableShown);
    tableButton->setArrowType(tableShown ? Qt::RightArrow : Qt::DownArrow);
}

int ResultPage::selectedRowCount() const
{
    return view->selectionModel()->selectedRows(0).size();
}

// Removes the selected rows (a click on any cell selects its row), highest
// first so that the numbers still to be removed stay valid, then numbers the
// rest 1, 2, ...
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
    emit rowsCleared();
}

// --- report --------------------------------------------------------------------

int ResultPage::remarkColumn() const
{
    return kFirstFieldColumn + int(fields.size());
}

reports::TextTable ResultPage::workbookTable(const analysis::Judgements& judgements) const
{
    reports::TextTable workbook = reports::modelTable(*model);
    workbook.values = &table == &dcPageTable() ? reports::ValueLayout::DcResults : reports::ValueLayout::LengthResults;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QVariant settled = model->index(row, 0).data(kSettledRole);
        workbook.settled.push_back(settled.isValid() ? std::optional<bool>(settled.toBool()) : std::nullopt);
    }
    // The deviation columns only when some row has a reference to be judged by.
    if (std::any_of(judgements.begin(), judgements.end(), [](const auto& judgement) { return judgement.has_value(); }))
        workbook.judgements = judgements;
    return workbook;
}

// What the page shows at the time of the export, split in two like a record's page.
reports::DataSection ResultPage::currentDataSection() const
{
    reports::DataSection section;
    section.title = QCoreApplication::translate("MainWindow", "当前数据");
    section.time = {QCoreApplication::translate("MainWindow", "测试时间："), nowText()};
    section.dataHeading = QCoreApplication::translate("MainWindow", "数据");
    section.remarkHeading = remarkHeader();
    for (int i = 0; i < fields.size(); ++i) {
        const reports::Field shown{translated(fields[i].entry->reportLabel), shownText(fields[i])};
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
        QCoreApplication::translate("MainWindow", "数据"), remarkHeader(),
        QCoreApplication::translate("MainWindow", "%1：")};
    reports::TextTable table = reports::modelTable(*model);
    // The recorded material and winding in the language of the report; the remark as written.
    table.cell = [recorded = table.cell, remark = remarkColumn()](int row, int column) {
        const QString text = recorded(row, column);
        return column == remark ? text : formattables::fixedTextOnScreen(text);
    };
    return reports::recordSections(table, remarkColumn(), texts);
}
