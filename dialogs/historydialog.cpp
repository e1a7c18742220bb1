#include "dialogs/historydialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QBoxLayout>

namespace {

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kIdRole = Qt::UserRole + 1;
constexpr int kObjectRole = Qt::UserRole + 2;
constexpr qint64 kEveryObject = -1;  // the filter's first entry
constexpr int kRowCountColumn = 3;

}  // namespace

HistoryDialog::HistoryDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("历史记录"));
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);

    emptyNote = new QLabel(tr("没有更早的记录。清除一个表格后，它的记录会保存在这里。"), this);
    emptyNote->setObjectName(QStringLiteral("label_noSessions"));
    emptyNote->setWordWrap(true);

    sessions = new QTreeWidget(this);
    sessions->setObjectName(QStringLiteral("treeWidget_sessions"));
    filterBar = new QWidget(this);
    objectFilter = new QComboBox(filterBar);
    objectFilter->setObjectName(QStringLiteral("comboBox_objectFilter"));
    objectFilter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* filterLabel = new QLabel(tr("测试对象："), filterBar);
    filterLabel->setBuddy(objectFilter);
    auto* filterRow = new QHBoxLayout(filterBar);
    filterRow->setContentsMargins(0, 0, 0, 0);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(objectFilter);
    filterRow->addStretch();

    sessions->setHeaderLabels({tr("开始时间"), tr("表格"), tr("测试对象"), tr("行数")});
    sessions->setRootIsDecorated(false);
    sessions->setUniformRowHeights(true);
    sessions->setSelectionMode(QAbstractItemView::SingleSelection);
    sessions->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    sessions->header()->setStretchLastSection(false);

    buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    buttons->button(QDialogButtonBox::Close)->setText(tr("关闭"));  // not left to Qt's own catalogues
    loadButton = buttons->addButton(tr("载入表格"), QDialogButtonBox::AcceptRole);
    loadButton->setObjectName(QStringLiteral("pushButton_load"));
    exportButton = buttons->addButton(tr("导出到Excel"), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("pushButton_export"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(emptyNote);
    layout->addWidget(filterBar);
    layout->addWidget(sessions);
    layout->addWidget(buttons);
    resize(640, 380);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(loadButton, &QPushButton::clicked, this, [this] {
        if (chosenId() > 0) {
            emit loadSessionSignal(chosenId());
            accept();
        }
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        if (chosenId() > 0)
            emit exportSessionSignal(chosenId());
    });
    connect(sessions, &QTreeWidget::itemDoubleClicked, loadButton, &QPushButton::click);
    connect(sessions, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::updateButtons);
    connect(objectFilter, qOverload<int>(&QComboBox::currentIndexChanged), this, &HistoryDialog::showChosenObject);
    setEntries({});
}

void HistoryDialog::setEntries(const QList<HistoryEntry>& entries)
{
    sessions->clear();
    for (const HistoryEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(sessions, {entry.started.toString(QLatin1String(kTimeFormat)), entry.table,
                                                    entry.object, QString::number(entry.rowCount)});
        item->setData(0, kIdRole, entry.id);
        item->setData(0, kObjectRole, entry.objectId);
        item->setTextAlignment(kRowCountColumn, Qt::AlignRight | Qt::AlignVCenter);
    }
    fillObjectFilter(entries);
    emptyNote->setVisible(entries.isEmpty());
    sessions->setVisible(!entries.isEmpty());
    filterBar->setVisible(!entries.isEmpty());
    showChosenObject();
}

// Every object some session was measured on, in the order of the list (newest first).
void HistoryDialog::fillObjectFilter(const QList<HistoryEntry>& entries)
{
    const QSignalBlocker quiet(objectFilter);
    objectFilter->clear();
    objectFilter->addItem(tr("全部对象"), kEveryObject);
    for (const HistoryEntry& entry : entries) {
        if (entry.objectId > 0 && objectFilter->findData(entry.objectId) < 0)
            objectFilter->addItem(entry.object, entry.objectId);
    }
}

// Only the sessions of the object chosen; the first of them is chosen.
void HistoryDialog::showChosenObject()
{
    const qint64 shown = objectFilter->currentData().toLongLong();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < sessions->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = sessions->topLevelItem(i);
        const bool hidden = shown != kEveryObject && item->data(0, kObjectRole).toLongLong() != shown;
        item->setHidden(hidden);
        if (!hidden && !first)
            first = item;
    }
    sessions->setCurrentItem(first);
    if (!first)
        sessions->clearSelection();
    updateButtons();
}

qint64 HistoryDialog::chosenId() const
{
    const QTreeWidgetItem* item = sessions->currentItem();
    return item && item->isSelected() ? item->data(0, kIdRole).toLongLong() : 0;
}

void HistoryDialog::updateButtons()
{
    loadButton->setEnabled(chosenId() > 0);
    exportButton->setEnabled(chosenId() > 0);
}
