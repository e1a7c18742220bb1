#include "analysis/xlsxreader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <unzip.h>

namespace analysis {

namespace {

// A part larger than this is no baseline table but a damaged or hostile file.
constexpr qint64 kMaxPartBytes = 64 * 1024 * 1024;
constexpr char kWorkbook[] = "xl/workbook.xml";
constexpr char kWorkbookRelations[] = "xl/_rels/workbook.xml.rels";
constexpr char kSharedStrings[] = "xl/sharedStrings.xml";

// "C7" → 2 (columns count from 0); -1 for a reference without letters.
int columnOf(const QStringRef& reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        if (!c.isLetter())
            break;
        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
        ++letters;
    }
    return letters == 0 ? -1 : column - 1;
}

// The text of the <t> elements inside the current element (a shared string or
// an inline string, plain or in runs), without phonetic guides.
QString textInside(QXmlStreamReader& xml)
{
    QString text;
    const QString end = xml.name().toString();
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement() && xml.name() == end)
            break;
        if (xml.isStartElement() && xml.name() == QLatin1String("rPh"))
            xml.skipCurrentElement();
        else if (xml.isStartElement() && xml.name() == QLatin1String("t"))
            text += xml.readElementText();
    }
    return text;
}

struct Cell {
    int column = -1;
    QString text;
};

std::optional<Cell> readCell(QXmlStreamReader& xml, const QStringList& shared, int nextColumn)
{
    Cell cell;
    const int column = columnOf(xml.attributes().value(QLatin1String("r")));
    cell.column = column >= 0 ? column : nextColumn;
    const QString type = xml.attributes().value(QLatin1String("t")).toString();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("v")) {
            const QString value = xml.readElementText();
            if (type == QLatin1String("s")) {
                bool ok = false;
                const int index = value.toInt(&ok);
                if (!ok || index < 0 || index >= shared.size())
                    return std::nullopt;
                cell.text = shared[index];
            } else {
                cell.text = value;
            }
        } else if (xml.name() == QLatin1String("is")) {
            cell.text = textInside(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
    return cell;
}

std::optional<TextRow> readRow(QXmlStreamReader& xml, const QStringList& shared, int nextLine)
{
    TextRow row;
    bool ok = false;
    row.line = xml.attributes().value(QLatin1String("r")).toInt(&ok);
    if (!ok)
        row.line = nextLine;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("c")) {
            xml.skipCurrentElement();
            continue;
        }
        const std::optional<Cell> cell = readCell(xml, shared, row.cells.size());
        if (!cell || cell->column < row.cells.size() || cell->column > 16383)
            return std::nullopt;
        while (row.cells.size() < cell->column)
            row.cells << QString();
        row.cells << cell->text;
    }
    return row;
}

}  // namespace

XlsxReader::XlsxReader(const QString& path) : zip_(unzOpen64(QFile::encodeName(path).constData())) {}

XlsxReader::~XlsxReader()
{
    if (zip_)
        unzClose(zip_);
}

std::optional<QByteArray> XlsxReader::part(const QString& name)
{
    if (!zip_ || unzLocateFile(zip_, name.toUtf8().constData(), 1) != UNZ_OK)
        return std::nullopt;
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK
        || info.uncompressed_size > quint64(kMaxPartBytes) || unzOpenCurrentFile(zip_) != UNZ_OK)
        return std::nullopt;
    QByteArray bytes;
    char buffer[16384];
    int got = 0;
    while ((got = unzReadCurrentFile(zip_, buffer, sizeof buffer)) > 0 && bytes.size() <= kMaxPartBytes)
        bytes.append(buffer, got);
    // The close checks the part's checksum once it was read to its end.
    const bool whole = unzCloseCurrentFile(zip_) == UNZ_OK && got == 0;
    return whole ? std::optional<QByteArray>(bytes) : std::nullopt;
}

// The workbook names its sheets in order; the relations say which part holds each.
std::optional<QString> XlsxReader::firstSheetPath()
{
    const std::optional<QByteArray> workbook = part(QLatin1String(kWorkbook));
    const std::optional<QByteArray> relations = part(QLatin1String(kWorkbookRelations));
    if (!workbook || !relations)
        return std::nullopt;
    QString relation;
    QXmlStreamReader book(*workbook);
    while (relation.isEmpty() && book.readNext() != QXmlStreamReader::Invalid && !book.atEnd()) {
        if (book.isStartElement() && book.name() == QLatin1String("sheet")) {
            for (const QXmlStreamAttribute& a : book.attributes()) {
                if (a.name() == QLatin1String("id"))  // r:id, whatever the prefix
                    relation = a.value().toString();
            }
        }
    }
    QXmlStreamReader links(*relations);
    while (!relation.isEmpty() && links.readNext() != QXmlStreamReader::Invalid && !links.atEnd()) {
        if (links.isStartElement() && links.attributes().value(QLatin1String("Id")) == relation) {
            const QString target = links.attributes().value(QLatin1String("Target")).toString();
            return target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
        }
    }
    return std::nullopt;
}

std::optional<QStringList> XlsxReader::sharedStrings()
{
    QStringList strings;
    if (!zip_ || unzLocateFile(zip_, kSharedStrings, 1) != UNZ_OK)
        return strings;  // a workbook without text cells has none
    const std::optional<QByteArray> bytes = part(QLatin1String(kSharedStrings));
    if (!bytes)
        return std::nullopt;
    QXmlStreamReader xml(*bytes);
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("si"))
            strings << textInside(xml);
    }
    return xml.hasError() ? std::nullopt : std::optional<QStringList>(strings);
}

std::optional<QList<TextRow>> XlsxReader::firstSheet()
{
    const std::optional<QString> path = firstSheetPath();
    const std::optional<QStringList> shared = sharedStrings();
    const std::optional<QByteArray> sheet = path ? part(*path) : std::nullopt;
    if (!sheet || !shared)
        return std::nullopt;
    QList<TextRow> rows;
    QXmlStreamReader xml(*sheet);
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (!xml.isStartElement() || xml.name() != QLatin1String("row"))
            continue;
        const std::optional<TextRow> row = readRow(xml, *shared, rows.isEmpty() ? 1 : rows.last().line + 1);
        if (!row)
            return std::nullopt;
        if (!row->cells.isEmpty())
            rows << *row;
    }
    return xml.hasError() ? std::nullopt : std::optional<QList<TextRow>>(rows);
}

}  // namespace analysis
