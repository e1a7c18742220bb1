#pragma once

#include <QString>

namespace analysis {

// A reference value of one winding, tapping and phase of an object: the
// resistance measured at the factory or at commissioning, and the conductor
// temperature it was measured at.
struct BaselineEntry {
    int winding = 0;   // 0 low-voltage, 1 high-voltage side
    QString tapping;   // as the instrument shows it
    QString phase;     // "A0" ... "BC"
    double ohms = 0.0;
    double celsius = 0.0;
    int material = 0;  // 0 copper, 1 aluminium

    bool operator==(const BaselineEntry& other) const
    {
        return winding == other.winding && tapping == other.tapping && phase == other.phase && ohms == other.ohms
               && celsius == other.celsius && material == other.material;
    }
};

}  // namespace analysis
