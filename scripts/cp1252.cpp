#include "scripts/cp1252.h"

#include <array>

namespace {

// 0x80..0x9F; the five holes of the code page keep their own number so that
// every byte comes back unchanged.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = (b >= 0x80 && b < 0xA0) ? HighControls[b - 0x80] : char16_t(b);
    return table;
}

constexpr std::array<char16_t, 256> DecodeTable = makeDecodeTable();

} // namespace

namespace Cp1252 {

QChar decode(uchar byte)
{
    return QChar(DecodeTable[byte]);
}

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    const auto *in = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0, n = bytes.size(); i < n; ++i)
        out[i] = QChar(DecodeTable[in[i]]);
    return text;
}

std::optional<uchar> encode(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return uchar(u);
    for (int i = 0; i < int(HighControls.size()); ++i) {
        if (HighControls[i] == u)
            return uchar(0x80 + i);
    }
    return std::nullopt;
}

std::optional<QByteArray> encode(const QString &text, qsizetype *badIndex)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    const QChar *in = text.constData();
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        const char16_t u = in[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out[i] = char(u);
            continue;
        }
        const std::optional<uchar> b = encode(in[i]);
        if (!b) {
            if (badIndex)
                *badIndex = i;
            return std::nullopt;
        }
        out[i] = char(*b);
    }
    return bytes;
}

} // namespace Cp1252
