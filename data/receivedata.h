#pragma once
// The display record of one real-time or stored measurement: ready-to-show
// texts with the indexes and flags the pages need.

#include <QMetaType>
#include <QString>

struct ReceiveData {
    int testType = 0;                  // 0 DC resistance test, 1 conductor length test
    QString conductorMaterial;         // DC
    int conductorMaterialIndex = 0;    // DC: 0 copper, 1 aluminium
    QString currentSetting;
    int currentSettingIndex = 0;       // 0..21
    QString convertedTemp;             // DC: "75℃"
    QString tapping;                   // DC: two digits
    QString phaseType;                 // DC
    int phaseTypeIndex = 0;            // DC: 0..5
    QString winding;                   // DC
    int windingIndex = 0;              // DC: 0 low voltage, 1 high voltage
    QString conductorNo;               // 0..9999
    QString conductorTempValue;        // DC: 2 decimals, no unit
    QString conductorTemp;             // DC: with sign and unit
    QString testedResistance;
    QString resistanceLimit;           // written only when over range
    QString testedResistanceUnit;
    int testedResistanceUnitIndex = 0;
    QString testedCurrent;
    QString testedCurrentUnit;
    QString convertedResistance;       // DC
    QString convertedResistanceUnit;   // DC
    QString environmentTemp;
    QString sampleNo;                  // length
    QString wireSquare;                // length
    QString standardSetting;           // length
    int standardSettingIndex = 0;      // length: 0 set value, 1 tested value
    QString standardValue;             // length
    QString standardUnit;              // length
    int standardUnitIndex = 0;         // length: 0 μΩ, 1 mΩ, 2 Ω
    QString conductorLength;           // length
    QString recordNo;                  // stored records only
    QString testTime;
    bool charging = false;             // real-time only: a test cycle is under way
    bool highLimitTable = false;       // status bit 0
    bool statusFlag1 = false;          // status bit 1
    bool resistanceOverRange = false;  // status bit 2
    bool lengthOverRange = false;      // status bit 3
    int testState = 0;                 // real-time only: 0 idle, 1 testing, 2 discharging, 3 complete
    QString testStatus;                // real-time only
    bool danger = false;               // real-time only: status bit 6
    QString conductorLengthUnit;       // length: "M" or "KM"
};

Q_DECLARE_METATYPE(ReceiveData)
