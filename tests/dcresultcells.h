#pragma once
// A DC result row as the result table holds it, with the cells the analysis
// reads; the others are blanks.

#include <QStringList>

inline QStringList dcCells(const QString& phase, const QString& measured, const QString& converted,
                           const QString& tapping = QStringLiteral("05"), const QString& winding = QStringLiteral("高压"),
                           const QString& material = QStringLiteral("铜"),
                           const QString& conductorTemp = QStringLiteral("+20.00℃"),
                           const QString& referenceTemp = QStringLiteral("75℃"))
{
    QStringList cells;
    for (int i = 0; i < 15; ++i)
        cells << QStringLiteral(" ");
    cells[3] = material;
    cells[4] = conductorTemp;
    cells[5] = referenceTemp;
    cells[7] = tapping;
    cells[8] = phase;
    cells[9] = winding;
    cells[12] = converted;
    cells[13] = measured;
    return cells;
}
