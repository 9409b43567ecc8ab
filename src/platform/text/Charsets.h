#pragma once
// The font character sets the program knows, in one table: the code a font and an RTF
// file name a character set by (\fcharset), the Windows code page its text is written
// in, the fontconfig language that picks a face with its glyphs, and the name the font
// dialog shows. Adding a character set is one row here.
#include <vector>

struct CharsetRow {
    int code;              // the font character-set code
    int codePage;          // 0: none of its own (the default and the symbol sets)
    const char* language;  // fontconfig language, or nullptr
    const char* name;      // UTF-8, as the font dialog lists it
};

// Every row, in the order the font dialog lists them.
const std::vector<CharsetRow>& CharsetTable();
// The row of a character-set code; nullptr for a code without one.
const CharsetRow* FindCharset(int code);
