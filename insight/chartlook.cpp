#include "insight/chartlook.h"

#include <QGraphicsLayout>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>

namespace chartlook {

namespace {

constexpr double kPointSize = 8.5;

}  // namespace

QFont smallFont(QFont base)
{
    base.setPointSizeF(kPointSize);
    return base;
}

// Without the layout's own margins a chart of the table's height keeps its
// time labels and title; with them, in a Chinese font, both were cut to "…".
void apply(QtCharts::QChart* chart, const QFont& small)
{
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setFont(small);
}

}  // namespace chartlook
