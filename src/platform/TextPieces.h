#pragma once
// A plain-text file's body decoded piece by piece, in an encoding decided beforehand:
// the pieces, joined, are the text that decoding the whole body at once gives. Pieces
// end after a line break, so that no character and no CR LF pair is cut in two; a
// line longer than a piece is cut between characters in UTF-8 and UTF-16, and kept
// whole in other encodings. A stateful encoding (ISO-2022, UTF-7, ...) is one piece.
#include <QByteArray>
#include <QString>

class TTextPieces {
public:
    // Decodes bytes[bodyStart, bodyEnd) in encoding (an iconv name).
    TTextPieces(QByteArray bytes, qsizetype bodyStart, qsizetype bodyEnd, QByteArray encoding);

    bool AtEnd() const { return next_ >= end_; }
    // The next piece: from where the last one ended to the first cut at or after about
    // `bytes` further on; empty at the end.
    QString Next(qsizetype bytes);
    // Bytes of the body decoded so far, and the body's size.
    qsizetype Decoded() const { return next_ - start_; }
    qsizetype Size() const { return end_ - start_; }
    // Some byte decoded so far could not be decoded and became U+FFFD.
    bool HadUndecodableBytes() const { return undecodable_; }

private:
    enum class Cuts { AfterLineBreak, Utf8, Utf16Le, Utf16Be, None };
    qsizetype CutAtOrAfter(qsizetype from) const;
    qsizetype CutUtf16(qsizetype from, bool littleEndian) const;

    QByteArray bytes_;
    QByteArray encoding_;
    Cuts cuts_ = Cuts::None;
    qsizetype start_ = 0;
    qsizetype next_ = 0;
    qsizetype end_ = 0;
    bool undecodable_ = false;
};

// Where a sample of a file's first `bytes` bytes may end for deciding its encoding:
// after its last line break within them (LF, or CR not followed by LF), so that no
// multi-byte character is cut. 0 when there is none.
qsizetype SampleEndForDetection(const QByteArray& bytes, qsizetype limit);
