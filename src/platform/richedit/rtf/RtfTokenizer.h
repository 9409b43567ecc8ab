#pragma once
// Splits RTF bytes into tokens. No meaning is attached here, except what changes how
// the following bytes are read: \bin and the escaped characters.
#include <cstdint>
#include <string_view>
#include <vector>

namespace rtf {

enum class TokenKind : std::uint8_t {
    GroupOpen,      // {
    GroupClose,     // }
    ControlWord,    // \name or \nameN; a backslash before a line break reads as \par
    ControlSymbol,  // \ followed by one character that is not a letter, e.g. \~ \* \-
    HexByte,        // \'hh; value holds the byte
    Text,           // a run of plain bytes, or one escaped \ { }
    Binary,         // the data of \binN
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    // ControlWord: the name (at most kMaxKeywordLength letters); ControlSymbol: the one
    // character; Text and Binary: the bytes. Points into the input or a static string.
    std::string_view text;
    bool hasParameter = false;
    int value = 0;  // the parameter of a ControlWord, the byte of a HexByte
    int line = 1;   // where the token starts, both 1-based; the column counts bytes
    int column = 1;
};

// The value of a hexadecimal digit, either case; -1 for any other character.
int HexValue(char c);

// Longer names are cut to this length (the rest of the letters is still consumed).
constexpr int kMaxKeywordLength = 32;
// Parameters are clamped to this magnitude, however many digits they have.
constexpr int kMaxParameter = 2'000'000'000;

// Where a tokenizer reads its input from when the input is not in memory whole, as a
// big file read while it is being tokenized.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to max of the next bytes of the input to out and returns how many; 0 at
    // the end of the input, or when it cannot be read further (which the source keeps
    // for its owner to tell).
    virtual std::size_t Read(char* out, std::size_t max) = 0;
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view input) : input_(input) {}
    // Reads source as the tokens need its bytes, holding only a window of them: the
    // text of a token stays valid until the next call of Next or NextHexBytes.
    explicit Tokenizer(ByteSource& source) : source_(&source) {}
    // A copy would point into its original's window.
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;
    Tokenizer(Tokenizer&&) = default;
    Tokenizer& operator=(Tokenizer&&) = default;

    // The next token; End at the end of the input, and for ever after. Line breaks
    // outside \bin data are never inside a token: RTF ignores them.
    Token Next();
    // The offset of the next unread byte.
    std::size_t Offset() const { return base_ + pos_; }
    // Reads the \'hh escapes (two digits each) that follow, line breaks between them
    // allowed, into out: at most max bytes; returns how many. Code-page text comes as
    // long rows of them, and taking a row at once spares a token for every byte.
    std::size_t NextHexBytes(char* out, std::size_t max);

private:
    Token Start(TokenKind kind) const;
    Token ReadBackslash(Token token);
    Token ReadControlWord(Token token);
    Token ReadHexByte(Token token);
    void SkipLineBreaks();
    void Advance(std::size_t count);
    // Whether the input has a byte at index of the window, reading on from the source
    // for it when there is one. Reading may move the window's bytes in memory.
    bool Has(std::size_t index) { return index < input_.size() || Grow(index); }
    bool Grow(std::size_t index);
    // Drops the bytes before the next one and reads ahead, between two tokens.
    void Refill();
    void ReadMore();

    // The bytes held: the whole input, or a window of the source's bytes from base_ on.
    std::string_view input_;
    ByteSource* source_ = nullptr;
    std::vector<char> window_;
    std::size_t base_ = 0;
    bool sourceEnded_ = false;
    std::size_t pos_ = 0;  // in the window
    int line_ = 1;
    std::size_t lineStart_ = 0;  // from the input's start
    // Bytes of \bin data still to hand out as one Binary token.
    std::size_t pendingBinary_ = 0;
    bool hasPendingBinary_ = false;
};

} // namespace rtf
