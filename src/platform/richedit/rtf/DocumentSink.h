#pragma once
// What the RTF reader hands on: runs of text and paragraph ends, each with its format
// resolved (font names, colours and lists looked up), in document order.
#include <QByteArray>
#include <QColor>
#include <QString>
#include <cstdint>

namespace rtf {

struct RunFormat {
    QString family;     // empty: the document's default font
    int charset = -1;   // the font's \fcharset; -1: none given
    double points = 0;  // 0: no size given
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QColor color;       // invalid: automatic

    bool operator==(const RunFormat& o) const
    {
        return family == o.family && charset == o.charset && points == o.points && bold == o.bold
            && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut
            && color == o.color;
    }
    bool operator!=(const RunFormat& o) const { return !(*this == o); }
};

// Indents in the document's convention: the first line's absolute indent, the later
// lines' indent relative to it, the right indent; all in twips. As RTF readers take
// them, the indents of a right-to-left paragraph are mirrored (the first and left
// indents stand at the right edge, the right indent at the left one) and its alignment
// is not: \ql puts it at the left edge.
struct ParagraphFormat {
    Qt::Alignment alignment = Qt::AlignLeft;
    int firstIndentTwips = 0;
    int leftIndentTwips = 0;
    int rightIndentTwips = 0;
    bool bullet = false;
    Qt::LayoutDirection direction = Qt::LeftToRight;

    bool operator==(const ParagraphFormat& o) const
    {
        return alignment == o.alignment && firstIndentTwips == o.firstIndentTwips
            && leftIndentTwips == o.leftIndentTwips && rightIndentTwips == o.rightIndentTwips
            && bullet == o.bullet && direction == o.direction;
    }
    bool operator!=(const ParagraphFormat& o) const { return !(*this == o); }
};

// A picture as the file gives it: its kind (pngblip, jpegblip, dibitmap, wmetafile,
// emfblip, ...) with the kind's parameter, its data, and its size words; 0 for a size
// not given.
struct Picture {
    QByteArray kind;
    int kindParameter = -1;  // -1: none
    QByteArray data;
    int width = 0;   // \picw, \pich: pixels, or HIMETRIC for a metafile
    int height = 0;
    int goalWidth = 0;  // \picwgoal, \pichgoal: twips
    int goalHeight = 0;
    int scaleX = 100;  // percent
    int scaleY = 100;
};

// What the document holds that the control cannot keep: a save would not write it back.
enum class Unkept : std::uint8_t {
    TableStructure,
    FieldInstructions,
    HeadersAndFooters,
    Footnotes,
    DrawingObjects,
    NumberedLists,
    JustifiedAlignment,
    PageAndSectionBreaks,  // the text goes on in the next paragraph
    PictureAnchoring,      // a shape's picture stands in the text where it was anchored
    Formulas,              // shown and kept as their pictures
};

class DocumentSink {
public:
    virtual ~DocumentSink() = default;
    // Text of the current paragraph; never empty, never holding a paragraph break.
    virtual void Text(const QString& text, const RunFormat& format) = 0;
    // Ends the current paragraph. The last paragraph of a document is ended too when
    // it holds text; a document whose last \par is followed by nothing has no empty
    // paragraph after it.
    virtual void EndParagraph(const ParagraphFormat& format) = 0;
    // A picture in the current paragraph, where it stands between the text runs.
    virtual void InsertPicture(const Picture& picture, const RunFormat& format) = 0;
    // The first time the reader drops or changes something of this kind.
    virtual void NoteUnkept(Unkept) {}
};

} // namespace rtf
