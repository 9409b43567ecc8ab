#pragma once
// A sink that keeps what the reader handed on, for tests and for looking at a file.
#include "platform/richedit/rtf/DocumentSink.h"

#include <QList>

namespace rtf {

class RecordingSink : public DocumentSink {
public:
    struct Run {
        QString text;
        RunFormat format;
    };
    struct Paragraph {
        QList<Run> runs;
        ParagraphFormat format;
        QString Text() const;
    };

    void Text(const QString& text, const RunFormat& format) override;
    void EndParagraph(const ParagraphFormat& format) override;
    // A picture shows as U+FFFC in the text and is kept in Pictures().
    void InsertPicture(const Picture& picture, const RunFormat& format) override;
    const QList<Picture>& Pictures() const { return pictures_; }

    // Ended paragraphs; text after the last paragraph end stays in Pending().
    const QList<Paragraph>& Paragraphs() const { return paragraphs_; }
    const Paragraph& Pending() const { return pending_; }
    // The paragraphs' text joined by '\n'.
    QString PlainText() const;
    // One line per paragraph ("¶ center first=360 left=-360 right=0 bullet") followed
    // by one line per run ("  \"text\" Arial/128 12pt b i u s #ff0000"); tabs and
    // line separators show as \t and \l.
    QString Dump() const;

private:
    QList<Paragraph> paragraphs_;
    Paragraph pending_;
    QList<Picture> pictures_;
};

// A run's format as the dump writes it ("default" for a run with nothing set).
QString DescribeRunFormat(const RunFormat& format);
QString DescribeParagraphFormat(const ParagraphFormat& format);

} // namespace rtf
