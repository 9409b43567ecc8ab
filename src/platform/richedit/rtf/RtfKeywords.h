#pragma once
// The RTF control words and symbols the reader gives a meaning to, in one sorted table.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rtf {

enum class KeywordKind : std::uint8_t {
    Flag,         // no parameter, or one that is ignored
    Toggle,       // on without a parameter or with a non-zero one, off with 0
    Value,        // the parameter is the value
    Destination,  // starts a destination: the group's text goes somewhere else
    Symbol,       // stands for a character
};

enum class KeywordId : std::uint16_t {
    // Document and character sets
    Rtf, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    // Font table
    Font, FontCharset, FontCodePage, FontFamilyNil, FontFamilyRoman, FontFamilySwiss,
    FontFamilyModern, FontFamilyScript, FontFamilyDecor, FontFamilyTech, FontFamilyBidi,
    // Colour table
    Red, Green, Blue,
    // Character formatting (reset by \plain)
    Plain, FontSize, Bold, Italic, Underline, UnderlineNone, Strike, Hidden, ColorForeground,
    // Paragraph formatting (reset by \pard)
    Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify, FirstIndent, LeftIndent, RightIndent,
    LeftToRight, RightToLeft,
    // Breaks
    Par, Sect, Page, PageBreakBefore, Cell, Row, NestCell, NestRow,
    // A shape's rectangle
    ShapeLeft, ShapeTop, ShapeRight, ShapeBottom,
    // Unicode
    Unicode, UnicodeSkip, Star,
    // Word 97 lists
    List, ListLevel, ListId, LevelNumberFormat, ListOverride, ListStyle, ListLevelIndex,
    // Old-style paragraph numbering
    PnBullet, PnBody, PnContinue, PnLevel,
    // Characters
    Tab, Line, EmDash, EnDash, EmSpace, EnSpace, QuarterEmSpace, Bullet, LeftQuote, RightQuote,
    LeftDoubleQuote, RightDoubleQuote, NonBreakingSpace, SoftHyphen, NonBreakingHyphen,
    ZeroWidthJoiner, ZeroWidthNonJoiner,
    // Destinations
    FontTable, ColorTable, ListTable, ListOverrideTable, ParagraphNumbering, ParagraphNumberText,
    ListText, Field, FieldResult, TextContainer, TextBox, Picture, PictureContainer, FieldInstruction, HeaderOrFooter, Footnote, NestedRowProperties, UnicodePair, UnicodeVersion,
    // Shapes: the shape, its instructions, its properties' groups, name and value
    Shape, ShapeInstance, ShapeProperty, ShapePropertyName, ShapePropertyValue,
    // A formula and its picture; \nonshppict, the older form of a picture
    Formula, FormulaPicture, OlderPicture,
    Skip,  // a destination whose content is not document text
    Binary,
};

struct Keyword {
    std::string_view name;
    KeywordKind kind;
    KeywordId id;
};

// The table, sorted by name in byte order, without duplicates.
const Keyword* KeywordsBegin();
const Keyword* KeywordsEnd();

// The entry for a control word or symbol name; nullptr for one the reader ignores.
const Keyword* FindKeyword(std::string_view name);

} // namespace rtf
