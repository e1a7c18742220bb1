#pragma once
// Chinese text on machines without the platform's usual Chinese UI fonts.

#include <QString>

// Maps the Chinese UI font families the forms and the report name to a
// Chinese family installed here ("WenQuanYi Micro Hei" when present, else the
// first family that covers Simplified Chinese) and returns that family.
// When that family cannot draw the unit signs (℃, μ, Ω) the forms show, a
// family that can is put ahead of it, and the Chinese characters come from
// the Chinese family by fallback.
// Returns an empty text and maps nothing when no such family is installed or
// when the named families exist themselves. Needs the application object.
QString installChineseFontSubstitutes();
