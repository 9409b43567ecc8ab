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
} // namespace DocumentProperty

// Indentation of one bullet level in twips (a quarter inch).
constexpr int kBulletIndentTwips = 360;

class QTextBlockFormat;

// Sets Qt's left margin, first-line indent and right margin of a block format from the
// indents it keeps in twips, at ppi pixels per inch.
void ApplyIndentsToLayout(QTextBlockFormat& format, int ppi);
