#pragma once
// The encodings and line endings a user can choose for a plain-text file in the Open
// and Save As dialogs.
#include "platform/text/TextEncoding.h"

#include <QString>
#include <QStringList>
#include <vector>

struct EncodingChoice {
    QString label;
    TextFileFormat format;  // its line ending is not part of the choice
};

// The named encodings in list order: UTF-8, UTF-8 (BOM), UTF-16LE and UTF-16BE (each
// with a byte-order mark), Shift_JIS (CP932), EUC-JP, ISO-2022-JP, then for each
// language of the foreign-language search after Japanese its Windows code page and the
// other encodings its files come in (GB18030, Big5-HKSCS, ISO-8859-x, KOI8-R/U, CP866),
// and Western European (CP1252, ISO-8859-1, ISO-8859-15) last.
const std::vector<EncodingChoice>& NamedEncodings();

// The Open dialog's list: 自動判別 (detect) first, then the named encodings.
QStringList OpenEncodingLabels();
// The encoding to read a file in for an item of that list; empty for 自動判別.
QByteArray OpenEncodingAt(int index);

// The Save As dialog's list: the named encodings, and after them the document's own
// encoding when it is none of them, so that the default keeps it.
std::vector<EncodingChoice> SaveEncodings(const TextFileFormat& current);
// The item of a list that stores as format does (line ending aside); -1 for none.
int IndexOfEncoding(const std::vector<EncodingChoice>& choices, const TextFileFormat& format);
// How a format's encoding is named to the user.
QString EncodingLabel(const TextFileFormat& format);

// CRLF, LF and CR, in this order.
QStringList LineEndingLabels();
LineEnding LineEndingAt(int index);
int IndexOfLineEnding(LineEnding ending);
