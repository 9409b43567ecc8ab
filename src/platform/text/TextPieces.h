#pragma once
// A plain-text file's body decoded piece by piece, in an encoding decided beforehand:
// the pieces, joined, are the text that decoding the whole body at once gives. Pieces
// end after a line break, so that no character and no CR LF pair is cut in two; a
// line longer than a piece is cut between characters in UTF-8 and UTF-16, and kept
// whole in other encodings. A stateful encoding (ISO-2022, UTF-7, ...) is one piece.
#include <QByteArray>
#include <QString>
#include <algorithm>

class TTextPieces {
public:
    // Decodes bytes[bodyStart, bodyEnd) in encoding (an iconv name).
    TTextPieces(QByteArray bytes, qsizetype bodyStart, qsizetype bodyEnd, QByteArray encoding);
    // Decodes a file's body of which only the first bytes are at hand yet; Supply gives
    // the others. size: the whole file's expected size, for Size().
    TTextPieces(QByteArray firstBytes, qsizetype bodyStart, QByteArray encoding, qsizetype size);
    // More of the file; last tells that the file ends after them.
    void Supply(QByteArrayView bytes, bool last);

    bool AtEnd() const { return complete_ && next_ >= end_; }
    // The next piece: from where the last one ended to the first cut at or after about
    // `bytes` further on; empty at the end, and empty with Starved() when the bytes at
    // hand hold no cut yet.
    QString Next(qsizetype bytes);
    bool Starved() const { return starved_; }
    // Bytes of the body decoded so far, and the body's size (as expected, while
    // bytes are still to be supplied).
    qsizetype Decoded() const { return next_ - start_; }
    qsizetype Size() const { return std::max(end_, expected_) - start_; }
    // The byte after the last whole unit of a UTF-16 body of odd length, once all
    // bytes are supplied; empty otherwise.
    QByteArray IncompleteUnit() const;
    // Some byte decoded so far could not be decoded and became U+FFFD.
    bool HadUndecodableBytes() const { return undecodable_; }

private:
    enum class Cuts { AfterLineBreak, Utf8, Utf16Le, Utf16Be, None };
    qsizetype CutAtOrAfter(qsizetype from) const;
    qsizetype CutUtf16(qsizetype from, bool littleEndian) const;

    // The bytes at hand from offset base_ on; offsets below count from the file's start.
    const char* At(qsizetype offset) const { return bytes_.constData() + (offset - base_); }
    QByteArray bytes_;
    qsizetype base_ = 0;
    QByteArray encoding_;
    void FindCuts();
    void EndBody();

    Cuts cuts_ = Cuts::None;
    qsizetype start_ = 0;
    qsizetype next_ = 0;
    qsizetype end_ = 0;  // of the body's bytes at hand
    qsizetype expected_ = 0;
    bool complete_ = true;
    bool starved_ = false;
    bool undecodable_ = false;
};

// Where a sample of a file's first `bytes` bytes may end for deciding its encoding:
// after its last line break within them (LF, or CR not followed by LF), so that no
// multi-byte character is cut. 0 when there is none.
qsizetype SampleEndForDetection(const QByteArray& bytes, qsizetype limit);

// The first byte at or after `from` that plain ASCII text does not hold: one above
// 0x7F, a NUL (as in UTF-16) or an ESC (as in ISO-2022); bytes.size() when none is.
qsizetype FirstBeyondPlainAscii(QByteArrayView bytes, qsizetype from = 0);

// Which of a file's first bytes at hand to decide its encoding from; [0, sampleEnd)
// ends after a line break. Plain ASCII reads alike in every encoding detection weighs
// but UTF-16 and ISO-2022, and code-page text may begin far into a log or a listing:
// when the sample is plain ASCII and a later byte is not, the bytes around that one
// are taken instead, from a line's start a little before it to a line break about
// 64 KiB after it.
struct ByteRange {
    qsizetype start = 0;
    qsizetype end = 0;
};
ByteRange DetectionSample(QByteArrayView bytes, qsizetype sampleEnd);
