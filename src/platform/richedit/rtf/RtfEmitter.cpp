#include "platform/richedit/rtf/RtfEmitter.h"

#include "platform/text/CodePages.h"

namespace rtf {
namespace {

const char kHexDigits[] = "0123456789abcdef";

bool IsPlainFallbackByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '?';
}

} // namespace

void Emitter::OpenGroup()
{
    out_.append('{');
    needDelimiter_ = false;
    unicodeSkip_.push_back(unicodeSkip_.back());
}

void Emitter::CloseGroup()
{
    out_.append('}');
    needDelimiter_ = false;
    if (unicodeSkip_.size() > 1)
        unicodeSkip_.pop_back();
}

void Emitter::Word(const char* name)
{
    out_.append('\\');
    out_.append(name);
    needDelimiter_ = true;
}

void Emitter::Word(const char* name, int value)
{
    Word(name);
    out_.append(QByteArray::number(value));
}

void Emitter::Byte(unsigned char byte)
{
    out_.append("\\'");
    out_.append(kHexDigits[byte >> 4]);
    out_.append(kHexDigits[byte & 0xf]);
    needDelimiter_ = false;
}

void Emitter::LineBreak()
{
    out_.append("\r\n");
    needDelimiter_ = false;
}

// A literal character after a control word would be read as belonging to it (a letter,
// a digit, '-') or dropped as its delimiter (a space), so a space goes first; any
// other character ends the word by itself.
void Emitter::Literal(char c)
{
    const bool continuesWord = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                               || c == '-' || c == ' ';
    if (needDelimiter_ && continuesWord)
        out_.append(' ');
    out_.append(c);
    needDelimiter_ = false;
}

void Emitter::SetUnicodeSkip(int count)
{
    if (unicodeSkip_.back() == count)
        return;
    Word("uc", count);
    unicodeSkip_.back() = count;
}

// \uN takes a signed 16-bit number; the fallback follows, as few bytes as \uc says.
void Emitter::Unicode(char16_t unit, const QByteArray& fallback)
{
    SetUnicodeSkip(static_cast<int>(fallback.size()));
    Word("u", unit > 0x7fff ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
    for (const char c : fallback) {
        if (IsPlainFallbackByte(c))
            Literal(c);
        else
            Byte(static_cast<unsigned char>(c));
    }
}

void Emitter::Text(QStringView text, int codePage)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case '\\':
        case '{':
        case '}':
            out_.append('\\');
            out_.append(static_cast<char>(c));
            needDelimiter_ = false;
            continue;
        case '\t': Word("tab"); continue;
        case 0x2028: Word("line"); continue;
        case 0x00A0: out_.append("\\~"); needDelimiter_ = false; continue;
        case 0x00AD: out_.append("\\-"); needDelimiter_ = false; continue;
        case 0x2011: out_.append("\\_"); needDelimiter_ = false; continue;
        case 0xFFFC:  // an embedded object's place holder: the object is not written
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;
        if (c < 0x80) {
            Literal(static_cast<char>(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // The pair's fallback follows the first half; the second half has none.
            const char32_t full = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            Unicode(c, fallbacks_.Fallback(full, codePage));
            Unicode(text[i + 1].unicode(), QByteArray());
            ++i;
            continue;
        }
        if (QChar::isSurrogate(c)) {
            Unicode(0xFFFD, QByteArray("?"));
            continue;
        }
        Unicode(c, fallbacks_.Fallback(c, codePage));
    }
}

void Emitter::Name(const QString& name, int codePage)
{
    bool ascii = true;
    for (const QChar c : name)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x80;
    if (ascii) {
        // ';' would end the name: it goes in hex.
        for (qsizetype i = 0; i < name.size(); ++i) {
            if (name[i] == QLatin1Char(';'))
                Byte(';');
            else
                Text(QStringView(name).mid(i, 1), codePage);
        }
        return;
    }
    const std::optional<QByteArray> bytes = EncodeString(name, IconvNameForCodePage(codePage));
    if (!bytes) {
        Text(name, codePage);
        return;
    }
    // Every byte in hex: a trail byte of a double-byte character may look like ';'.
    for (const char c : *bytes)
        Byte(static_cast<unsigned char>(c));
}

void Emitter::HexData(const QByteArray& data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % 64 == 0) {
            out_.append("\r\n");
            needDelimiter_ = false;
        }
        const auto byte = static_cast<unsigned char>(data[i]);
        out_.append(kHexDigits[byte >> 4]);
        out_.append(kHexDigits[byte & 0xf]);
    }
}

} // namespace rtf
