#pragma once
// What the rich-edit control puts on the clipboard and into a drag: the selection as
// RTF, HTML and plain text, each made only when someone asks for it, so that copying
// megabytes costs nothing until they are pasted.
#include <QFont>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QTextDocumentFragment>

class QTextCursor;

// The MIME types RTF goes by, the first one the type offered.
extern const char* const kRtfMimeTypes[3];

class TRichTextMimeData : public QMimeData {
    Q_OBJECT
public:
    // The selection of a cursor; its pictures' data come along, so a paste into another
    // document, after this one is gone, still has them.
    TRichTextMimeData(const QTextCursor& selection, int ppi);

    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    QByteArray Rtf() const;

    QTextDocumentFragment selection_;
    QFont defaultFont_;
    int ppi_;
    // Pictures the selection shows from the document's resources (pasted from HTML, say)
    // rather than from data of their own.
    QHash<QString, QImage> images_;
    mutable QByteArray rtf_;
};
