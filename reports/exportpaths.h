#pragma once
// Where the save dialogs of the reports and workbooks start.

#include <QDateTime>
#include <QString>

namespace reports {

// "KR480M_data" in the user's documents folder, made with its missing parents
// (a failure is left to the save dialog, which then starts elsewhere).
QString exportFolder();

// folder + "/data_" + the time as yyyyMMdd_hhmmss + "." + suffix.
QString proposedExportPath(const QString& folder, const QDateTime& when, const QString& suffix);

}  // namespace reports
