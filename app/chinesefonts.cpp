#include "chinesefonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

const char* const kPreferredFamily = "WenQuanYi Micro Hei";
const char* const kNamedFamilies[] = {"Microsoft YaHei UI", "Microsoft YaHei", "Microsoft Yahei",
                                      "Microsoft YaHei UI Light"};

QString installedChineseFamily(const QFontDatabase& database)
{
    const QStringList chinese = database.families(QFontDatabase::SimplifiedChinese);
    const QString preferred = QLatin1String(kPreferredFamily);
    for (const QString& family : chinese) {
        if (family.compare(preferred, Qt::CaseInsensitive) == 0)
            return family;
    }
    return chinese.isEmpty() ? QString() : chinese.first();
}

}  // namespace

QString installChineseFontSubstitutes()
{
    const QFontDatabase database;
    if (database.hasFamily(QLatin1String(kNamedFamilies[0])))
        return QString();
    const QString family = installedChineseFamily(database);
    if (family.isEmpty())
        return QString();
    for (const char* named : kNamedFamilies)
        QFont::insertSubstitutions(QLatin1String(named), QStringList(family));
    return family;
}
