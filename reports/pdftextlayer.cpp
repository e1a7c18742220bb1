#include "reports/pdftextlayer.h"

#include <QFont>
#include <QRawFont>

namespace reports {

namespace {

constexpr char16_t kFirstRadical = 0x2E80;  // CJK Radicals Supplement, then Kangxi Radicals
constexpr char16_t kLastRadical = 0x2FDF;

// Extension A first, so that an ideograph of the unified block wins a glyph
// both draw with; in each block the lowest code point wins.
constexpr struct {
    char16_t first;
    char16_t last;
} kIdeographBlocks[] = {{0x3400, 0x4DBF}, {0x4E00, 0x9FFF}};

bool isRadical(char16_t c)
{
    return c >= kFirstRadical && c <= kLastRadical;
}

// A span of the file: [begin, end).
struct Span {
    int begin;
    int end;
};

// "<2F64>" at `at`: the code point it names, or 0 when it is not four hex digits.
char16_t fourDigitName(const QByteArray& pdf, int at, int end)
{
    if (at + 6 > end || pdf.at(at) != '<' || pdf.at(at + 5) != '>')
        return 0;
    bool ok = false;
    const uint value = pdf.mid(at + 1, 4).toUInt(&ok, 16);
    return ok ? char16_t(value) : 0;
}

int nameIdeographAt(QByteArray& pdf, int at, const QHash<char16_t, char16_t>& ideographs)
{
    const char16_t named = fourDigitName(pdf, at, pdf.size());
    if (!isRadical(named) || !ideographs.contains(named))
        return 0;
    const QByteArray digits = QByteArray::number(uint(ideographs.value(named)), 16).toUpper().rightJustified(4, '0');
    pdf.replace(at + 1, 4, digits);
    return 1;
}

// The starts of the "<...>" names on one line of a map.
QVector<int> namesOnLine(const QByteArray& pdf, Span line)
{
    QVector<int> names;
    for (int at = pdf.indexOf('<', line.begin); at >= 0 && at < line.end; at = pdf.indexOf('<', at + 1))
        names << at;
    return names;
}

// A bfchar line reads "<glyph> <text>": the text is renamed.
// A bfrange line reads "<first> <last> [<text> ...]" or "<first> <last> <text>".
// In the second form the text counts up over the range; a range of one glyph
// is renamed, a longer one is left as it is (ideographs that share radicals'
// glyphs do not run in sequence).
int renameLine(QByteArray& pdf, Span line, bool range, const QHash<char16_t, char16_t>& ideographs)
{
    const QVector<int> names = namesOnLine(pdf, line);
    int renamed = 0;
    if (!range) {
        for (int i = 1; i < names.size(); ++i)
            renamed += nameIdeographAt(pdf, names.at(i), ideographs);
        return renamed;
    }
    const int bracket = pdf.indexOf('[', line.begin);
    if (bracket >= 0 && bracket < line.end) {
        for (int at : names) {
            if (at > bracket)
                renamed += nameIdeographAt(pdf, at, ideographs);
        }
    } else if (names.size() == 3 && pdf.mid(names.at(0), 6) == pdf.mid(names.at(1), 6)) {
        renamed += nameIdeographAt(pdf, names.at(2), ideographs);
    }
    return renamed;
}

// The two kinds of section a map names glyphs in.
struct Section {
    const char* opening;
    const char* closing;
    bool range;
};
constexpr Section kCharSection{"beginbfchar", "endbfchar", false};
constexpr Section kRangeSection{"beginbfrange", "endbfrange", true};

// Every line of every such section inside `map`.
int renameSections(QByteArray& pdf, Span map, const Section& section, const QHash<char16_t, char16_t>& ideographs)
{
    int renamed = 0;
    for (int begin = pdf.indexOf(section.opening, map.begin); begin >= 0 && begin < map.end;
         begin = pdf.indexOf(section.opening, begin + 1)) {
        const int end = pdf.indexOf(section.closing, begin);
        if (end < 0 || end > map.end)
            break;
        int lineStart = pdf.indexOf('\n', begin) + 1;
        while (lineStart > 0 && lineStart < end) {
            int lineEnd = pdf.indexOf('\n', lineStart);
            if (lineEnd < 0 || lineEnd > end)
                lineEnd = end;
            renamed += renameLine(pdf, {lineStart, lineEnd}, section.range, ideographs);
            lineStart = lineEnd + 1;
        }
    }
    return renamed;
}

}  // namespace

QHash<char16_t, char16_t> ideographsOfRadicals(const QString& family)
{
    QHash<char16_t, char16_t> ideographs;
    const QRawFont font = QRawFont::fromFont(QFont(family));
    if (!font.isValid())
        return ideographs;
    const auto glyphOf = [&font](char16_t c) {
        quint32 glyph = 0;
        int count = 1;
        const QChar character(c);
        return font.glyphIndexesForChars(&character, 1, &glyph, &count) ? glyph : 0;
    };
    QHash<quint32, char16_t> ideographOfGlyph;
    for (const auto& block : kIdeographBlocks) {
        for (char16_t c = block.last; c >= block.first; --c) {
            if (const quint32 glyph = glyphOf(c))
                ideographOfGlyph.insert(glyph, c);
        }
    }
    for (char16_t radical = kFirstRadical; radical <= kLastRadical; ++radical) {
        const quint32 glyph = glyphOf(radical);
        if (glyph != 0 && ideographOfGlyph.contains(glyph))
            ideographs.insert(radical, ideographOfGlyph.value(glyph));
    }
    return ideographs;
}

int nameIdeographs(QByteArray& pdf, const QHash<char16_t, char16_t>& ideographs)
{
    if (ideographs.isEmpty())
        return 0;
    int renamed = 0;
    for (int begin = pdf.indexOf("begincmap"); begin >= 0; begin = pdf.indexOf("begincmap", begin + 1)) {
        const int end = pdf.indexOf("endcmap", begin);
        if (end < 0)
            break;
        renamed += renameSections(pdf, {begin, end}, kCharSection, ideographs);
        renamed += renameSections(pdf, {begin, end}, kRangeSection, ideographs);
    }
    return renamed;
}

}  // namespace reports
