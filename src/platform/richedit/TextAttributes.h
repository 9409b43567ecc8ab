#pragma once
// Paragraph and character attributes of a rich-edit control's selection, in the
// classic units: indents in screen pixels, sizes in points, a character-set code.
#include <QColor>
#include <QString>

class QTextEdit;

enum ParaAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum NumberingStyle { nsNone = 0, nsBullet = 1 };

// The paragraph attributes of the paragraph at the selection start; every setter
// applies to each paragraph the selection touches, as one undo step.
// FirstIndent is the first line's indent, LeftIndent the later lines' indent relative
// to it, RightIndent the indent from the right edge. The document keeps indents in
// twips, so pixel values survive a round trip whatever the screen resolution.
class TParaAttributes {
public:
    explicit TParaAttributes(QTextEdit* edit) : edit_(edit) {}

    int Alignment() const;
    void SetAlignment(int alignment);
    int Numbering() const;
    void SetNumbering(int numbering);
    int FirstIndent() const;
    void SetFirstIndent(int pixels);
    int LeftIndent() const;
    void SetLeftIndent(int pixels);
    int RightIndent() const;
    void SetRightIndent(int pixels);

private:
    QTextEdit* edit_;
};

struct TFontStyles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool operator==(const TFontStyles& o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut;
    }
};

// A font as the font dialog and the selection exchange it.
struct TFontSpec {
    QString name;
    int charset = 1;
    int size = 9;  // points
    TFontStyles style;
    QColor color = Qt::black;
};

// The character attributes of the selection (of its first character), or of the text
// typed next when nothing is selected; setters apply the same way.
class TTextAttributes {
public:
    explicit TTextAttributes(QTextEdit* edit) : edit_(edit) {}

    TFontSpec Font() const;
    void Assign(const TFontSpec& font);

    QString Name() const { return Font().name; }
    void SetName(const QString& name);
    int Charset() const { return Font().charset; }
    void SetCharset(int charset);
    int Size() const { return Font().size; }
    void SetSize(int points);
    TFontStyles Style() const { return Font().style; }
    void SetStyle(const TFontStyles& style);
    QColor Color() const { return Font().color; }
    void SetColor(const QColor& color);

private:
    QTextEdit* edit_;
};
