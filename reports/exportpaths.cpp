#include "reports/exportpaths.h"

#include <QDir>
#include <QStandardPaths>

namespace reports {

QString exportFolder()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/KR480M_data");
    QDir().mkpath(folder);
    return folder;
}

QString proposedExportPath(const QString& folder, const QDateTime& when, const QString& suffix)
{
    return folder + QStringLiteral("/data_") + when.toString(QStringLiteral("yyyyMMdd_hhmmss"))
        + QLatin1Char('.') + suffix;
}

}  // namespace reports
