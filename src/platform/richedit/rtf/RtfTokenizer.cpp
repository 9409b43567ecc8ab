#include "platform/richedit/rtf/RtfTokenizer.h"

#include <algorithm>
#include <cstring>

namespace rtf {
namespace {

// A source's bytes are read in pieces of kReadBytes, and a window holds at least
// kAheadBytes past a token's start (or the rest of the input): a token rarely needs
// the window to grow, and the bytes kept over at a refill are few to move.
constexpr std::size_t kReadBytes = 192 * 1024;
constexpr std::size_t kAheadBytes = 64 * 1024;

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool EndsText(char c)
{
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n';
}

} // namespace

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Token Tokenizer::Start(TokenKind kind) const
{
    Token token;
    token.kind = kind;
    token.line = line_;
    token.column = static_cast<int>(std::min<std::size_t>(base_ + pos_ - lineStart_ + 1, 0x7fffffff));
    return token;
}

void Tokenizer::Advance(std::size_t count)
{
    if (count > 0)
        Has(pos_ + count - 1);
    pos_ = std::min(pos_ + count, input_.size());
}

bool Tokenizer::Grow(std::size_t index)
{
    while (index >= input_.size() && source_ && !sourceEnded_)
        ReadMore();
    return index < input_.size();
}

void Tokenizer::ReadMore()
{
    const std::size_t held = input_.size();
    if (window_.size() < held + kReadBytes)
        window_.resize(std::max(held + kReadBytes, window_.size() * 2));
    const std::size_t got = source_->Read(window_.data() + held, std::min(window_.size() - held, kReadBytes));
    sourceEnded_ = got == 0;
    input_ = std::string_view(window_.data(), held + got);
}

void Tokenizer::Refill()
{
    if (!source_ || sourceEnded_ || input_.size() - pos_ >= kAheadBytes)
        return;
    const std::size_t kept = input_.size() - pos_;
    if (pos_ > 0)
        std::memmove(window_.data(), window_.data() + pos_, kept);
    base_ += pos_;
    pos_ = 0;
    input_ = std::string_view(window_.data(), kept);
    while (input_.size() < kAheadBytes && !sourceEnded_)
        ReadMore();
}

// A line break is CR LF, LF or a lone CR; each counts as one line.
void Tokenizer::SkipLineBreaks()
{
    while (Has(pos_)) {
        const char c = input_[pos_];
        if (c == '\r') {
            ++pos_;
            if (Has(pos_) && input_[pos_] == '\n')
                ++pos_;
        } else if (c == '\n') {
            ++pos_;
        } else {
            return;
        }
        ++line_;
        lineStart_ = base_ + pos_;
    }
}

Token Tokenizer::Next()
{
    Refill();
    if (hasPendingBinary_) {
        // \bin data is taken as it is, line breaks included; a length past the end of
        // the input stops at the end.
        hasPendingBinary_ = false;
        Token token = Start(TokenKind::Binary);
        if (pendingBinary_ > 0)
            Has(pos_ + pendingBinary_ - 1);
        const std::size_t length = std::min(pendingBinary_, input_.size() - pos_);
        token.text = input_.substr(pos_, length);
        token.hasParameter = true;
        token.value = static_cast<int>(length);
        Advance(length);
        return token;
    }
    SkipLineBreaks();
    if (!Has(pos_))
        return Start(TokenKind::End);
    const char c = input_[pos_];
    if (c == '{' || c == '}') {
        Token token = Start(c == '{' ? TokenKind::GroupOpen : TokenKind::GroupClose);
        Advance(1);
        return token;
    }
    if (c == '\\')
        return ReadBackslash(Start(TokenKind::ControlSymbol));
    Token token = Start(TokenKind::Text);
    const std::size_t start = pos_;
    while (Has(pos_) && !EndsText(input_[pos_]))
        ++pos_;
    token.text = input_.substr(start, pos_ - start);
    return token;
}

std::size_t Tokenizer::NextHexBytes(char* out, std::size_t max)
{
    std::size_t count = 0;
    while (count < max && !hasPendingBinary_) {
        SkipLineBreaks();
        if (!Has(pos_ + 3) || input_[pos_] != '\\' || input_[pos_ + 1] != '\'')
            break;
        const int high = HexValue(input_[pos_ + 2]);
        const int low = HexValue(input_[pos_ + 3]);
        if (high < 0 || low < 0)
            break;
        out[count++] = static_cast<char>(high * 16 + low);
        pos_ += 4;
    }
    return count;
}

Token Tokenizer::ReadBackslash(Token token)
{
    if (!Has(pos_ + 1)) {
        // A backslash as the last byte stands for nothing.
        Advance(1);
        return Start(TokenKind::End);
    }
    const char c = input_[pos_ + 1];
    if (IsLetter(c))
        return ReadControlWord(token);
    if (c == '\'')
        return ReadHexByte(token);
    if (c == '\\' || c == '{' || c == '}') {
        token.kind = TokenKind::Text;
        token.text = input_.substr(pos_ + 1, 1);
        Advance(2);
        return token;
    }
    if (c == '\r' || c == '\n') {
        // A backslash before a line break is a paragraph break (as TextEdit writes them).
        token.kind = TokenKind::ControlWord;
        token.text = "par";
        Advance(1);
        SkipLineBreaks();
        return token;
    }
    token.text = input_.substr(pos_ + 1, 1);
    Advance(2);
    return token;
}

Token Tokenizer::ReadControlWord(Token token)
{
    token.kind = TokenKind::ControlWord;
    const std::size_t start = pos_ + 1;
    std::size_t end = start;
    while (Has(end) && IsLetter(input_[end]))
        ++end;
    const std::size_t nameLength = std::min<std::size_t>(end - start, kMaxKeywordLength);
    pos_ = end;

    const bool negative = Has(pos_ + 1) && input_[pos_] == '-' && IsDigit(input_[pos_ + 1]);
    if (negative || (Has(pos_) && IsDigit(input_[pos_]))) {
        if (negative)
            ++pos_;
        long long value = 0;
        while (Has(pos_) && IsDigit(input_[pos_])) {
            value = std::min<long long>(value * 10 + (input_[pos_] - '0'), kMaxParameter);
            ++pos_;
        }
        token.hasParameter = true;
        token.value = static_cast<int>(negative ? -value : value);
    }
    if (Has(pos_) && input_[pos_] == ' ')
        ++pos_;  // the delimiter belongs to the control word
    // Only now: reading the parameter may have moved the window.
    token.text = input_.substr(start, nameLength);

    if (token.text == "bin" && token.hasParameter) {
        pendingBinary_ = token.value > 0 ? static_cast<std::size_t>(token.value) : 0;
        hasPendingBinary_ = true;
        Token binary = Next();
        binary.line = token.line;
        binary.column = token.column;
        return binary;
    }
    return token;
}

Token Tokenizer::ReadHexByte(Token token)
{
    std::size_t at = pos_ + 2;
    int value = 0;
    int digits = 0;
    while (digits < 2 && Has(at) && HexValue(input_[at]) >= 0) {
        value = value * 16 + HexValue(input_[at]);
        ++at;
        ++digits;
    }
    if (digits == 0) {
        // \' without a hex digit: a symbol nobody knows, so the bytes after it stay text.
        token.text = input_.substr(pos_ + 1, 1);
        Advance(2);
        return token;
    }
    token.kind = TokenKind::HexByte;
    token.value = value;
    token.text = input_.substr(pos_, at - pos_);
    pos_ = at;
    return token;
}

} // namespace rtf
