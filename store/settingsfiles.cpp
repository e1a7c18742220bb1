#include "store/settingsfiles.h"

#include <QDebug>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

namespace settingsfiles {

QString filePath(const QString& fileName)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!folder.isEmpty() && QDir().mkpath(folder))
        return folder + QLatin1Char('/') + fileName;
    return QDir::tempPath() + QLatin1Char('/') + fileName;
}

std::unique_ptr<QSettings> open(const QString& fileName)
{
    const QString path = filePath(fileName);
    qDebug() << "settings file" << path;
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

int read(const QSettings& settings, const IntSetting& setting)
{
    bool ok = false;
    // Read wide: a number beyond the range of int still means "as far as allowed".
    const qlonglong value = settings.value(QLatin1String(setting.key)).toLongLong(&ok);
    if (!ok)
        return setting.fallback;
    return int(std::clamp<qlonglong>(value, setting.lowest, setting.highest));
}

double read(const QSettings& settings, const RealSetting& setting)
{
    bool ok = false;
    const double value = settings.value(QLatin1String(setting.key)).toDouble(&ok);
    if (!ok || std::isnan(value))
        return setting.fallback;
    const double scale = std::pow(10.0, setting.decimals);
    return std::clamp(std::round(value * scale) / scale, setting.lowest, setting.highest);
}

bool read(const QSettings& settings, const FlagSetting& setting)
{
    const QString text = settings.value(QLatin1String(setting.key)).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return setting.fallback;
}

QString readText(const QSettings& settings, const char* key)
{
    return settings.value(QLatin1String(key)).toString();
}

void write(QSettings& settings, const IntSetting& setting, int value)
{
    settings.setValue(QLatin1String(setting.key), value);
}

void write(QSettings& settings, const RealSetting& setting, double value)
{
    settings.setValue(QLatin1String(setting.key), value);
}

void write(QSettings& settings, const FlagSetting& setting, bool value)
{
    settings.setValue(QLatin1String(setting.key), value);
}

void writeText(QSettings& settings, const char* key, const QString& text)
{
    settings.setValue(QLatin1String(key), text);
}

}  // namespace settingsfiles
