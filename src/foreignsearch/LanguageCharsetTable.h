#pragma once
// The fourteen languages of the foreign-language search, each bound to a font
// character set. What is stored anywhere is the row index, never the code.
#include <QStringList>
#include <optional>

struct LanguageCharsetRow {
    const char* label;  // UTF-8
    int charset;        // the font character-set code
};

constexpr int kLanguageCount = 14;

// All rows in list order, index 0 to 13.
const LanguageCharsetRow* LanguageCharsetTable();

// The labels in list order, as both language lists show them.
QStringList LanguageLabels();

// The character-set code of the row at index; nothing for -1 and for every index
// that has no row.
std::optional<int> CharsetForLanguage(int index);

class QWidget;

// Gives target the character set of the language at index; nothing changes for an
// index without a row.
void ApplyLanguageCharsetTo(QWidget* target, int index);
