#pragma once
// Numbers read back from the texts the window shows and keeps in its result
// rows ("12.345mΩ", "+23.00℃", "1.00A"). Placeholders, over-range texts and
// blanks read as no value.

#include <QString>

#include <optional>

namespace analysis {

// A resistance in ohms, with half the step of the last digit it was shown
// with: the most the shown text can differ from what the instrument measured.
struct Resistance {
    double ohms = 0.0;
    double halfStepOhms = 0.0;
};

std::optional<Resistance> parseResistance(const QString& text);
std::optional<double> parseAmps(const QString& text);     // "1.00A", "400.00mA"
std::optional<double> parseCelsius(const QString& text);  // "+23.00℃", "75℃", "23.00"
std::optional<double> parseMetres(const QString& text);   // "12.3M", "1.234KM"
// A nominal cross-section in mm²: "1.5平方", "1.5mm²", "1.5".
std::optional<double> parseSquareMillimetres(const QString& text);
std::optional<double> parsePercent(const QString& text);  // "0.123 %", "2.00%"

// The resistance unit a trace is drawn in: the one that shows `ohms` with one
// to three digits before the point.
struct ResistanceUnit {
    QString name;   // "μΩ", "mΩ", "Ω", "KΩ", "MΩ"
    double ohms;    // ohms per unit
};
ResistanceUnit unitFor(double ohms);

}  // namespace analysis
