// The reader's body text: gathering runs of one format, decoding their bytes, and
// ending paragraphs and table cells.
#include "platform/richedit/rtf/RtfReader.h"

#include "platform/richedit/rtf/RtfEncoding.h"

#include <algorithm>

namespace rtf {

// Every piece of body text passes here first. Returns false for text that is not read
// (hidden text); otherwise the run matches the current format afterwards.
bool Reader::PrepareRun()
{
    const GroupState& state = Top();
    if (state.chars.hidden)
        return false;
    // Text after a formula: the formula's pictures are behind.
    if (!state.formula)
        formulaPicture_ = FormulaPicture::None;
    if (!runOpen_ || runChars_ != state.chars) {
        FlushRun();
        runChars_ = state.chars;
        runCodePage_ = CodePageOfFont(state.chars.font);
        runOpen_ = true;
    }
    if (pendingCellTab_) {
        pendingCellTab_ = false;
        FlushPendingSurrogate();
        DecodePendingBytes();
        runText_.append(QLatin1Char('\t'));
    }
    paragraphHasContent_ = true;
    lastTextPara_ = state.para;
    return true;
}

void Reader::AppendBodyBytes(std::string_view bytes)
{
    if (!PrepareRun())
        return;
    FlushPendingSurrogate();
    // Control characters other than the tab are not text; line breaks never get here.
    const bool clean = std::none_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t';
    });
    if (clean) {
        runBytes_.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
        return;
    }
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
            runBytes_.append(c);
}

void Reader::AppendBodyChar(QChar character)
{
    if (character.isNull() || !PrepareRun())
        return;
    FlushPendingSurrogate();
    DecodePendingBytes();
    runText_.append(character);
}

// Bytes are decoded only when something else follows them, so that the two bytes of a
// double-byte character are always decoded together.
void Reader::DecodePendingBytes()
{
    if (runBytes_.isEmpty())
        return;
    runText_ += DecodeCodePage(runBytes_, runCodePage_);
    runBytes_.clear();
}

// A high surrogate that no low one followed stands for a character that was lost.
void Reader::FlushPendingSurrogate()
{
    if (pendingHighSurrogate_.isNull())
        return;
    DecodePendingBytes();
    runText_.append(QChar(QChar::ReplacementCharacter));
    pendingHighSurrogate_ = QChar();
}

void Reader::FlushRun()
{
    FlushPendingSurrogate();
    DecodePendingBytes();
    if (!runText_.isEmpty()) {
        sink_.Text(runText_, ResolveRun(runChars_));
        runText_.clear();
    }
    runOpen_ = false;
}

// Cells of a table row become one paragraph, separated by tabs; the tab is written
// only when more text of the row follows, so a row does not end in one.
void Reader::Cell()
{
    if (pendingCellTab_) {
        pendingCellTab_ = false;
        AppendBodyChar(QLatin1Char('\t'));
    }
    pendingCellTab_ = true;
}

void Reader::EndParagraph(const ParaState& para)
{
    pendingCellTab_ = false;
    FlushRun();
    sink_.EndParagraph(ResolveParagraph(para));
    ++paragraphsEnded_;
    paragraphHasContent_ = false;
    formulaPicture_ = FormulaPicture::None;
}

void Reader::EndParagraphIfNotEmpty()
{
    EndParagraphIfNotEmpty(Top().para);
}

void Reader::EndParagraphIfNotEmpty(const ParaState& para)
{
    if (paragraphHasContent_ || pendingCellTab_)
        EndParagraph(para);
}

void Reader::Finish()
{
    pendingCellTab_ = false;
    FlushRun();
    if (paragraphHasContent_)
        sink_.EndParagraph(ResolveParagraph(lastTextPara_));
    paragraphHasContent_ = false;
}

int Reader::CodePageOfFont(int font) const
{
    if (const FontEntry* entry = fonts_.Find(font >= 0 ? font : defaultFont_))
        return entry->codePage;
    return documentCodePage_;
}

RunFormat Reader::ResolveRun(const CharState& chars) const
{
    RunFormat format;
    if (chars.font >= 0) {
        if (const FontEntry* entry = fonts_.Find(chars.font)) {
            format.family = entry->name;
            format.charset = entry->charset;
        }
    }
    format.points = chars.halfPoints / 2.0;
    format.bold = chars.bold;
    format.italic = chars.italic;
    format.underline = chars.underline;
    format.strikeOut = chars.strike;
    format.color = colors_.At(chars.color);
    return format;
}

ParagraphFormat Reader::ResolveParagraph(const ParaState& para) const
{
    ParagraphFormat format;
    switch (para.alignment) {
    case Alignment::Left: format.alignment = Qt::AlignLeft; break;
    case Alignment::Center: format.alignment = Qt::AlignHCenter; break;
    case Alignment::Right: format.alignment = Qt::AlignRight; break;
    }
    // RTF's \li is the later lines' indent and \fi the first line's offset from it; the
    // document keeps the first line's indent and the later lines' offset from that.
    format.firstIndentTwips = para.leftIndent + para.firstIndent;
    format.leftIndentTwips = -para.firstIndent;
    format.rightIndentTwips = para.rightIndent;
    format.direction = para.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
    format.bullet = para.pn != PnKind::None;
    bool numbered = para.pn == PnKind::Numbered;
    if (!format.bullet && para.listStyle != 0) {
        if (const std::optional<int> listId = overrides_.ListIdOf(para.listStyle)) {
            const ListKind kind = lists_.KindOf(*listId, para.listLevel);
            format.bullet = kind != ListKind::None;
            numbered = kind == ListKind::Numbered;
        }
    }
    if (numbered)
        NoteUnkept(Unkept::NumberedLists);
    return format;
}

void Reader::NoteUnkept(Unkept kind) const
{
    const unsigned bit = 1u << static_cast<unsigned>(kind);
    if (unkeptNoted_ & bit)
        return;
    unkeptNoted_ |= bit;
    sink_.NoteUnkept(kind);
}

} // namespace rtf
