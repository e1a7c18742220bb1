#pragma once
// Where the save dialogs of the reports and workbooks start, and what a save
// may replace.

#include <QDateTime>
#include <QString>

namespace reports {

// "KR480M_data" in the user's documents folder, made with its missing parents
// (a failure is left to the save dialog, which then starts elsewhere).
QString exportFolder();

// folder + "/data_" + the time as yyyyMMdd_hhmmss + "." + suffix.
QString proposedExportPath(const QString& folder, const QDateTime& when, const QString& suffix);

// Whether a save may put a file at path: nothing is there yet, or a regular
// file or a link to one. A folder, a device, a pipe or a dangling link is
// never replaced: false, and *error (when given) says why.
bool mayReplace(const QString& path, QString* error);

// The name pattern (for QTemporaryFile) of a hidden scratch file in path's
// folder, so that a scratch file left by a killed export stays beside its
// target instead of spreading the data into the temporary folder.
QString scratchPattern(const QString& path);

}  // namespace reports
