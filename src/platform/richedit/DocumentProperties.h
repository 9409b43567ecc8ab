#pragma once
// Properties the rich-edit control keeps in its document's formats beside Qt's own.
#include <QTextFormat>

namespace DocumentProperty {
// Block formats: the indents in twips (1/1440 inch).
constexpr int FirstIndentTwips = QTextFormat::UserProperty + 1;
constexpr int LeftIndentTwips = QTextFormat::UserProperty + 2;
constexpr int RightIndentTwips = QTextFormat::UserProperty + 3;
// Character formats: the font character-set code.
constexpr int Charset = QTextFormat::UserProperty + 10;
// Pictures read from RTF, kept as they came so that a save writes them back unchanged:
// the kind word and its parameter (-1: none), the data, and the size words.
constexpr int PictureKind = QTextFormat::UserProperty + 20;
constexpr int PictureKindParameter = QTextFormat::UserProperty + 21;
constexpr int PictureData = QTextFormat::UserProperty + 22;
constexpr int PictureWidth = QTextFormat::UserProperty + 23;
constexpr int PictureHeight = QTextFormat::UserProperty + 24;
constexpr int PictureGoalWidth = QTextFormat::UserProperty + 25;
constexpr int PictureGoalHeight = QTextFormat::UserProperty + 26;
constexpr int PictureScaleX = QTextFormat::UserProperty + 27;
constexpr int PictureScaleY = QTextFormat::UserProperty + 28;
} // namespace DocumentProperty

// Indentation of one bullet level in twips (a quarter inch).
constexpr int kBulletIndentTwips = 360;

class QTextBlockFormat;

// A length in pixels at ppi pixels per inch, in twips, rounded to the nearest.
int PixelsToTwips(double pixels, int ppi);

// Sets Qt's left margin, first-line indent and right margin of a block format from the
// indents it keeps in twips, at ppi pixels per inch, for a paragraph running in
// direction. As in RTF readers, the first and left indents of a right-to-left paragraph
// stand at its right edge and its right indent at the left one. A paragraph in a list
// whose own indent is listIndentTwips (0: in none) and whose later lines hang
// (LeftIndent > 0) has its bullet in the hanging indent and the text of every line at
// the later lines' indent, as RTF readers show \fi-360\li720; the list's indent counts
// towards it.
void ApplyIndentsToLayout(QTextBlockFormat& format, int ppi, Qt::LayoutDirection direction = Qt::LeftToRight,
                          int listIndentTwips = 0);
