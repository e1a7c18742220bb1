#pragma once
// The baseline of one test object as a table the operator fills in: a line
// per winding, tapping and phase with its resistance, the conductor
// temperature it was measured at and the material. Lines can be added and
// removed; OK is refused while a resistance is not a number above zero.

#include "store/resultstore.h"

#include <QDialog>

class QLabel;
class QTableWidget;

class BaselineDialog : public QDialog
{
    Q_OBJECT

public:
    enum Column { Winding, Tapping, Phase, Ohms, Celsius, Material, ColumnCount };

    explicit BaselineDialog(const QString& objectName, QWidget* parent = nullptr);

    void setEntries(const QList<store::BaselineEntry>& entries);
    QList<store::BaselineEntry> entries() const;
    // The first line whose resistance is not a number above zero; -1: none.
    int firstBadLine() const;

    QTableWidget* table() const { return table_; }
    void addLine(const store::BaselineEntry& entry = {});
    void removeCurrentLine();

public slots:
    void accept() override;

private:
    QTableWidget* table_ = nullptr;
    QLabel* problem_ = nullptr;
};
