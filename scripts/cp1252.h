#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Windows-1252, the single-byte code page of the game's files. All 256 byte
// values map to a character and back: the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters
// of the same number.
namespace Cp1252 {

QString decode(const QByteArray &bytes);
QChar decode(uchar byte);
// The byte of a character; nullopt when the code page has none.
std::optional<uchar> encode(QChar c);
// Encodes a whole text; nullopt (and the first offending character's
// 0-based index in `badIndex`) when a character has no byte.
std::optional<QByteArray> encode(const QString &text, qsizetype *badIndex = nullptr);

} // namespace Cp1252
