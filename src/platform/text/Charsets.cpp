#include "platform/text/Charsets.h"

const std::vector<CharsetRow>& CharsetTable()
{
    static const std::vector<CharsetRow> rows = {
        {0, 1252, nullptr, "欧文"},
        {128, 932, "ja", "日本語"},
        {129, 949, "ko", "ハングル"},
        {130, 1361, "ko", "ハングル (Johab)"},
        {134, 936, "zh-cn", "簡体字中国語"},
        {136, 950, "zh-tw", "繁体字中国語"},
        {161, 1253, "el", "ギリシア語"},
        {162, 1254, "tr", "トルコ語"},
        {163, 1258, "vi", "ベトナム語"},
        {177, 1255, "he", "ヘブライ語"},
        {178, 1256, "ar", "アラビア語"},
        {186, 1257, "lt", "バルト言語"},
        {204, 1251, "ru", "キリル言語"},
        {222, 874, "th", "タイ語"},
        {238, 1250, "cs", "中央ヨーロッパ言語"},
        {2, 0, nullptr, "シンボル"},
        {1, 0, nullptr, "既定"},
        // Read from RTF files, not offered in the font dialog.
        {77, 10000, nullptr, nullptr},   // Mac Roman
        {254, 437, nullptr, nullptr},    // PC 437
        {255, 850, nullptr, nullptr},    // OEM
    };
    return rows;
}

const CharsetRow* FindCharset(int code)
{
    for (const CharsetRow& row : CharsetTable())
        if (row.code == code)
            return &row;
    return nullptr;
}
