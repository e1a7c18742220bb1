#include "app/testobjectbar.h"

#include "app/layoutplacement.h"

#include <QBoxLayout>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>

#include <algorithm>

namespace {

constexpr int kFieldLength = 100;  // characters; a longer text would not fit the report's header
constexpr int kRowStretch = 4;     // the row and the table's fold button share the width 4 : 1
constexpr int kFieldStretch[] = {3, 2, 2};
const char* const kFieldNames[] = {"lineEdit_objectName", "lineEdit_objectSerial", "lineEdit_objectLocation"};

QString textOf(const store::TestObject& object, int part)
{
    const QString* texts[] = {&object.name, &object.serial, &object.location};
    return *texts[part];
}

}  // namespace

TestObjectBar::TestObjectBar(QObject* parent) : QObject(parent)
{
    for (QStringListModel*& model : completions)
        model = new QStringListModel(this);
}

void TestObjectBar::placeAfter(QWidget* page, QWidget* anchor)
{
    int at = -1;
    QBoxLayout* box = boxHolding(page->layout(), anchor, &at);
    if (!box)
        return;
    box->insertWidget(at + 1, makeRow(page), kRowStretch);
    box->setStretch(at, 1);
    retranslate();
}

QWidget* TestObjectBar::makeRow(QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("testObjectRow"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 4, 0);
    Row fields{new QLabel(row), {}};
    fields.caption->setObjectName(QStringLiteral("label_testObject"));
    layout->addWidget(fields.caption);
    for (int part = Name; part < PartCount; ++part) {
        auto* edit = new QLineEdit(row);
        edit->setObjectName(QLatin1String(kFieldNames[part]));
        edit->setMaxLength(kFieldLength);
        auto* completer = new QCompleter(completions[part], edit);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setFilterMode(Qt::MatchContains);
        edit->setCompleter(completer);
        layout->addWidget(edit, kFieldStretch[part]);
        fields.fields[part] = edit;

        const auto edited = Part(part);
        connect(edit, &QLineEdit::textEdited, this, [this, edited, edit] { copyToOtherRows(edited, edit); });
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            if (changed)
                resolve();
        });
        connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
                [this, edited](const QString& text) { completeFrom(edited, text); });
    }
    fields.caption->setBuddy(fields.fields[Name]);
    rows.append(fields);
    return row;
}

void TestObjectBar::retranslate()
{
    const QString hints[] = {tr("名称"), tr("编号"), tr("地点")};
    for (const Row& row : rows) {
        row.caption->setText(tr("测试对象"));
        for (int part = Name; part < PartCount; ++part)
            row.fields[part]->setPlaceholderText(hints[part]);
    }
}

void TestObjectBar::setStore(store::ResultStore* store)
{
    resultStore = store;
    fillCompletions();
    take(kept.value(0));
}

void TestObjectBar::showObject(qint64 id)
{
    if (!resultStore || (id == objectId && !changed))
        return;
    const store::TestObject object = resultStore->testObject(id);
    if (object.id == id)
        take(object);
}

// The fields name a kept object (or none, id 0), as if the operator had picked it.
void TestObjectBar::take(const store::TestObject& object)
{
    show(object);
    changed = false;
    objectId = object.id;
    emit objectChanged(objectId);
}

store::TestObject TestObjectBar::currentObject() const
{
    store::TestObject object;
    if (rows.isEmpty())
        return object;
    const Row& row = rows.first();
    object.name = row.fields[Name]->text().trimmed();
    object.serial = row.fields[Serial]->text().trimmed();
    object.location = row.fields[Location]->text().trimmed();
    object.id = changed ? 0 : objectId;
    return object;
}

qint64 TestObjectBar::currentObjectId()
{
    if (changed)
        resolve();
    return objectId;
}

void TestObjectBar::copyToOtherRows(Part part, const QLineEdit* edited)
{
    changed = true;
    for (const Row& row : rows) {
        if (row.fields[part] != edited)
            row.fields[part]->setText(edited->text());
    }
}

void TestObjectBar::show(const store::TestObject& object)
{
    for (const Row& row : rows) {
        for (int part = Name; part < PartCount; ++part)
            row.fields[part]->setText(textOf(object, part));
    }
}

// A name or serial number picked from the completion brings the rest of the
// object used last with it; a location is only a text.
void TestObjectBar::completeFrom(Part part, const QString& text)
{
    changed = true;
    const auto found = std::find_if(kept.begin(), kept.end(),
                                    [part, &text](const store::TestObject& object) { return textOf(object, part) == text; });
    if (part != Location && found != kept.end()) {
        show(*found);
    } else {
        for (const Row& row : rows)
            row.fields[part]->setText(text);
    }
    resolve();
}

void TestObjectBar::fillCompletions()
{
    kept = resultStore ? resultStore->testObjects() : QList<store::TestObject>();
    for (int part = Name; part < PartCount; ++part) {
        QStringList texts;
        for (const store::TestObject& object : kept) {
            const QString text = textOf(object, part);
            if (!text.isEmpty() && !texts.contains(text))
                texts << text;
        }
        completions[part]->setStringList(texts);
    }
}

// Keeping the object marks it as the one used last. An object the store could
// not keep is looked up again when the next row is kept.
void TestObjectBar::resolve()
{
    const store::TestObject object = currentObject();
    const qint64 id = object.isEmpty() || !resultStore ? 0 : resultStore->objectId(object);
    changed = !object.isEmpty() && id == 0;
    const bool known = std::any_of(kept.begin(), kept.end(), [id](const store::TestObject& k) { return k.id == id; });
    if (id != 0 && !known)
        fillCompletions();
    if (id == objectId)
        return;
    objectId = id;
    emit objectChanged(objectId);
}
