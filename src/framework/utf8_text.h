#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// File names and the lines of our text files arrive as bytes. Decoding bytes
// that are not UTF-8 replaces them (U+FFFD), and the text would then name
// another file; these helpers tell such bytes apart so that they can be
// refused with a message instead.

// The bytes as text, or nothing when they are not UTF-8.
std::optional<QString> DecodeUtf8(QByteArrayView bytes);

// The bytes as text for a message, with every byte that is not part of UTF-8
// text shown as \xNN, so that a message can name a file whose name is not text.
QString ShowBytes(QByteArrayView bytes);
