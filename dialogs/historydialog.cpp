#include "dialogs/historydialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char* const kTimeFormat = "yyyy-MM-dd hh:mm:ss";
constexpr int kIdRole = Qt::UserRole + 1;

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
    sessions->setHeaderLabels({tr("开始时间"), tr("表格"), tr("行数")});
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
    layout->addWidget(sessions);
    layout->addWidget(buttons);
    resize(520, 360);

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
    setEntries({});
}

void HistoryDialog::setEntries(const QList<HistoryEntry>& entries)
{
    sessions->clear();
    for (const HistoryEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(sessions, {entry.started.toString(QLatin1String(kTimeFormat)), entry.table,
                                                    QString::number(entry.rowCount)});
        item->setData(0, kIdRole, entry.id);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (sessions->topLevelItemCount() > 0)
        sessions->setCurrentItem(sessions->topLevelItem(0));
    emptyNote->setVisible(entries.isEmpty());
    sessions->setVisible(!entries.isEmpty());
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
