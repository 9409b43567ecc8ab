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

// Sets Qt's left margin, first-line indent and right margin of a block format from the
// indents it keeps in twips, at ppi pixels per inch.
void ApplyIndentsToLayout(QTextBlockFormat& format, int ppi);
