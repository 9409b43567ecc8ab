#include "foreignsearch/LanguageCharsetTable.h"

#include "platform/system/Fonts.h"

namespace {

// Rows 1 to 4 use full-width parentheses; row 0 has an ordinary space.
constexpr LanguageCharsetRow kRows[kLanguageCount] = {
    {"日本語 Shift-JIS", 128},
    {"韓国語（Wansung）", 129},
    {"韓国語（Johab）", 130},
    {"簡体字中国語（大陸中国）", 134},
    {"繁体字中国語（台湾）", 136},
    {"ギリシア語", 161},
    {"トルコ語", 162},
    {"ベトナム語", 163},
    {"ヘブライ語", 177},
    {"アラビア語", 178},
    {"バルト諸国語", 186},
    {"キリル文字", 204},
    {"タイ語", 222},
    {"東欧諸国", 238},
};

} // namespace

const LanguageCharsetRow* LanguageCharsetTable()
{
    return kRows;
}

QStringList LanguageLabels()
{
    QStringList labels;
    for (const LanguageCharsetRow& row : kRows)
        labels << QString::fromUtf8(row.label);
    return labels;
}

std::optional<int> CharsetForLanguage(int index)
{
    if (index < 0 || index >= kLanguageCount)
        return std::nullopt;
    return kRows[index].charset;
}

void ApplyLanguageCharsetTo(QWidget* target, int index)
{
    if (const std::optional<int> charset = CharsetForLanguage(index))
        SetControlCharset(target, *charset);
}
