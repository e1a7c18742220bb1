#include "reports/reportcontent.h"

namespace reports {

namespace {

QVector<Field> fieldsOfColumns(const TextTable& table, int row, int first, int last, const QString& label)
{
    QVector<Field> fields;
    for (int column = first; column <= last; ++column)
        fields.append({label.arg(table.headers.value(column)), table.cell(row, column)});
    return fields;
}

}  // namespace

QVector<DataSection> recordSections(const TextTable& table, int remarkColumn, const RecordTexts& texts)
{
    QVector<DataSection> sections;
    if (remarkColumn < 2 || remarkColumn >= table.columnCount())
        return sections;
    const int lastLeft = remarkColumn / 2;
    sections.reserve(table.rowCount);
    for (int row = 0; row < table.rowCount; ++row) {
        DataSection section;
        section.title = texts.title.arg(table.cell(row, 0));
        section.time = {texts.timeLabel, table.cell(row, 1)};
        section.dataHeading = texts.dataHeading;
        section.fields.left = fieldsOfColumns(table, row, 2, lastLeft, texts.label);
        section.fields.right = fieldsOfColumns(table, row, lastLeft + 1, remarkColumn - 1, texts.label);
        section.remarkHeading = texts.remarkHeading;
        section.remark = table.cell(row, remarkColumn);
        sections.append(section);
    }
    return sections;
}

}  // namespace reports
