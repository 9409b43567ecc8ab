#include "platform/text/TextPieces.h"

#include "platform/text/CodePages.h"
#include "platform/text/TextEncoding.h"
#include "platform/text/Utf16Text.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes past the first byte beyond plain ASCII that its encoding is decided from.
constexpr qsizetype kDetectionWindowBytes = 64 * 1024;
// Bytes already decoded are dropped once they are this many and most of those at hand.
constexpr qsizetype kDecodedBytesKept = 64 * 1024;

// Encodings whose decoder carries a state from one line to the next, or that write a
// line break in more than its one ASCII byte: their text cannot be cut at a '\n' byte.
bool CutsAtLineBreakBytes(const QByteArray& encoding)
{
    const QByteArray upper = encoding.toUpper();
    for (const char* stateful : {"ISO-2022", "UTF-7", "HZ", "UTF-32", "UCS-", "UTF-16", "UNICODE"})
        if (upper.startsWith(stateful))
            return false;
    const std::optional<QByteArray> breaks = EncodeString(QStringLiteral("\r\n"), encoding);
    return breaks && *breaks == "\r\n";
}

} // namespace

TTextPieces::TTextPieces(QByteArray bytes, qsizetype bodyStart, qsizetype bodyEnd, QByteArray encoding)
    : bytes_(std::move(bytes)), encoding_(std::move(encoding)), start_(bodyStart), next_(bodyStart), end_(bodyEnd),
      expected_(bodyEnd)
{
    FindCuts();
    EndBody();
}

TTextPieces::TTextPieces(QByteArray firstBytes, qsizetype bodyStart, QByteArray encoding, qsizetype size)
    : bytes_(std::move(firstBytes)), encoding_(std::move(encoding)), start_(bodyStart), next_(bodyStart),
      end_(bytes_.size()), expected_(size), complete_(false)
{
    FindCuts();
}

void TTextPieces::FindCuts()
{
    bool littleEndian = false;
    if (IsUtf16Encoding(encoding_, &littleEndian))
        cuts_ = littleEndian ? Cuts::Utf16Le : Cuts::Utf16Be;
    else if (IsUtf8Encoding(encoding_))
        cuts_ = Cuts::Utf8;
    else if (CutsAtLineBreakBytes(encoding_))
        cuts_ = Cuts::AfterLineBreak;
}

void TTextPieces::EndBody()
{
    complete_ = true;
    // Whole UTF-16 units only; the odd byte at the end is no character.
    if (cuts_ == Cuts::Utf16Le || cuts_ == Cuts::Utf16Be)
        end_ = start_ + (end_ - start_) / 2 * 2;
}

void TTextPieces::Supply(QByteArrayView bytes, bool last)
{
    if (complete_)
        return;
    // Decoded bytes are not needed again: a file's bytes are not all kept in memory
    // beside its text.
    const qsizetype decoded = next_ - base_;
    if (decoded >= kDecodedBytesKept && decoded * 2 >= bytes_.size()) {
        bytes_.remove(0, decoded);
        base_ = next_;
    }
    bytes_.append(bytes.data(), bytes.size());
    end_ = base_ + bytes_.size();
    if (last)
        EndBody();
}

QByteArray TTextPieces::IncompleteUnit() const
{
    const bool utf16 = cuts_ == Cuts::Utf16Le || cuts_ == Cuts::Utf16Be;
    return utf16 && complete_ && (base_ + bytes_.size() - start_) % 2 != 0 ? bytes_.right(1) : QByteArray();
}

QString TTextPieces::Next(qsizetype bytes)
{
    starved_ = false;
    if (AtEnd())
        return QString();
    const qsizetype cut = CutAtOrAfter(std::min(end_, next_ + std::max<qsizetype>(bytes, 1)));
    if (cut <= next_) {
        starved_ = true;
        return QString();
    }
    const QByteArrayView piece(At(next_), cut - next_);
    next_ = cut;
    return DecodeTextPiece(piece, encoding_, &undecodable_);
}

