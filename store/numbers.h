#pragma once

#include <QString>
#include <QStringView>

#include <limits>
#include <optional>

// Whole numbers that name blocks, count rows or place glyphs are signed
// 16-bit; a value outside that range is an error, never a wrap-around.

// The lenient leading-number parse used for headers and keys: blanks are
// skipped, then an optional sign, digits, an optional fraction and exponent;
// reading stops at the first character that cannot continue the number.
// "12>" gives 12, "abc" gives 0.
double leadingNumber(QStringView text);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// leadingNumber, rounded half-even, as a 16-bit integer; nullopt when it
// does not fit.
std::optional<qint16> toInt16(double value);
std::optional<qint16> parseInt16(QStringView text);

// Checked 16-bit arithmetic: nullopt on overflow. Inline: the preview and
// the checks place every glyph with them on every key.
inline std::optional<qint16> fit16(int value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}
inline std::optional<qint16> add16(qint16 a, qint16 b)
{
    return fit16(int(a) + int(b));
}
inline std::optional<qint16> mul16(qint16 a, qint16 b)
{
    return fit16(int(a) * int(b));
}
