#pragma once
// Reading RTF into a QTextDocument in slices, so that a caller can show the first
// paragraphs while the rest is still being read.
#include "platform/richedit/rtf/RtfReader.h"
#include "platform/richedit/rtf/TextDocumentSink.h"

#include <QByteArray>
#include <QStringList>

class QTextDocument;

namespace rtf {

// Replaces the content of doc with the RTF in bytes, a slice at a time: each ReadSome
// appends whole paragraphs for about its budget and ends its edit block, so the
// document lays out and shows what it has. Read to the end, the document is the one a
// single ReadRtf gives. The document must not be edited between slices; undo is off
// until the end (and its history empty afterwards).
class RtfDocumentReader {
public:
    RtfDocumentReader(const QByteArray& bytes, QTextDocument& doc, int ppi);
    // Reads the RTF from source as it goes on, which must outlive the reader; a source
    // that ends early (as a file that cannot be read on) ends the document there.
    RtfDocumentReader(ByteSource& source, QTextDocument& doc, int ppi);
    ~RtfDocumentReader();
    RtfDocumentReader(const RtfDocumentReader&) = delete;
    RtfDocumentReader& operator=(const RtfDocumentReader&) = delete;

    // Reads on for about budgetMs milliseconds, stopping between paragraphs (a
    // paragraph is never split between slices); budgetMs < 0 reads to the end. True
    // once the whole document is read.
    bool ReadSome(int budgetMs);
    // Reads on for at most paragraphs more paragraphs, as a slice; true at the end.
    bool ReadParagraphs(int paragraphs);
    bool AtEnd() const { return done_; }
    // The offset of the next unread byte, for a progress bar.
    qsizetype BytesRead() const;
    // What the RTF held that a save will not write back, as ReadRtf describes it;
    // complete once AtEnd().
    QStringList Unkept() const;

private:
    void Done();

    QByteArray bytes_;  // shared with the caller's copy; the reader points into it
                        // (empty when reading from a source)
    QTextDocument& doc_;
    TextDocumentSink sink_;
    Reader reader_;
    bool undoWasEnabled_;
    bool done_ = false;
};

// The description of an unkept kind in Japanese, as the program's notices are.
QString DescribeUnkept(Unkept kind);

} // namespace rtf
