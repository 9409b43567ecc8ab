#pragma once
// How likely a text is in each of the language groups the encoding detector knows,
// from the character frequencies of real translated text (LanguageModelData.inc, made
// by scripts/make-language-models).
#include <QStringView>
#include <cstdint>

enum class LanguageGroup : int {
    Japanese,
    Korean,
    SimplifiedChinese,
    TraditionalChinese,
    Greek,
    Turkish,
    Vietnamese,
    Hebrew,
    Arabic,
    Baltic,
    Cyrillic,
    Thai,
    CentralEuropean,
    Western,
};
constexpr int kLanguageGroupCount = 14;

// Costs are negative natural logarithms of a probability, in eighths.
constexpr std::uint32_t kCostUnitsPerNat = 8;
// What a character no language writes costs: a control character, an unassigned or
// private-use code point, a lone surrogate, U+FFFD.
constexpr std::uint32_t kImpossibleCost = 200;

struct TextCost {
    std::uint32_t total = 0;       // the sum of the characters' costs
    // How many characters no language writes: those that cost kImpossibleCost, and
    // combining marks on no letter.
    std::uint32_t impossible = 0;
};

// The cost of text as a sequence of characters of the likeliest of the group's
// languages: the sum of each character's cost after the one before it. A lower cost is
// a likelier text.
TextCost CostInLanguage(QStringView text, LanguageGroup group);