qsizetype TTextPieces::CutAtOrAfter(qsizetype from) const
{
    // Without a cut among the bytes at hand, the piece waits for more of them.
    const qsizetype none = complete_ ? end_ : -1;
    if (cuts_ == Cuts::None || (from >= end_ && complete_))
        return none;
    if (cuts_ == Cuts::Utf16Le || cuts_ == Cuts::Utf16Be)
        return CutUtf16(from, cuts_ == Cuts::Utf16Le);
    // data[k] is the byte at offset next_ + k.
    const char* data = At(next_);
    const qsizetype count = end_ - next_;
    // After a LF, or after a CR that no LF follows: a CR LF pair stays in one piece.
    const qsizetype longLine = from + 65536 - next_;
    for (qsizetype k = std::max<qsizetype>(from - 1 - next_, 0); k < count; ++k) {
        if (data[k] == '\n' || (data[k] == '\r' && k + 1 < count && data[k + 1] != '\n'))
            return next_ + k + 1;
        // A long line of UTF-8 is cut before the first lead byte a little further on.
        if (cuts_ == Cuts::Utf8 && k > longLine && (data[k] & 0xC0) != 0x80 && data[k - 1] != '\r')
            return next_ + k;
    }
    return none;
}

qsizetype TTextPieces::CutUtf16(qsizetype from, bool littleEndian) const
{
    const auto unitAt = [&](qsizetype at) {
        const auto* p = reinterpret_cast<const unsigned char*>(At(at));
        return littleEndian ? char16_t(p[0] | (p[1] << 8)) : char16_t((p[0] << 8) | p[1]);
    };
    qsizetype at = start_ + (from - start_) / 2 * 2;
    at = std::max(at - 2, next_);
    for (; at + 2 <= end_; at += 2) {
        const char16_t unit = unitAt(at);
        if (unit == u'\n' || (unit == u'\r' && at + 4 <= end_ && unitAt(at + 2) != u'\n'))
            return at + 2;
        // A long line is cut between whole characters a little further on.
        if (at > from + 131072 && !QChar::isLowSurrogate(unit) && unitAt(at - 2) != u'\r')
            return at;
    }
    return complete_ ? end_ : -1;
}

qsizetype SampleEndForDetection(const QByteArray& bytes, qsizetype limit)
{
    limit = std::min(limit, bytes.size());
    const char* data = bytes.constData();
    for (qsizetype i = limit - 1; i >= 0; --i) {
        if (data[i] == '\n')
            return i + 1;
        if (data[i] == '\r' && i + 1 < limit && data[i + 1] != '\n')
            return i + 1;
    }
    return 0;
}

qsizetype FirstBeyondPlainAscii(QByteArrayView bytes, qsizetype from)
{
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    // Eight bytes at a time while none is high, NUL or ESC.
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highs = 0x8080808080808080ULL;
    const auto hasZeroByte = [](quint64 v) { return (v - ones) & ~v & highs; };
    qsizetype i = std::max<qsizetype>(from, 0);
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        if ((word & highs) || hasZeroByte(word) || hasZeroByte(word ^ (0x1B * ones)))
            break;
    }
    for (; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte >= 0x80 || byte == 0 || byte == 0x1B)
            return i;
    }
    return size;
}

ByteRange DetectionSample(QByteArrayView bytes, qsizetype sampleEnd)
{
    const ByteRange sample{0, sampleEnd};
    if (FirstBeyondPlainAscii(bytes.first(sampleEnd)) < sampleEnd)
        return sample;
    const qsizetype beyond = FirstBeyondPlainAscii(bytes, sampleEnd);
    if (beyond >= bytes.size())
        return sample;
    // A little plain text before the byte, as detection weighs the text around it.
    const qsizetype leadIn = std::max<qsizetype>(0, beyond - 4096);
    const qsizetype lineStart = std::max(bytes.first(leadIn).lastIndexOf('\n'), bytes.first(leadIn).lastIndexOf('\r')) + 1;
    // The window ends after a line break, so that no character is cut; a line running
    // on to the bytes' end is taken whole.
    const qsizetype limit = std::min(bytes.size(), beyond + kDetectionWindowBytes);
    qsizetype end = limit;
    while (end > beyond && bytes[end - 1] != '\n' && bytes[end - 1] != '\r')
        --end;
    return {lineStart, end > beyond ? end : bytes.size()};
}
