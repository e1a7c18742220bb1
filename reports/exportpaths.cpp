#include "reports/exportpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

bool mayReplace(const QString& path, QString* error)
{
    const QFileInfo target(path);  // follows links
    if (target.isFile() || (!target.exists() && !target.isSymLink()))
        return true;
    if (error)
        *error = QCoreApplication::translate("MainWindow", "这不是普通文件，不会被替换");
    return false;
}

QString scratchPattern(const QString& path)
{
    const QFileInfo target(path);
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral("-XXXXXX");
}

}  // namespace reports
