#pragma once
// Reads a Qt Linguist .ts catalogue into plain records, for the checks
// of the translation tests.

#include <QByteArray>
#include <QString>
#include <QVector>

struct TsMessage {
    QString context;
    QString source;
    QString comment;  // disambiguation
    QString translation;
    QString type;  // "" (finished), "unfinished", "obsolete" or "vanished"
    int line = 0;
};

struct TsCatalogue {
    QString language;
    QString sourceLanguage;
    QVector<TsMessage> messages;

    // The message of a context, source and disambiguation, or nullptr.
    const TsMessage* find(const QString& context, const QString& source,
                          const QString& comment = QString()) const;
};

// Returns false with *error set when the text is not a readable catalogue.
bool parseTs(const QByteArray& xml, TsCatalogue* catalogue, QString* error);
