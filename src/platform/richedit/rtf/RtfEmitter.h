#pragma once
// Writes RTF syntax. The only place that knows the delimiter rule (a control word
// followed by text that could continue it gets a space) and how text is escaped.
#include "platform/richedit/rtf/RtfEncoding.h"

#include <QByteArray>
#include <QStringView>
#include <vector>

namespace rtf {

class Emitter {
public:
    void OpenGroup();
    void CloseGroup();
    // \name, and \nameN.
    void Word(const char* name);
    void Word(const char* name, int value);
    // \'hh
    void Byte(unsigned char byte);
    // Document text: \ { } escaped; tab, line separator, no-break space, soft and
    // no-break hyphens as their control words; other control characters dropped; every
    // non-ASCII character as \uN followed by its fallback in codePage, with \ucN set to
    // the fallback's length whenever it changes.
    void Text(QStringView text, int codePage);
    // A font name: the code page's bytes as \'hh when it can hold the whole name,
    // otherwise as Text().
    void Name(const QString& name, int codePage);
    // Binary data as hexadecimal digits, 64 bytes a line.
    void HexData(const QByteArray& data);
    // A line break between tokens, for people reading the file; RTF ignores it.
    void LineBreak();

    QByteArray Take() { return std::move(out_); }

private:
    void Literal(char c);
    void Unicode(char16_t unit, const QByteArray& fallback);
    void SetUnicodeSkip(int count);

    QByteArray out_;
    bool needDelimiter_ = false;
    // \ucN in force in each open group; RTF starts with 1.
    std::vector<int> unicodeSkip_{1};
    FallbackEncoder fallbacks_;
};

} // namespace rtf
