#pragma once
// The sink that builds the rich-edit control's document.
#include "platform/richedit/rtf/DocumentSink.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <utility>
#include <vector>

class QTextDocument;
class QTextList;

namespace rtf {

// Appends to an empty document inside an edit block, so the document lays itself out
// once at the end, or once a slice when EndEdit is called between slices. A
// paragraph's runs and pictures wait for its end, when its block is inserted with its
// format and the runs each in one piece, with formats built once per format seen;
// consecutive bullet paragraphs share one disc list, as the bullet command makes them.
// Paragraph indents are kept in twips and laid out at ppi pixels per inch.
class TextDocumentSink : public DocumentSink {
public:
    TextDocumentSink(QTextDocument& doc, int ppi);
    ~TextDocumentSink() override;

    void Text(const QString& text, const RunFormat& format) override;
    void EndParagraph(const ParagraphFormat& format) override;
    // PNG, JPEG and device-independent bitmaps are shown; other kinds (metafiles) keep
    // their data and show as a box of their size.
    void InsertPicture(const Picture& picture, const RunFormat& format) override;
    void NoteUnkept(Unkept kind) override { unkept_.push_back(kind); }
    // What the document held that a save will not keep, in the order first met.
    const std::vector<Unkept>& UnkeptKinds() const { return unkept_; }
    // Ends the edit block, so the document lays out the paragraphs it has; the next
    // insertion opens another.
    void EndEdit();
    // Puts runs that no paragraph end followed in a paragraph of their own.
    void Finish();

private:
    const QTextCharFormat& CharFormat(const RunFormat& format);
    const QTextBlockFormat& BlockFormat(const ParagraphFormat& format);
    // Starts the paragraph's block with its format, or a plain one for nullptr (the
    // document's first block is there already), and inserts what waited for it.
    void InsertParagraph(const QTextBlockFormat* block);
    void Edit();

    QTextCursor cursor_;
    int ppi_;
    bool editing_ = false;
    bool firstBlock_ = true;
    // The current paragraph's runs and pictures, each with its format.
    std::vector<std::pair<QString, QTextCharFormat>> pending_;
    QTextList* list_ = nullptr;  // the list the previous paragraph belongs to
    std::vector<std::pair<RunFormat, QTextCharFormat>> formats_;
    std::vector<std::pair<ParagraphFormat, QTextBlockFormat>> blockFormats_;
    std::vector<Unkept> unkept_;
};

// The character format of a run in the document's conventions.
QTextCharFormat ToCharFormat(const RunFormat& format);

} // namespace rtf
