#pragma once
// The reader's group state: a plain value, copied when a group opens and dropped when
// it closes, so that a closing brace restores everything the group changed.
#include <cstdint>

namespace rtf {

// Where the text of a group goes.
enum class Destination : std::uint8_t {
    Body,               // document text
    Skip,               // dropped, with everything nested in it
    FontTable,
    ColorTable,
    ListTable,
    ListOverrideTable,
    ParagraphNumbering, // \pn: how the paragraph is numbered; its own text is dropped
    UnicodePair,        // \upr: drops its text except its \ud group
    Picture,            // \pict: a picture's kind, size words and data
    FieldInstruction,   // \fldinst: its first word tells what the field is
    ShapeProperty,      // \sp of a shape: its name and value groups only
    ShapePropertyName,  // \sn: the name
    ShapePicture,       // \sv of a picture property: its \pict
};

enum class Alignment : std::uint8_t { Left, Center, Right };

// Old-style paragraph numbering as \pn describes it.
enum class PnKind : std::uint8_t { None, Bullet, Numbered };

// Character formatting; reset by \plain.
struct CharState {
    int font = -1;       // \fN; -1: none of its own (the document's default font)
    int halfPoints = 0;  // \fsN; 0: none given
    int color = 0;       // \cfN; 0: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;  // \v: text that is not shown, and so not read

    bool operator==(const CharState& o) const
    {
        return font == o.font && halfPoints == o.halfPoints && color == o.color && bold == o.bold
            && italic == o.italic && underline == o.underline && strike == o.strike && hidden == o.hidden;
    }
    bool operator!=(const CharState& o) const { return !(*this == o); }
};

// Paragraph formatting, in twips as RTF gives it; reset by \pard.
struct ParaState {
    Alignment alignment = Alignment::Left;
    int firstIndent = 0;  // \fi, relative to \li
    int leftIndent = 0;   // \li
    int rightIndent = 0;  // \ri
    bool rightToLeft = false;  // \rtlpar; \ltrpar, the default, sets it back
    PnKind pn = PnKind::None;
    int listStyle = 0;    // \lsN; 0: not in a Word 97 list
    int listLevel = 0;    // \ilvlN
};

struct GroupState {
    CharState chars;
    ParaState para;
    Destination destination = Destination::Body;
    // This group switched the destination, so its closing brace ends that destination.
    bool startsDestination = false;
    // \* was read: the next control word names a destination to skip unless known.
    bool optionalDestination = false;
    // Fallback units after each \uN (\ucN; 1 until a group says otherwise).
    int unicodeSkip = 1;
    // Fallback units of the last \uN still to skip; a brace ends the skipping.
    int skipRemaining = 0;
    // This group holds a text box's text: its last paragraph ends with the group.
    bool textBox = false;
    // This group is a shape's (\shp): its closing brace ends the shape.
    bool startsShape = false;
    // This group is in a formula (\mmath) or a formula's picture (\mmathPict).
    bool formula = false;
};

} // namespace rtf
