#include "tscatalogue.h"

#include <QXmlStreamReader>

const TsMessage* TsCatalogue::find(const QString& context, const QString& source,
                                   const QString& comment) const
{
    for (const TsMessage& m : messages) {
        if (m.context == context && m.source == source && m.comment == comment)
            return &m;
    }
    return nullptr;
}

namespace {

// Reads one <message> element; the reader stands on its start tag.
TsMessage readMessage(QXmlStreamReader& reader, const QString& context)
{
    TsMessage m;
    m.context = context;
    m.line = int(reader.lineNumber());
    while (reader.readNextStartElement()) {
        const auto name = reader.name();
        if (name == QLatin1String("source")) {
            m.source = reader.readElementText();
        } else if (name == QLatin1String("comment")) {
            m.comment = reader.readElementText();
        } else if (name == QLatin1String("translation")) {
            m.type = reader.attributes().value(QLatin1String("type")).toString();
            m.translation = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        } else {
            reader.skipCurrentElement();
        }
    }
    return m;
}

void readContext(QXmlStreamReader& reader, TsCatalogue* catalogue)
{
    QString context;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("name"))
            context = reader.readElementText();
        else if (reader.name() == QLatin1String("message"))
            catalogue->messages.append(readMessage(reader, context));
        else
            reader.skipCurrentElement();
    }
}

}  // namespace

bool parseTs(const QByteArray& xml, TsCatalogue* catalogue, QString* error)
{
    QXmlStreamReader reader(xml);
    *catalogue = TsCatalogue();
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("TS")) {
        *error = QStringLiteral("no <TS> element");
        return false;
    }
    catalogue->language = reader.attributes().value(QLatin1String("language")).toString();
    catalogue->sourceLanguage = reader.attributes().value(QLatin1String("sourcelanguage")).toString();
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("context"))
            readContext(reader, catalogue);
        else
            reader.skipCurrentElement();
    }
    if (reader.hasError()) {
        *error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return false;
    }
    return true;
}
