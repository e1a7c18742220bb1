#pragma once
// The INI file in which a dialog keeps its values between program runs.

#include <QString>

#include <memory>

class QSettings;

// fileName inside the program's data folder, which is made when missing; inside
// the temporary folder when the data folder cannot be made.
QString settingsFilePath(const QString& fileName);

// That file, read and written as UTF-8 INI.
std::unique_ptr<QSettings> openSettingsFile(const QString& fileName);

// The integer under key, or fallback when the key is missing or holds no integer.
int readSettingsInt(const QSettings& settings, const QString& key, int fallback);
