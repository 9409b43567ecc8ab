#pragma once
// The benchmarks' document: lines of Japanese, Cyrillic, Latin and mixed text, in
// UTF-8, repeated up to about the given size.
#include <QByteArray>
#include <QString>
#include <QStringList>

inline QByteArray MixedText(qint64 bytes)
{
    const QStringList lines = {
        QString::fromUtf8("日本語のテキストを検索するための長い行です。東京、大阪、京都。"),
        QString::fromUtf8("Съешь же ещё этих мягких французских булок, да выпей чаю."),
        QStringLiteral("The quick brown fox jumps over the lazy dog; needle in a haystack."),
        QString::fromUtf8("混在する行: Tesserine, Кириллица, カタカナ and ASCII text together."),
    };
    QByteArray out;
    out.reserve(bytes + 200);
    for (int i = 0; out.size() < bytes; ++i)
        out += lines[i % lines.size()].toUtf8() + '\n';
    return out;
}
