#include "dialogs/historydialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QBoxLayout>

#include <algorithm>

namespace {

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kEntryRole = Qt::UserRole + 1;  // the entry's place in the local entries, then the team's

enum Column { kStarted, kTable, kRows, kOperator, kInstrument, kObject };

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

    sessions->setHeaderLabels({tr("开始时间"), tr("表格"), tr("行数"), tr("操作员"), tr("仪器"), tr("测试对象")});
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
    baselineButton = buttons->addButton(tr("设为基准"), QDialogButtonBox::ActionRole);
    baselineButton->setObjectName(QStringLiteral("pushButton_baseline"));
    baselineButton->setToolTip(tr("把这次测试的直流电阻作为其测试对象的基准值"));

    teamNote = new QLabel(this);
    teamNote->setObjectName(QStringLiteral("label_team"));
    teamNote->setWordWrap(true);
    teamNote->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(emptyNote);
    layout->addWidget(filterBar);
    layout->addWidget(sessions);
    layout->addWidget(teamNote);
    layout->addWidget(buttons);
    resize(720, 380);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(loadButton, &QPushButton::clicked, this, [this] {
        if (const HistoryEntry* entry = chosen()) {
            if (entry->teamSession.isEmpty())
                emit loadSessionSignal(entry->id);
            else
                emit loadTeamSessionSignal(entry->teamSession);
            accept();
        }
    });
    connect(exportButton, &QPushButton::clicked, this, [this] {
        if (const HistoryEntry* entry = chosen()) {
            if (entry->teamSession.isEmpty())
                emit exportSessionSignal(entry->id);
            else
                emit exportTeamSessionSignal(entry->teamSession);
        }
    });
    connect(baselineButton, &QPushButton::clicked, this, [this] {
        if (const HistoryEntry* entry = chosen(); entry && entry->canBeBaseline)
            emit baselineWanted(*entry);
    });
    connect(sessions, &QTreeWidget::itemDoubleClicked, loadButton, &QPushButton::click);
    connect(sessions, &QTreeWidget::itemSelectionChanged, this, &HistoryDialog::updateButtons);
    connect(objectFilter, qOverload<int>(&QComboBox::currentIndexChanged), this, &HistoryDialog::showChosenObject);
    setEntries({});
}

void HistoryDialog::setEntries(const QList<HistoryEntry>& entries)
{
    localEntries = entries;
    showEntries();
}

void HistoryDialog::setTeamEntries(const QList<HistoryEntry>& entries, const QString& note)
{
    teamEntries = entries;
    teamNote->setText(note);
    teamNote->setVisible(!note.isEmpty());
    showEntries();
}

void HistoryDialog::showEntries()
{
    sessions->clear();
    const QList<HistoryEntry> entries = localEntries + teamEntries;
    bool anyObject = false;
    for (int index = 0; index < entries.size(); ++index) {
        const HistoryEntry& entry = entries[index];
        const QString who = entry.teamSession.isEmpty() ? tr("本机") : entry.operatorName;
        auto* item = new QTreeWidgetItem(sessions, {entry.started.toString(QLatin1String(kTimeFormat)), entry.table,
                                                    QString::number(entry.rowCount), who, entry.instrument,
                                                    entry.object});
        item->setData(kStarted, kEntryRole, index);
        item->setTextAlignment(kRows, Qt::AlignRight | Qt::AlignVCenter);
        anyObject = anyObject || !entry.object.isEmpty();
    }
    sessions->setColumnHidden(kOperator, teamEntries.isEmpty());
    sessions->setColumnHidden(kInstrument, teamEntries.isEmpty());
    sessions->setColumnHidden(kObject, !anyObject);
    fillObjectFilter(entries);
    emptyNote->setVisible(entries.isEmpty());
    sessions->setVisible(!entries.isEmpty());
    filterBar->setVisible(anyObject);
    showChosenObject();
}

// Every object some session was measured on, in the order of the list (newest
// first); the object chosen before stays chosen.
void HistoryDialog::fillObjectFilter(const QList<HistoryEntry>& entries)
{
    const QSignalBlocker quiet(objectFilter);
    const QString chosenObject = objectFilter->currentData().toString();
    objectFilter->clear();
    objectFilter->addItem(tr("全部对象"), QString());
    for (const HistoryEntry& entry : entries) {
        if (!entry.object.isEmpty() && objectFilter->findData(entry.object) < 0)
            objectFilter->addItem(entry.object, entry.object);
    }
    objectFilter->setCurrentIndex(std::max(0, objectFilter->findData(chosenObject)));
}

// Only the sessions of the object chosen; the first of them is chosen.
void HistoryDialog::showChosenObject()
{
    const QString shown = objectFilter->currentData().toString();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < sessions->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = sessions->topLevelItem(i);
        const bool hidden = !shown.isEmpty() && item->text(kObject) != shown;
        item->setHidden(hidden);
        if (!hidden && !first)
            first = item;
    }
    sessions->setCurrentItem(first);
    if (!first)
        sessions->clearSelection();
    updateButtons();
}

const HistoryEntry* HistoryDialog::chosen() const
{
    const QTreeWidgetItem* item = sessions->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    const int index = item->data(kStarted, kEntryRole).toInt();
    return index < localEntries.size() ? &localEntries[index] : &teamEntries[index - localEntries.size()];
}

void HistoryDialog::updateButtons()
{
    const HistoryEntry* entry = chosen();
    loadButton->setEnabled(entry);
    exportButton->setEnabled(entry);
    baselineButton->setEnabled(entry && entry->canBeBaseline);
}
