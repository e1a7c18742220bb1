#pragma once
// The object under test (a transformer, a cable drum): its name, serial number
// and location, in a row of fields on each test page. Both rows show the same
// object; at start they propose the one used last, and the fields complete
// from the objects kept. The object is kept in the results store when the
// operator has named it, and every result row is kept with it.

#include "store/resultstore.h"

#include <QObject>
#include <QVector>

#include <array>

class QLabel;
class QLineEdit;
class QStringListModel;
class QWidget;

class TestObjectBar : public QObject
{
    Q_OBJECT

public:
    explicit TestObjectBar(QObject* parent = nullptr);

    // A row of fields in the box layout of `page` that holds `anchor`, right after it.
    void placeAfter(QWidget* page, QWidget* anchor);
    // The store the objects are kept in; the fields show the one used last.
    void setStore(store::ResultStore* store);
    // Captions and hints in the language in force.
    void retranslate();

    // The fields name this kept object, as if the operator had picked it.
    void showObject(qint64 id);

    store::TestObject currentObject() const;
    // The kept id of the object the fields name, kept now when it is new; 0: none named or not kept.
    qint64 currentObjectId();

signals:
    void objectChanged(qint64 id);

private:
    enum Part { Name, Serial, Location, PartCount };
    struct Row {
        QLabel* caption;
        std::array<QLineEdit*, PartCount> fields;
    };

    QWidget* makeRow(QWidget* parent);
    void copyToOtherRows(Part part, const QLineEdit* edited);
    void show(const store::TestObject& object);
    void take(const store::TestObject& object);
    void completeFrom(Part part, const QString& text);
    void fillCompletions();
    void resolve();

    store::ResultStore* resultStore = nullptr;
    QVector<Row> rows;
    std::array<QStringListModel*, PartCount> completions{};
    QList<store::TestObject> kept;  // the objects the fields complete from, the one used last first
    qint64 objectId = 0;
    bool changed = false;  // the fields were edited since the object was last looked up
};
