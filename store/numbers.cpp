#include "store/numbers.h"

#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

} // namespace

double leadingNumber(QStringView text)
{
    // Blanks may stand anywhere inside the number; gather the characters that
    // still form a number and let the C library convert them.
    QByteArray number;
    bool digits = false, point = false, exponent = false, exponentDigits = false;
    for (QChar c : text) {
        if (isBlank(c))
            continue;
        const char ch = char(c.unicode() < 128 ? c.unicode() : 0);
        const bool afterExponentMark = !number.isEmpty() && (number.back() == 'e');
        if ((ch == '+' || ch == '-') && (number.isEmpty() || afterExponentMark)) {
            number += ch;
        } else if (ch >= '0' && ch <= '9') {
            number += ch;
            (exponent ? exponentDigits : digits) = true;
        } else if (ch == '.' && !point && !exponent) {
            number += ch;
            point = true;
        } else if ((ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    if (exponent && !exponentDigits) {
        while (!number.isEmpty() && (number.back() == 'e' || number.back() == '+' || number.back() == '-'))
            number.chop(1);
    }
    return std::strtod(number.constData(), nullptr);
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(rounded);
}

std::optional<qint16> parseInt16(QStringView text)
{
    return toInt16(leadingNumber(text));
}

