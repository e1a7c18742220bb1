#include "app/settledmark.h"

#include <QCoreApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStandardItem>

namespace {

constexpr int kMarkSize = 12;  // px
const QColor kSettledColour(40, 150, 60);
const QColor kUnsettledColour(225, 140, 0);

// A filled dot for a settled reading, a ring for one still changing.
QIcon markIcon(bool settled)
{
    QPixmap pixmap(kMarkSize, kMarkSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = settled ? kSettledColour : kUnsettledColour;
    painter.setPen(QPen(colour, 2));
    painter.setBrush(settled ? QBrush(colour) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRectF(1.5, 1.5, kMarkSize - 3, kMarkSize - 3));
    return QIcon(pixmap);
}

}  // namespace

void markSettled(QStandardItem* first, std::optional<bool> settled)
{
    if (!first || !settled)
        return;
    first->setData(*settled, kSettledRole);
    retranslateSettledMark(first);
}

void retranslateSettledMark(QStandardItem* first)
{
    const QVariant settled = first ? first->data(kSettledRole) : QVariant();
    if (!settled.isValid())
        return;
    first->setIcon(markIcon(settled.toBool()));
    first->setToolTip(settled.toBool()
                          ? QCoreApplication::translate("MainWindow", "读数已稳定：测试结束时读数的波动低于稳定阈值")
                          : QCoreApplication::translate("MainWindow", "读数未稳定：测试结束时读数仍在变化，结果可能偏离稳定值"));
}
