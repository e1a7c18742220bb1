#include "dialogs/settingsfile.h"

#include <QDebug>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <limits>

QString settingsFilePath(const QString& fileName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.isEmpty() && QDir().mkpath(folder))
        return folder + QLatin1Char('/') + fileName;
    return QDir::tempPath() + QLatin1Char('/') + fileName;
}

std::unique_ptr<QSettings> openSettingsFile(const QString& fileName)
{
    const QString path = settingsFilePath(fileName);
    qDebug() << "settings file" << path;
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

int readSettingsInt(const QSettings& settings, const QString& key, int fallback)
{
    bool ok = false;
    const qlonglong value = settings.value(key, fallback).toLongLong(&ok);
    if (!ok)
        return fallback;
    // Beyond the range of int a plain conversion would wrap around.
    return int(std::clamp<qlonglong>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
