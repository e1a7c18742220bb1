#pragma once
// What the two test pages show, field by field: for each field its caption,
// the widget showing it, the part of a reading it shows, its label in the
// report and its column in the result table. Widgets are named by their
// object names; texts are untranslated, in context "MainWindow".

#include "data/receivedata.h"

#include <QStringList>
#include <QVector>

// How a reading goes into a field's widget.
enum class Shows {
    Reading,         // a label: the text and its unit
    HeldResistance,  // a label: the resistance, held while a running test is over range
    Number,          // a spin box
    TwoDigits,       // a spin box whose values below 10 show a leading "0" (the tapping)
    SignedDecimal,   // a decimal spin box whose values from 0 up show a "+"
    Entry,           // a list: the entry at the reading's index
    EntryText,       // a list: the entry with the reading's text
    WireSquare,      // a list: the entry with the reading's text and "平方"
    LengthCurrent,   // a list: the entry at the reading's index, AUTO at its place in the length list
    StandardValue,   // a decimal spin box with its unit list, set by the operator or measured
};

// The part of a reading a field shows.
struct FromReading {
    FromReading(QString ReceiveData::*shown, QString ReceiveData::*shownUnit = nullptr) : text(shown), unit(shownUnit) {}
    FromReading(int ReceiveData::*entry) : index(entry) {}
    FromReading(QString ReceiveData::*shown, int ReceiveData::*unitEntry) : text(shown), index(unitEntry) {}

    QString ReceiveData::*text = nullptr;
    QString ReceiveData::*unit = nullptr;
    int ReceiveData::*index = nullptr;  // the entry of a list, or the unit of a standard value
};

struct PageField {
    const char* header;       // the result table's column; the caption too unless captionText says otherwise
    const char* reportLabel;  // the label in the report's current data
    const char* caption;      // the caption label, or nullptr
    const char* value;        // the widget showing the value
    Shows shows;
    FromReading from;
    const char* captionText = nullptr;
    const char* unitList = nullptr;  // StandardValue: the list of its unit, shown after the value
    const char* modeList = nullptr;  // StandardValue: the list choosing a set ("设定值") or measured value
};

// A caption heading no column of the result table.
struct PageCaption {
    const char* widget;  // a label or a group box
    const char* text;
};

// A setting list, the label naming it and its entries, list index = the
// instrument's code.
struct SettingList {
    const char* list;
    const char* caption;
    QStringList (*entries)();
};

struct PageTable {
    QVector<PageField> fields;  // in column order, between the test time and the remark
    QVector<PageCaption> captions;
    QVector<SettingList> lists;  // in the order a missing selection is reported
    const char* remark;       // text edit
    const char* remarkGroup;  // its group box, captioned like the remark's column
    const char* status;       // the test status label
    const char* live;         // stacked widget: the live values, or the danger picture
    const char* danger;       // the danger picture's label
    const char* table;        // the result table's view
    const char* tableButton;  // the tool button showing or hiding it
};

const PageTable& dcPageTable();
const PageTable& lengthPageTable();

// The result table's column headers, translated: the number, the test time,
// the page's fields, the remark.
QStringList resultColumnHeaders(const PageTable& table);
QString remarkHeader();
