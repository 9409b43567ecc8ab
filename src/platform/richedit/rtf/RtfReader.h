#pragma once
// The RTF reader: tokens in, text runs and paragraph ends out to a DocumentSink.
#include "platform/richedit/rtf/DocumentSink.h"
#include "platform/richedit/rtf/RtfDestinations.h"
#include "platform/richedit/rtf/RtfPicture.h"
#include "platform/richedit/rtf/RtfShape.h"
#include "platform/richedit/rtf/RtfState.h"
#include "platform/richedit/rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QString>
#include <string_view>
#include <vector>

namespace rtf {

// Groups nested deeper than this are read as if their content were not there.
constexpr int kMaxGroupDepth = 1024;

// Reads a whole RTF document into sink. Never fails: bytes before the first '{' and
// after the group it opens are ignored, a truncated document gives what was read,
// unknown control words are ignored and unknown \* destinations skipped.
void ReadRtfInto(std::string_view bytes, DocumentSink& sink);

class Reader {
public:
    explicit Reader(DocumentSink& sink) : sink_(sink) {}
    void Read(std::string_view bytes);

    // Reading in slices: Begin, then ReadParagraphs until it returns true. bytes must
    // stay valid until then.
    void Begin(std::string_view bytes);
    // The same for bytes read from source as they are needed.
    void Begin(ByteSource& source);
    // Reads on until the document ends (true) or, once paragraphs ends of paragraphs
    // have been read, until the next token (false); so a slice stops between
    // paragraphs. paragraphs < 0 reads to the end.
    bool ReadParagraphs(int paragraphs);
    // The offset of the next unread byte.
    std::size_t Offset() const { return tokenizer_.Offset(); }

private:
    GroupState& Top() { return stack_.back(); }
    void Dispatch(const Token& token);
    void OpenGroup();
    void CloseGroup();
    void Word(const Token& token);
    void Keyword(const rtf::Keyword& keyword, bool hasParameter, int value);
    void StartDestination(KeywordId id);
    void BodyKeyword(const rtf::Keyword& keyword, bool hasParameter, int value);
    void AbandonFontTable();
    // Puts a picture in the text where the reader is; false when it is hidden text.
    bool InsertPicture(const Picture& picture);
    void EndShape();
    void EndFieldInstruction();
    void Text(std::string_view bytes);
    void Byte(char byte);
    void BodyHexBytes(char first);
    void Unicode(int value);

    // Body text, gathered into runs of one format.
    bool PrepareRun();
    void AppendBodyBytes(std::string_view bytes);
    void AppendBodyChar(QChar character);
    void DecodePendingBytes();
    void FlushPendingSurrogate();
    void FlushRun();
    void Cell();
    void EndParagraph(const ParaState& para);
    void EndParagraphIfNotEmpty();
    void EndParagraphIfNotEmpty(const ParaState& para);
    void Finish();
    int CodePageOfFont(int font) const;
    RunFormat ResolveRun(const CharState& chars) const;
    ParagraphFormat ResolveParagraph(const ParaState& para) const;
    // Tells the sink, once a kind, what a save will not keep.
    void NoteUnkept(Unkept kind) const;

    DocumentSink& sink_;
    Tokenizer tokenizer_{std::string_view()};
    bool started_ = false;   // the document's group was opened
    bool finished_ = false;
    int paragraphsEnded_ = 0;  // paragraphs handed to the sink so far
    mutable unsigned unkeptNoted_ = 0;
    PictureParser picture_;
    // Where the reader is in the pictures of a formula: one was shown, or the formula
    // has none yet and the next picture, even an older form, is its picture.
    enum class FormulaPicture : std::uint8_t { None, Awaiting, Shown };
    FormulaPicture formulaPicture_ = FormulaPicture::None;
    ShapeParser shapes_;
    QByteArray fieldInstruction_;  // the start of the \fldinst being read
    std::vector<GroupState> stack_;
    int overflowDepth_ = 0;  // groups opened beyond kMaxGroupDepth, not yet closed
    int documentCodePage_ = 1252;
    int defaultFont_ = 0;

    FontTableParser fonts_;
    ColorTableParser colors_;
    ListTableParser lists_;
    ListOverrideTableParser overrides_;
    PnParser pn_;

    // The run being gathered: its format, the code page its bytes are read in, bytes
    // not decoded yet (so double-byte pairs stay together) and the text so far.
    bool runOpen_ = false;
    CharState runChars_;
    int runCodePage_ = 1252;
    QByteArray runBytes_;
    QString runText_;
    QChar pendingHighSurrogate_;
    // The paragraph being read holds text; the format of the paragraph its last text
    // was read in (for a last paragraph that no \par ends).
    bool paragraphHasContent_ = false;
    ParaState lastTextPara_;
    // A table cell ended: a tab separates it from the next cell's text.
    bool pendingCellTab_ = false;
};

} // namespace rtf
