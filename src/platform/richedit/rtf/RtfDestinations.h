#pragma once
// One small parser per destination that the body's formatting refers to: the font
// table, the colour table, the Word 97 list table and list override table, and the
// old-style \pn numbering. Each gets the keywords and text of its own groups only.
#include "platform/richedit/rtf/RtfKeywords.h"
#include "platform/richedit/rtf/RtfState.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

namespace rtf {

enum class FontFamily : std::uint8_t { Nil, Roman, Swiss, Modern, Script, Decor, Tech, Bidi };

struct FontEntry {
    QString name;
    int charset = -1;   // \fcharsetN; -1: none given
    int codePage = 0;   // the code page its text is read in
    FontFamily family = FontFamily::Nil;
};

// Font entries come one per group ({\f0\fnil\fcharset0 Arial;}) or one after another
// in the table's own group; a name ends at ';' or at the end of its group.
class FontTableParser {
public:
    // Starts a table; bytes of names are read in the fonts' code pages, falling back
    // to documentCodePage.
    void Begin(int documentCodePage);
    void Keyword(KeywordId id, int value);
    // Plain text of a name: ';' ends the entry.
    void Text(std::string_view bytes);
    // An \'hh byte of a name (never an end of entry, even when it is ';').
    void Byte(char byte);
    void Character(QChar character);
    // A group inside the table closed: the entry it held is complete.
    void GroupClosed();
    void Finish();

    const FontEntry* Find(int index) const;
    void SetDocumentCodePage(int codePage) { documentCodePage_ = codePage; }

private:
    void Commit();
    void DecodePending();

    QHash<int, FontEntry> fonts_;
    FontEntry current_;
    int currentIndex_ = -1;  // -1: no entry open
    int currentCodePage_ = 0;
    QByteArray pending_;
    QString name_;
    int documentCodePage_ = 1252;
};

// Entries end at ';'; an entry without colour components is the automatic colour.
class ColorTableParser {
public:
    void Keyword(KeywordId id, int value);
    void Text(std::string_view bytes);
    // The colour of \cfN; invalid for the automatic colour or an index not in the table.
    QColor At(int index) const;

private:
    std::vector<QColor> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool hasComponent_ = false;
};

enum class ListKind : std::uint8_t { None, Bullet, Numbered };

// \listtable: each \list has an \listid and levels with a number format (\levelnfc:
// 23 a bullet, 255 nothing shown, anything else a number).
class ListTableParser {
public:
    void Keyword(KeywordId id, int value);
    ListKind KindOf(int listId, int level) const;

private:
    struct List {
        int id = 0;
        std::vector<int> levelFormats;
    };
    std::vector<List> lists_;
};

// \listoverridetable: maps the \lsN that paragraphs use to a list's \listid.
class ListOverrideTableParser {
public:
    void Keyword(KeywordId id, int value);
    // The list id of \lsN; nothing when there is no such override.
    std::optional<int> ListIdOf(int listStyle) const;

private:
    struct Override {
        int listId = 0;
        int listStyle = 0;
    };
    std::vector<Override> overrides_;
};

// \pn: what kind of numbering the paragraph that holds it has.
class PnParser {
public:
    // A \pn without a level keyword still numbers its paragraph: a bullet then.
    void Begin() { kind_ = PnKind::Bullet; }
    void Keyword(KeywordId id);
    PnKind Kind() const { return kind_; }

private:
    PnKind kind_ = PnKind::None;
};

} // namespace rtf
