#pragma once
// U("日本語"): a QString from a UTF-8 string literal, the encoding the sources are written in.
#include <QString>

inline QString U(const char* text)
{
    return QString::fromUtf8(text);
}
