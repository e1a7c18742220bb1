#pragma once
// The text lists and range-limit tables of the answer decoder. Every lookup is
// bounds-checked: a code with no entry gives std::nullopt, never a read
// outside a list. Translated entries come back already translated in the
// context "ReceiveThread".

#include <QString>

#include "link/answerlayout.h"

#include <optional>

namespace formattables {

// Untranslated lists.
std::optional<QString> dcCurrentSetting(int code);      // 0..21
std::optional<QString> lengthCurrentSetting(int code);  // 0..19 and 21 ("AUTO")
std::optional<QString> phase(int index);                // 0..5: "A0" .. "BC"
std::optional<QString> currentUnit(int code);           // 0 "mA", 1 "A"
std::optional<QString> resistanceUnit(int code);        // 0 "μΩ" .. 4 "MΩ"
std::optional<QString> standardUnit(int code);          // 0 "μΩ", 1 "mΩ", 2 "Ω"
std::optional<QString> lengthUnit(int code);            // 0 "M", 1 "KM"

// Translated texts.
std::optional<QString> conductorMaterial(int code);  // 0 copper, 1 aluminium
std::optional<QString> winding(int code);            // 0 low-voltage, 1 high-voltage side
std::optional<QString> standardSetting(int code);    // 0 set value, 1 tested value
// Test-state text of states 1..3; state 0 depends on the charging flag.
QString testStatus(int state, bool charging);

// A cell of a recorded row keeps the texts of the language it was recorded
// in. A material, winding or standard-setting text of either language comes
// back in the language in force; any other text as it is. The English is
// read from the program's English catalogue (":/lang_en.qm").
QString fixedTextOnScreen(const QString& recorded);

// Upper limit of measurable resistance for one current-range row and the
// unit printed after it. Table A applies when the higher-limit status bit is set.
struct RangeLimit {
    QString limit;  // always six characters, e.g. "300.00"
    QString unit;
};
constexpr int kCurrentCodeCount = answerlayout::kMaxCurrentCode + 1;
std::optional<RangeLimit> rangeLimit(int row, bool tableA);

}  // namespace formattables
