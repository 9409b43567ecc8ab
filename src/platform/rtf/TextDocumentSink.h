#pragma once
// The sink that builds the rich-edit control's document.
#include "platform/rtf/DocumentSink.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <utility>
#include <vector>

class QTextDocument;
class QTextList;

namespace rtf {

// Appends to an empty document inside an edit block, so the document lays itself out
// once at the end, or once a slice when EndEdit is called between slices. A run is inserted in one piece with a format built once per format
// seen; consecutive bullet paragraphs share one disc list, as the bullet command makes
// them. Paragraph indents are kept in twips and laid out at ppi pixels per inch.
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
    // Ends the edit block, so the document lays out what it has; the next insertion
    // opens another.
    void EndEdit();

private:
    const QTextCharFormat& CharFormat(const RunFormat& format);
    void StartBlockIfNeeded();
    void Edit();

    QTextCursor cursor_;
    int ppi_;
    bool editing_ = false;
    bool needNewBlock_ = false;
    QTextList* list_ = nullptr;  // the list the previous paragraph belongs to
    std::vector<std::pair<RunFormat, QTextCharFormat>> formats_;
    std::vector<Unkept> unkept_;
};

// The character format of a run in the document's conventions.
QTextCharFormat ToCharFormat(const RunFormat& format);

} // namespace rtf
