#include "platform/richedit/rtf/RtfReader.h"

#include "platform/text/CodePages.h"
#include "platform/richedit/rtf/RtfEncoding.h"

#include <algorithm>

namespace rtf {
namespace {

// Indents beyond 22 inches (the widest page Word knows) are nonsense; clamping them
// keeps the layout sane and sums of indents far from overflowing.
constexpr int kMaxIndentTwips = 31680;
// 1638 points is the largest size word processors offer.
constexpr int kMaxHalfPoints = 3276;
// A fallback longer than this is not a fallback; it would swallow real text.
constexpr int kMaxUnicodeSkip = 16;
// A field instruction's first word is all the reader looks at.
constexpr qsizetype kMaxFieldInstruction = 32;

bool IsOn(bool hasParameter, int value)
{
    return !hasParameter || value != 0;
}

int ClampIndent(int twips)
{
    return std::clamp(twips, -kMaxIndentTwips, kMaxIndentTwips);
}

QChar SymbolCharacter(KeywordId id)
{
    switch (id) {
    case KeywordId::Tab: return QLatin1Char('\t');
    case KeywordId::Line: return QChar::LineSeparator;
    case KeywordId::EmDash: return QChar(0x2014);
    case KeywordId::EnDash: return QChar(0x2013);
    case KeywordId::EmSpace: return QChar(0x2003);
    case KeywordId::EnSpace: return QChar(0x2002);
    case KeywordId::QuarterEmSpace: return QChar(0x2005);
    case KeywordId::Bullet: return QChar(0x2022);
    case KeywordId::LeftQuote: return QChar(0x2018);
    case KeywordId::RightQuote: return QChar(0x2019);
    case KeywordId::LeftDoubleQuote: return QChar(0x201C);
    case KeywordId::RightDoubleQuote: return QChar(0x201D);
    case KeywordId::NonBreakingSpace: return QChar(0x00A0);
    case KeywordId::SoftHyphen: return QChar(0x00AD);
    case KeywordId::NonBreakingHyphen: return QChar(0x2011);
    case KeywordId::ZeroWidthJoiner: return QChar(0x200D);
    case KeywordId::ZeroWidthNonJoiner: return QChar(0x200C);
    default: return QChar();
    }
}

bool IsAllSpaces(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

} // namespace

void ReadRtfInto(std::string_view bytes, DocumentSink& sink)
{
    Reader(sink).Read(bytes);
}

void Reader::Read(std::string_view bytes)
{
    Begin(bytes);
    ReadParagraphs(-1);
}

void Reader::Begin(std::string_view bytes)
{
    tokenizer_ = Tokenizer(bytes);
    started_ = false;
    finished_ = false;
}

void Reader::Begin(ByteSource& source)
{
    tokenizer_ = Tokenizer(source);
    started_ = false;
    finished_ = false;
}

bool Reader::ReadParagraphs(int paragraphs)
{
    if (finished_)
        return true;
    const int stopAt = paragraphs < 0 ? -1 : paragraphsEnded_ + paragraphs;
    for (Token token = tokenizer_.Next(); token.kind != TokenKind::End; token = tokenizer_.Next()) {
        // Whatever stands before the document's group does not belong to it.
        if (!started_) {
            if (token.kind != TokenKind::GroupOpen)
                continue;
            started_ = true;
        }
        Dispatch(token);
        if (stack_.empty())
            break;  // the document's group is closed; what follows is not read
        if (stopAt >= 0 && paragraphsEnded_ >= stopAt)
            return false;
    }
    finished_ = true;
    Finish();
    return true;
}

void Reader::Dispatch(const Token& token)
{
    if (token.kind == TokenKind::GroupOpen) {
        OpenGroup();
        return;
    }
    if (token.kind == TokenKind::GroupClose) {
        CloseGroup();
        return;
    }
    if (overflowDepth_ > 0 || Top().destination == Destination::Skip)
        return;
    GroupState& state = Top();
    switch (token.kind) {
    case TokenKind::ControlWord:
    case TokenKind::ControlSymbol:
        Word(token);
        break;
    case TokenKind::HexByte:
        state.optionalDestination = false;
        if (state.skipRemaining > 0) {
            --state.skipRemaining;
        } else if (state.destination == Destination::Body) {
            BodyHexBytes(static_cast<char>(token.value));
        } else {
            Byte(static_cast<char>(token.value));
        }
        break;
    case TokenKind::Text: {
        if (state.optionalDestination && IsAllSpaces(token.text))
            break;
        state.optionalDestination = false;
        std::string_view text = token.text;
        if (state.skipRemaining > 0) {
            const std::size_t skipped = std::min<std::size_t>(text.size(), state.skipRemaining);
            state.skipRemaining -= static_cast<int>(skipped);
            text.remove_prefix(skipped);
        }
        if (state.destination == Destination::Picture)
            picture_.Hex(text);
        else if (!text.empty())
            Text(text);
        break;
    }
    case TokenKind::Binary:
        state.optionalDestination = false;
        if (state.destination == Destination::Picture)
            picture_.Binary(token.text);
        else if (state.skipRemaining > 0)
            --state.skipRemaining;
        break;
    default:
        break;
    }
}

void Reader::OpenGroup()
{
    if (stack_.empty()) {
        stack_.emplace_back();
        return;
    }
    if (overflowDepth_ > 0 || static_cast<int>(stack_.size()) >= kMaxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    // A brace ends the skipping of a fallback, in the group it interrupts as well.
    Top().skipRemaining = 0;
    Top().optionalDestination = false;
    GroupState child = Top();
    child.startsDestination = false;
    child.startsShape = false;
    stack_.push_back(child);
}

void Reader::CloseGroup()
{
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return;
    }
    if (stack_.empty())
        return;
    const GroupState closed = stack_.back();
    stack_.pop_back();
    // A text box's text stands as paragraphs of its own in the flow.
    if (closed.textBox && (stack_.empty() || !stack_.back().textBox))
        EndParagraphIfNotEmpty(closed.para);
    if (closed.destination == Destination::Picture && closed.startsDestination && !stack_.empty()) {
        // A shape's picture waits for the shape's end; any other stands in the
        // paragraph between the text before and after it.
        if (Top().destination == Destination::ShapePicture)
            shapes_.PropertyPicture(picture_.Finish());
        else
            InsertPicture(picture_.Finish());
        return;
    }
    if (closed.startsShape && !stack_.empty()) {
        EndShape();
        return;
    }
    if (closed.destination == Destination::FieldInstruction && closed.startsDestination) {
        EndFieldInstruction();
    } else if (closed.destination == Destination::FontTable) {
        if (closed.startsDestination)
            fonts_.Finish();
        else
            fonts_.GroupClosed();
    } else if (closed.destination == Destination::ParagraphNumbering && closed.startsDestination
               && !stack_.empty()) {
        Top().para.pn = pn_.Kind();
    }
}

void Reader::Word(const Token& token)
{
    GroupState& state = Top();
    const rtf::Keyword* keyword = FindKeyword(token.text);
    if (state.optionalDestination) {
        state.optionalDestination = false;
        if (!keyword || keyword->kind != KeywordKind::Destination) {
            state.destination = Destination::Skip;
            state.startsDestination = true;
            return;
        }
    }
    if (state.skipRemaining > 0) {
        // A control word counts as one fallback unit; \uN never does, as writers that
        // put surrogate pairs side by side leave the fallback after the second one.
        if (!keyword || keyword->id != KeywordId::Unicode) {
            --state.skipRemaining;
            return;
        }
        state.skipRemaining = 0;
    }
    if (state.destination == Destination::Picture
        && (!keyword || (keyword->kind != KeywordKind::Destination && keyword->id != KeywordId::Star))) {
        picture_.Word(token.text, token.hasParameter, token.value);
        return;
    }
    if (keyword)
        Keyword(*keyword, token.hasParameter, token.value);
}

void Reader::Keyword(const rtf::Keyword& keyword, bool hasParameter, int value)
{
    GroupState& state = Top();
    if (keyword.kind == KeywordKind::Destination) {
        StartDestination(keyword.id);
        return;
    }
    switch (keyword.id) {
    case KeywordId::Unicode:
        Unicode(value);
        return;
    case KeywordId::UnicodeSkip:
        state.unicodeSkip = std::clamp(value, 0, kMaxUnicodeSkip);
        return;
    case KeywordId::Star:
        state.optionalDestination = true;
        return;
    default:
        break;
    }
    switch (state.destination) {
    case Destination::Body:
        BodyKeyword(keyword, hasParameter, value);
        break;
    case Destination::FontTable:
        if (keyword.id == KeywordId::Par || keyword.id == KeywordId::Pard) {
            AbandonFontTable();
            BodyKeyword(keyword, hasParameter, value);
        } else {
            fonts_.Keyword(keyword.id, value);
        }
        break;
    case Destination::ColorTable:
        colors_.Keyword(keyword.id, value);
        break;
    case Destination::ListTable:
        lists_.Keyword(keyword.id, value);
        break;
    case Destination::ListOverrideTable:
        overrides_.Keyword(keyword.id, value);
        break;
    case Destination::ParagraphNumbering:
        pn_.Keyword(keyword.id);
        break;
    case Destination::UnicodePair:
    case Destination::Picture:
    case Destination::FieldInstruction:
    case Destination::ShapeProperty:
    case Destination::ShapePropertyName:
    case Destination::ShapePicture:
    case Destination::Skip:
        break;
    }
}

void Reader::StartDestination(KeywordId id)
{
    GroupState& state = Top();
    Destination target = Destination::Skip;
    switch (id) {
    case KeywordId::FontTable:
        fonts_.Begin(documentCodePage_);
        target = Destination::FontTable;
        break;
    case KeywordId::ColorTable: target = Destination::ColorTable; break;
    case KeywordId::ListTable: target = Destination::ListTable; break;
    case KeywordId::ListOverrideTable: target = Destination::ListOverrideTable; break;
    case KeywordId::ParagraphNumbering:
        if (state.destination == Destination::Body) {
            pn_.Begin();
            target = Destination::ParagraphNumbering;
        }
        break;
    case KeywordId::Field:
    case KeywordId::FieldResult:
        return;  // a field's result is text where it stands
    case KeywordId::TextContainer:
        // An object or a drawing object: its result or text box is text where it is
        // anchored; its data and properties sit in groups that are skipped.
        if (state.destination == Destination::Body)
            NoteUnkept(Unkept::DrawingObjects);
        return;
    case KeywordId::Shape:
        // A shape's text box is text where it is anchored, and its picture, if it is
        // one, stands there too once the shape ends.
        if (state.destination == Destination::Body) {
            shapes_.Begin();
            state.startsShape = true;
        }
        return;
    case KeywordId::ShapeInstance:
        if (state.destination == Destination::Body && !shapes_.Open())
            NoteUnkept(Unkept::DrawingObjects);
        return;
    case KeywordId::ShapeProperty:
        if (state.destination == Destination::Body && shapes_.Open()) {
            shapes_.PropertyBegin();
            target = Destination::ShapeProperty;
        }
        break;
    case KeywordId::ShapePropertyName:
        if (state.destination == Destination::ShapeProperty)
            target = Destination::ShapePropertyName;
        break;
    case KeywordId::ShapePropertyValue:
        if (state.destination == Destination::ShapeProperty && shapes_.ValueIsPicture())
            target = Destination::ShapePicture;
        break;
    case KeywordId::PictureContainer:
        return;  // Word's picture in its newer form; \nonshppict holds the older one
    case KeywordId::OlderPicture:
        // Read only as the picture of a formula that has none in the newer form.
        if (state.destination == Destination::Body && formulaPicture_ == FormulaPicture::Awaiting)
            return;
        break;
    case KeywordId::Formula:
    case KeywordId::FormulaPicture:
        // A formula is kept as its picture: the first one in it or right after it.
        // Its own markup (\moMath and the rest) is in groups that are skipped.
        if (state.destination == Destination::Body) {
            NoteUnkept(Unkept::Formulas);
            state.formula = true;
            if (id == KeywordId::Formula || formulaPicture_ != FormulaPicture::Shown)
                formulaPicture_ = FormulaPicture::Awaiting;
        }
        return;
    case KeywordId::FieldInstruction:
        fieldInstruction_.clear();
        target = Destination::FieldInstruction;
        break;
    case KeywordId::HeaderOrFooter:
        NoteUnkept(Unkept::HeadersAndFooters);
        break;
    case KeywordId::Footnote:
        NoteUnkept(Unkept::Footnotes);
        break;
    case KeywordId::Picture:
        if (state.formula && formulaPicture_ == FormulaPicture::Shown)
            break;  // a formula's second picture is another form of the first
        if (state.destination == Destination::Body || state.destination == Destination::ShapePicture) {
            picture_.Begin();
            target = Destination::Picture;
        }
        break;
    case KeywordId::TextBox:
        if (state.destination == Destination::Body) {
            state.textBox = true;
            shapes_.HasText();
        }
        return;
    case KeywordId::NestedRowProperties:
        return;  // some writers put a nested row's cells in it, not just its properties
    case KeywordId::UnicodePair: target = Destination::UnicodePair; break;
    case KeywordId::UnicodeVersion:
        if (state.destination != Destination::UnicodePair)
            return;
        target = Destination::Body;
        break;
    default:
        break;  // \pntext, \listtext and everything else that is not document text
    }
    state.destination = target;
    state.startsDestination = true;
}

// A font table that body formatting turns up in was never closed: the table ends
// there and its groups hold document text from now on.
void Reader::AbandonFontTable()
{
    fonts_.Finish();
    for (GroupState& state : stack_) {
        if (state.destination == Destination::FontTable) {
            state.destination = Destination::Body;
            state.startsDestination = false;
        }
    }
}

void Reader::BodyKeyword(const rtf::Keyword& keyword, bool hasParameter, int value)
{
    GroupState& state = Top();
    CharState& chars = state.chars;
    ParaState& para = state.para;
    if (keyword.kind == KeywordKind::Symbol) {
        AppendBodyChar(SymbolCharacter(keyword.id));
        return;
    }
    switch (keyword.id) {
    case KeywordId::Ansi: documentCodePage_ = 1252; break;
    case KeywordId::Mac: documentCodePage_ = 10000; break;
    case KeywordId::Pc: documentCodePage_ = 437; break;
    case KeywordId::Pca: documentCodePage_ = 850; break;
    case KeywordId::AnsiCodePage:
        if (!IconvNameForCodePage(value).isEmpty())
            documentCodePage_ = value;
        break;
    case KeywordId::DefaultFont: defaultFont_ = value; break;

    case KeywordId::Plain: chars = CharState(); break;
    case KeywordId::Font: chars.font = value; break;
    case KeywordId::FontSize:
        chars.halfPoints = hasParameter ? std::clamp(value, 0, kMaxHalfPoints) : 24;
        break;
    case KeywordId::Bold: chars.bold = IsOn(hasParameter, value); break;
    case KeywordId::Italic: chars.italic = IsOn(hasParameter, value); break;
    case KeywordId::Underline: chars.underline = IsOn(hasParameter, value); break;
    case KeywordId::UnderlineNone: chars.underline = false; break;
    case KeywordId::Strike: chars.strike = IsOn(hasParameter, value); break;
    case KeywordId::Hidden: chars.hidden = IsOn(hasParameter, value); break;
    case KeywordId::ColorForeground: chars.color = value; break;

    case KeywordId::Pard: para = ParaState(); break;
    case KeywordId::AlignLeft: para.alignment = Alignment::Left; break;
    case KeywordId::AlignJustify:
        para.alignment = Alignment::Left;
        NoteUnkept(Unkept::JustifiedAlignment);
        break;
    case KeywordId::AlignCenter: para.alignment = Alignment::Center; break;
    case KeywordId::AlignRight: para.alignment = Alignment::Right; break;
    case KeywordId::FirstIndent: para.firstIndent = ClampIndent(value); break;
    case KeywordId::LeftIndent: para.leftIndent = ClampIndent(value); break;
    case KeywordId::RightIndent: para.rightIndent = ClampIndent(value); break;
    case KeywordId::LeftToRight: para.rightToLeft = false; break;
    case KeywordId::RightToLeft: para.rightToLeft = true; break;
    case KeywordId::ListStyle: para.listStyle = value; break;
    case KeywordId::ListLevelIndex: para.listLevel = std::clamp(value, 0, 8); break;

    case KeywordId::ShapeLeft:
    case KeywordId::ShapeTop:
    case KeywordId::ShapeRight:
    case KeywordId::ShapeBottom:
        shapes_.Keyword(keyword.id, value);
        break;

    case KeywordId::Par: EndParagraph(para); break;
    case KeywordId::PageBreakBefore:
        if (IsOn(hasParameter, value))
            NoteUnkept(Unkept::PageAndSectionBreaks);
        break;
    case KeywordId::Sect:
    case KeywordId::Page:
        // The text after the break goes on in a paragraph of its own.
        NoteUnkept(Unkept::PageAndSectionBreaks);
        EndParagraphIfNotEmpty();
        break;
    case KeywordId::Row:
    case KeywordId::NestRow:
        NoteUnkept(Unkept::TableStructure);
        EndParagraphIfNotEmpty();
        break;
    case KeywordId::Cell:
    case KeywordId::NestCell:
        NoteUnkept(Unkept::TableStructure);
        Cell();
        break;
    default:
        break;
    }
}

void Reader::Text(std::string_view bytes)
{
    switch (Top().destination) {
    case Destination::Body: AppendBodyBytes(bytes); break;
    case Destination::FontTable: fonts_.Text(bytes); break;
    case Destination::ColorTable: colors_.Text(bytes); break;
    case Destination::ShapePropertyName: shapes_.PropertyName(bytes); break;
    case Destination::FieldInstruction: {
        const qsizetype room = kMaxFieldInstruction - fieldInstruction_.size();
        if (room > 0)
            fieldInstruction_.append(bytes.data(), std::min<qsizetype>(room, static_cast<qsizetype>(bytes.size())));
        break;
    }
    default: break;
    }
}

// A body byte and the row of \'hh bytes after it, appended together.
void Reader::BodyHexBytes(char first)
{
    char bytes[256];
    bytes[0] = first;
    std::size_t count = 1 + tokenizer_.NextHexBytes(bytes + 1, sizeof bytes - 1);
    AppendBodyBytes(std::string_view(bytes, count));
    while (count == sizeof bytes) {
        count = tokenizer_.NextHexBytes(bytes, sizeof bytes);
        if (count > 0)
            AppendBodyBytes(std::string_view(bytes, count));
    }
}

void Reader::Byte(char byte)
{
    switch (Top().destination) {
    case Destination::Body: AppendBodyBytes(std::string_view(&byte, 1)); break;
    case Destination::FontTable: fonts_.Byte(byte); break;
    default: break;
    }
}

void Reader::Unicode(int value)
{
    GroupState& state = Top();
    state.skipRemaining = state.unicodeSkip;
    if (value < 0)
        value += 65536;
    const QChar character = value >= 0 && value <= 0xFFFF ? QChar(static_cast<char16_t>(value))
                                                          : QChar(QChar::ReplacementCharacter);
    if (state.destination == Destination::FontTable) {
        fonts_.Character(character);
        return;
    }
    if (state.destination != Destination::Body || !PrepareRun())
        return;
    // Surrogate halves come as two \uN; they are kept only as a pair.
    if (character.isHighSurrogate()) {
        FlushPendingSurrogate();
        pendingHighSurrogate_ = character;
        return;
    }
    if (character.isLowSurrogate()) {
        if (pendingHighSurrogate_.isNull()) {
            AppendBodyChar(QChar::ReplacementCharacter);
            return;
        }
        DecodePendingBytes();
        runText_.append(pendingHighSurrogate_);
        runText_.append(character);
        pendingHighSurrogate_ = QChar();
        return;
    }
    AppendBodyChar(character);
}

} // namespace rtf
