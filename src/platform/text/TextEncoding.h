#pragma once
// Plain-text files: detecting and decoding their encoding, and writing text back in
// the encoding and line endings it came in.
#include "platform/text/EncodingDetector.h"

#include <QByteArray>
#include <QList>
#include <QString>

enum class LineEnding { LF, CRLF, CR };

// The style of the first line break in bytes of an ASCII-compatible encoding; LF when
// there is none.
LineEnding FirstLineBreakStyle(QByteArrayView bytes);

// True for the iconv names of UTF-8, in any case.
bool IsUtf8Encoding(const QByteArray& encoding);

// How a plain-text file is stored. encoding is an iconv name ("UTF-8", "UTF-16LE",
// "UTF-16BE", "CP932", "CP1251", ...).
struct TextFileFormat {
    QByteArray encoding = "UTF-8";
    bool byteOrderMark = false;
    LineEnding lineEnding = LineEnding::LF;
    // The byte after the last whole code unit of a UTF-16 file of odd length: no
    // character, but written back after the text so that a save in the same encoding
    // leaves it as it was. Other encodings drop it.
    QByteArray incompleteUnit;

    bool operator==(const TextFileFormat& other) const
    {
        return encoding == other.encoding && byteOrderMark == other.byteOrderMark
            && lineEnding == other.lineEnding && incompleteUnit == other.incompleteUnit;
    }
};

struct DecodedText {
    QString text;  // line breaks as '\n'
    TextFileFormat format;
    // Bytes that could not be decoded were replaced by U+FFFD.
    bool hadUndecodableBytes = false;
    // Detection was not sure of the encoding: another one reads the file as a different
    // text and is nearly as likely, or the text holds characters no language writes.
    bool unsure = false;
    // The next likeliest encodings (iconv names), each reading the file differently.
    QList<QByteArray> alternatives;
};

// Decodes a whole file. The encoding is found in this order: a byte-order mark
// (UTF-8, UTF-16LE/BE), the escape sequences of seven-bit ISO-2022 text, the zero bytes
// of UTF-16 without a mark, strict UTF-8 validation of the whole buffer when it holds
// enough multi-byte characters to be sure, and otherwise the likeliest reading among
// the encodings of the languages the detector knows (GuessEncoding), code page 932 when
// none fits. The line-ending style is the first line break's; all line breaks become
// '\n'. UTF-16 is read unit for unit: a lone surrogate stays in the text as it is, and
// is written back unchanged by a UTF-16 save. The hints come from the system locale.
DecodedText DecodeTextFile(const QByteArray& bytes);
DecodedText DecodeTextFile(const QByteArray& bytes, const DetectionHints& hints);

// Decodes a whole file in a known encoding (for one uchardet cannot tell, such as
// CP1361), stripping that encoding's byte-order mark; an encoding iconv does not know
// is detected as above instead.
DecodedText DecodeTextFile(const QByteArray& bytes, const QByteArray& encoding);

struct EncodedText {
    QByteArray bytes;
    TextFileFormat format;  // the format actually written
    // The requested encoding could not represent every character, so UTF-8 was used.
    bool fellBackToUtf8 = false;
};

// Encodes text ('\n' line breaks) in format. Text the encoding cannot represent is
// never dropped or replaced: the whole text is written as UTF-8 instead (same line
// endings, no byte-order mark). UTF-16 holds every code unit of a QString, lone
// surrogates included, and gets the format's incomplete unit after the text.
EncodedText EncodeTextFile(const QString& text, const TextFileFormat& format);

// The characters of a text that an encoding cannot represent.
struct UnencodableCharacters {
    qsizetype count = 0;  // each occurrence counts; a surrogate pair is one character
    char32_t first = 0;   // the first of them in the text; 0 when there is none
};

// Which characters of text the encoding (an iconv name) cannot represent; none for
// UTF-8, which holds every character, none for UTF-16LE/BE, which hold every code unit,
// and none for an encoding iconv does not know.
UnencodableCharacters FindUnencodableCharacters(const QString& text, const QByteArray& encoding);

// --- Decoding a big file piece by piece -------------------------------------------
// Bytes of a file's body (after its byte-order mark), decoded in encoding as
// DecodeTextFile decodes the whole body, its line breaks made '\n'. Bytes that cannot be
// decoded become U+FFFD and set *undecodable. A UTF-16 piece of odd length loses its
// last byte: pieces are cut between whole units.
QString DecodeTextPiece(QByteArrayView bytes, const QByteArray& encoding, bool* undecodable);

// The length of format's byte-order mark at the start of the file; 0 without one.
qsizetype ByteOrderMarkLength(const TextFileFormat& format);
