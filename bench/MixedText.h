#pragma once
// The benchmarks' document: lines of Japanese, Cyrillic, Latin and mixed text, in
// UTF-8, repeated up to about the given size.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>

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

// Exactly lineCount lines ('\n' after each) of Japanese, Cyrillic and mixed
// Japanese/Cyrillic text, about bytes bytes of UTF-8 in all. Line lengths vary (a few
// lines are several times the average, so they wrap), and needle stands in every
// needleEvery-th line and nowhere else: the fragments hold no Latin letters, so the
// needle occurs exactly lineCount / needleEvery times when needleEvery divides
// lineCount.
inline QByteArray MixedLines(qint64 bytes, int lineCount, const QByteArray& needle, int needleEvery)
{
    static const char* const japanese[] = {
        "日本語の文章です。", "東京と大阪と京都。", "カタカナ", "ひらがなの文字", "漢字を書く練習",
        "長い行は折り返されます。", "今日は良い天気です。", "検索と置換",
    };
    static const char* const cyrillic[] = {
        "Съешь же ещё", "этих мягких", "французских булок,", "да выпей чаю.", "Кириллица",
        "Москва и Санкт-Петербург", "строка текста", "поиск и замена",
    };
    QByteArray out;
    out.reserve(bytes + 4096);
    quint32 seed = 12345;
    const auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int i = 0; i < lineCount; ++i) {
        // Spread what is left of the budget over the lines still to come, from a
        // quarter to one and three quarters of the average, and four times it on
        // every 37th line.
        const qint64 average = std::max<qint64>(1, (bytes - out.size()) / (lineCount - i));
        qint64 lineBytes = average / 4 + static_cast<qint64>(next() % 1000) * average * 3 / 2 / 1000;
        if (i % 37 == 36)
            lineBytes = average * 4;
        const qsizetype start = out.size();
        const bool needleLine = i % needleEvery == needleEvery / 2;
        for (int piece = 0; piece == 0 || out.size() - start < lineBytes; ++piece) {
            const int kind = (i % 3 == 2) ? static_cast<int>(piece % 2) : i % 3;
            if (kind == 0) {
                out += japanese[next() % 8];
            } else {
                if (out.size() > start)
                    out += ' ';
                out += cyrillic[next() % 8];
            }
            if (piece == 0 && needleLine)
                out += ' ' + needle + ' ';
        }
        out += '\n';
    }
    return out;
}
