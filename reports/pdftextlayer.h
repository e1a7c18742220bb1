#pragma once
// The text a PDF viewer copies and searches. Qt names each glyph of an
// embedded font by the lowest code point the font maps to it. Chinese fonts
// draw many ideographs with the glyph of a radical (用 and the radical ⽤
// share one), so a report's text layer would read radicals where the page
// shows ideographs, and a search for "用" would not find it.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace reports {

// The ideograph that `family` draws with each radical's glyph, keyed by the
// radical (U+2F64 → 用). Empty when the family shares no such glyph.
QHash<char16_t, char16_t> ideographsOfRadicals(const QString& family);

// Names, in every ToUnicode map of `pdf`, the ideograph where a glyph names a
// radical. Every name keeps its length, so the file's offsets stay true.
// Returns how many names changed.
int nameIdeographs(QByteArray& pdf, const QHash<char16_t, char16_t>& ideographs);

}  // namespace reports
