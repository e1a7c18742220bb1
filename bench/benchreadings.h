#pragma once
// What the window benchmarks share: the median of their runs and DC readings
// as the decoder hands them to the window.

#include "data/receivedata.h"

#include <QString>

#include <algorithm>
#include <vector>

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A reading while measuring (`charging`), or the one that ends the test.
inline ReceiveData dcReading(bool charging, const QString& testedOhms = QStringLiteral("1.234"),
                             const QString& convertedOhms = QStringLiteral("1.301"))
{
    ReceiveData rd;
    rd.conductorNo = QStringLiteral("7");
    rd.conductorTempValue = QStringLiteral("20.50");
    rd.testedCurrent = QStringLiteral("10.00");
    rd.testedCurrentUnit = QStringLiteral("A");
    rd.testedResistance = testedOhms;
    rd.testedResistanceUnit = QStringLiteral("mΩ");
    rd.convertedResistance = convertedOhms;
    rd.convertedResistanceUnit = QStringLiteral("mΩ");
    rd.environmentTemp = QStringLiteral("21.3℃");
    rd.charging = charging;
    rd.testState = charging ? 1 : 3;
    rd.testStatus = charging ? QStringLiteral("测试中") : QStringLiteral("测试完成");
    return rd;
}
