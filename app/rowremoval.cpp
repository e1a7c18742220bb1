#include "app/rowremoval.h"

#include "app/resultpage.h"

#include <QMessageBox>
#include <QStandardItemModel>
#include <QWidget>

#include <utility>

RowRemoval::RowRemoval(QWidget* window) : QObject(window)
{
    setObjectName(QStringLiteral("rowRemoval"));
    answer_ = [window](const QString& question) {
        return QMessageBox::question(window, window->windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
               == QMessageBox::Yes;
    };
}

void RowRemoval::setAnswer(Answer answer)
{
    answer_ = std::move(answer);
}

void RowRemoval::deleteSelectedRows(ResultPage& page)
{
    const int rows = page.selectedRowCount();
    if (rows == 0) {
        emit statusMessage(tr("请先点击要删除的行"));
        return;
    }
    if (answer_(tr("删除所选的 %1 行？删除的行不能恢复。").arg(rows)))
        page.deleteSelectedRows();
}

void RowRemoval::clearRows(ResultPage& page)
{
    const int rows = page.resultModel()->rowCount();
    if (rows > 0 && answer_(tr("清除表中全部 %1 行？这些行仍保留在历史记录中（查看 ▸ 历史记录）。").arg(rows)))
        page.clearRows();
}
