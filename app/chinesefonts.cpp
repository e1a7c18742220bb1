#include "app/chinesefonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainterPath>
#include <QRawFont>
#include <QStringList>

namespace {

const char* const kPreferredFamily = "WenQuanYi Micro Hei";
const char* const kNamedFamilies[] = {"Microsoft YaHei UI", "Microsoft YaHei", "Microsoft Yahei",
                                      "Microsoft YaHei UI Light"};
// Signs of the unit texts that every form shows.
const char16_t kUnitSigns[] = {u'\u2103', u'\u03BC', u'\u03A9'};

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

// Whether the family itself (not a fallback) has an outline for every unit
// sign: some Chinese fonts list a sign but leave its glyph empty.
bool drawsUnitSigns(const QString& family)
{
    const QRawFont raw = QRawFont::fromFont(QFont(family, 12));
    if (!raw.isValid() || raw.familyName().compare(family, Qt::CaseInsensitive) != 0)
        return false;
    for (char16_t sign : kUnitSigns) {
        const QChar character(sign);
        if (!raw.supportsCharacter(character))
            return false;
        const QVector<quint32> glyphs = raw.glyphIndexesForString(QString(character));
        if (glyphs.isEmpty() || raw.pathForGlyph(glyphs.first()).isEmpty())
            return false;
    }
    return true;
}

// The system's general font or its sans-serif family when one of them draws
// the signs, else the first family that does; empty when none does.
QString unitSignFamily(const QFontDatabase& database)
{
    QFont sans;
    sans.setStyleHint(QFont::SansSerif);
    for (const QString& family : {QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(),
                                  sans.defaultFamily()}) {
        if (drawsUnitSigns(family))
            return family;
    }
    for (const QString& family : database.families(QFontDatabase::Latin)) {
        if (!database.isSmoothlyScalable(family) || database.isFixedPitch(family))
            continue;
        if (drawsUnitSigns(family))
            return family;
    }
    return QString();
}

}  // namespace

QString installChineseFontSubstitutes()
{
    const QFontDatabase database;
    if (database.hasFamily(QLatin1String(kNamedFamilies[0])))
        return QString();
    const QString chinese = installedChineseFamily(database);
    if (chinese.isEmpty())
        return QString();

    QStringList substitutes(chinese);
    if (!drawsUnitSigns(chinese)) {
        const QString signs = unitSignFamily(database);
        if (!signs.isEmpty())
            substitutes.prepend(signs);
    }
    for (const char* named : kNamedFamilies)
        QFont::insertSubstitutions(QLatin1String(named), substitutes);
    return chinese;
}
