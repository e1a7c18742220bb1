#pragma once
// The look the charts beside a result table share: texts smaller than the
// page's, the legend on top, and no room spent around the plot, so that a
// short chart still has room for its axes' labels.

#include <QFont>

namespace QtCharts {
class QChart;
}

namespace chartlook {

// `base` at the charts' point size.
QFont smallFont(QFont base);

void apply(QtCharts::QChart* chart, const QFont& small);

}  // namespace chartlook
