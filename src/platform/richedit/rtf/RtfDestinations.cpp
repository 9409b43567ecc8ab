#include "platform/richedit/rtf/RtfDestinations.h"

#include "platform/richedit/rtf/RtfEncoding.h"

#include <algorithm>

namespace rtf {

void FontTableParser::Begin(int documentCodePage)
{
    documentCodePage_ = documentCodePage;
    currentIndex_ = -1;
    pending_.clear();
    name_.clear();
}

void FontTableParser::Keyword(KeywordId id, int value)
{
    switch (id) {
    case KeywordId::Font:
        if (currentIndex_ >= 0 && !(name_.isEmpty() && pending_.isEmpty()))
            Commit();
        current_ = FontEntry();
        currentIndex_ = value;
        currentCodePage_ = 0;
        pending_.clear();
        name_.clear();
        break;
    case KeywordId::FontCharset:
        // Character sets are bytes; anything else (some Mac writers put 256) is none.
        current_.charset = value >= 0 && value <= 255 ? value : -1;
        break;
    case KeywordId::FontCodePage:
        currentCodePage_ = value;
        break;
    case KeywordId::FontFamilyNil: current_.family = FontFamily::Nil; break;
    case KeywordId::FontFamilyRoman: current_.family = FontFamily::Roman; break;
    case KeywordId::FontFamilySwiss: current_.family = FontFamily::Swiss; break;
    case KeywordId::FontFamilyModern: current_.family = FontFamily::Modern; break;
    case KeywordId::FontFamilyScript: current_.family = FontFamily::Script; break;
    case KeywordId::FontFamilyDecor: current_.family = FontFamily::Decor; break;
    case KeywordId::FontFamilyTech: current_.family = FontFamily::Tech; break;
    case KeywordId::FontFamilyBidi: current_.family = FontFamily::Bidi; break;
    default:
        break;
    }
}

void FontTableParser::Text(std::string_view bytes)
{
    if (currentIndex_ < 0)
        return;
    for (const char c : bytes) {
        if (c == ';') {
            Commit();
            if (currentIndex_ < 0)
                return;
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            pending_.append(c);
        }
    }
}

void FontTableParser::Byte(char byte)
{
    if (currentIndex_ >= 0)
        pending_.append(byte);
}

void FontTableParser::Character(QChar character)
{
    if (currentIndex_ < 0)
        return;
    DecodePending();
    name_.append(character);
}

void FontTableParser::GroupClosed()
{
    if (currentIndex_ >= 0)
        Commit();
}

void FontTableParser::Finish()
{
    GroupClosed();
}

void FontTableParser::DecodePending()
{
    if (pending_.isEmpty())
        return;
    name_ += DecodeCodePage(pending_, CodePageForFont(current_.charset, currentCodePage_, documentCodePage_));
    pending_.clear();
}

void FontTableParser::Commit()
{
    DecodePending();
    current_.name = name_.trimmed();
    current_.codePage = CodePageForFont(current_.charset, currentCodePage_, documentCodePage_);
    fonts_.insert(currentIndex_, current_);
    currentIndex_ = -1;
    name_.clear();
}

const FontEntry* FontTableParser::Find(int index) const
{
    const auto found = fonts_.constFind(index);
    return found == fonts_.constEnd() ? nullptr : &*found;
}

void ColorTableParser::Keyword(KeywordId id, int value)
{
    const int component = std::clamp(value, 0, 255);
    switch (id) {
    case KeywordId::Red: red_ = component; hasComponent_ = true; break;
    case KeywordId::Green: green_ = component; hasComponent_ = true; break;
    case KeywordId::Blue: blue_ = component; hasComponent_ = true; break;
    default: break;
    }
}

void ColorTableParser::Text(std::string_view bytes)
{
    for (const char c : bytes) {
        if (c != ';')
            continue;
        colors_.push_back(hasComponent_ ? QColor(red_, green_, blue_) : QColor());
        red_ = green_ = blue_ = 0;
        hasComponent_ = false;
    }
}

QColor ColorTableParser::At(int index) const
{
    if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size())
        return QColor();
    return colors_[static_cast<std::size_t>(index)];
}

void ListTableParser::Keyword(KeywordId id, int value)
{
    // Levels beyond nine are not used by anyone; bounding them keeps the table small.
    constexpr std::size_t kMaxLevels = 9;
    switch (id) {
    case KeywordId::List:
        lists_.push_back(List());
        break;
    case KeywordId::ListLevel:
        if (!lists_.empty() && lists_.back().levelFormats.size() < kMaxLevels)
            lists_.back().levelFormats.push_back(0);
        break;
    case KeywordId::LevelNumberFormat:
        if (!lists_.empty() && !lists_.back().levelFormats.empty())
            lists_.back().levelFormats.back() = value;
        break;
    case KeywordId::ListId:
        if (!lists_.empty())
            lists_.back().id = value;
        break;
    default:
        break;
    }
}

ListKind ListTableParser::KindOf(int listId, int level) const
{
    for (const List& list : lists_) {
        if (list.id != listId || list.levelFormats.empty())
            continue;
        const int last = static_cast<int>(list.levelFormats.size()) - 1;
        const int format = list.levelFormats[static_cast<std::size_t>(std::clamp(level, 0, last))];
        return format == 23 ? ListKind::Bullet : format == 255 ? ListKind::None : ListKind::Numbered;
    }
    return ListKind::None;
}

void ListOverrideTableParser::Keyword(KeywordId id, int value)
{
    switch (id) {
    case KeywordId::ListOverride:
        overrides_.push_back(Override());
        break;
    case KeywordId::ListId:
        if (!overrides_.empty())
            overrides_.back().listId = value;
        break;
    case KeywordId::ListStyle:
        if (!overrides_.empty())
            overrides_.back().listStyle = value;
        break;
    default:
        break;
    }
}

std::optional<int> ListOverrideTableParser::ListIdOf(int listStyle) const
{
    for (const Override& entry : overrides_)
        if (entry.listStyle == listStyle)
            return entry.listId;
    return std::nullopt;
}

void PnParser::Keyword(KeywordId id)
{
    switch (id) {
    case KeywordId::PnBullet: kind_ = PnKind::Bullet; break;
    case KeywordId::PnBody:
    case KeywordId::PnLevel: kind_ = PnKind::Numbered; break;
    case KeywordId::PnContinue: kind_ = PnKind::None; break;
    default: break;
    }
}

} // namespace rtf
