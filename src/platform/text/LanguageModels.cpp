#include "platform/text/LanguageModels.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// A character, its cost, and what a character never seen after it costs on top of its
// own cost.
struct ModelEntry {
    char16_t character;
    std::uint8_t cost;
    std::uint8_t unseenAfter;
};
// pairs holds two characters for each of the pairCount costs.
struct ModelTable {
    LanguageGroup group;
    const ModelEntry* entries;
    std::size_t count;
    const char16_t* pairs;
    const std::uint8_t* pairCosts;
    std::size_t pairCount;
};
#include "platform/text/LanguageModelData.inc"
constexpr std::size_t kModelCount = sizeof kModelTables / sizeof kModelTables[0];

// Above the rarest listed character: an unlisted one of a script the language writes,
// and one of any other script.
constexpr std::uint32_t kUnlistedOwnScript = 12;
constexpr std::uint32_t kUnlistedOtherScript = 7 * kCostUnitsPerNat;
constexpr std::uint32_t kSupplementaryCost = 150;
constexpr std::uint32_t kNarrowOrWideForm = 1 * kCostUnitsPerNat;
constexpr std::uint32_t kStrayNul = 10 * kCostUnitsPerNat;
// Words are written in one case, or capitalised: a capital right after a small letter
// is rare in text and common in a text read in the wrong code page. A combining mark
// on no letter is a character no language writes.
constexpr std::uint32_t kCapitalAfterSmall = 3 * kCostUnitsPerNat;
constexpr std::uint32_t kMarkWithoutLetter = 12 * kCostUnitsPerNat;

// So is a letter right after a letter of another script, but for the scripts Japanese
// writes together, and Latin beside any script: text read in the wrong byte order of
// UTF-16 jumps from script to script.
constexpr std::uint32_t kScriptSwitch = 3 * kCostUnitsPerNat;

// The shape of a character: its case, whether a letter or a mark, and its script
// (0 for none), Han, hiragana and katakana being one.
enum Shape : std::uint16_t {
    Other = 0,
    Small = 1,
    Capital = 2,
    Letter = 4,
    Mark = 8,
    LatinScript = 16,
    HalfWidthKana = 32,
    Shared = 64,  // see sharedCharacter()
};
constexpr char16_t kFirstHalfWidthKana = 0xFF61, kLastHalfWidthKana = 0xFF9F;
constexpr char16_t kHalfWidthVoicedMark = 0xFF9E, kHalfWidthSemiVoicedMark = 0xFF9F;
// Half-width katakana are written in runs, a word or a message long: the first of a run
// costs this more, and the others as much as the full-width kana they stand for. A run
// of one, rare in text, is what a sign between digits read in CP932 looks like: it
// costs kLoneHalfWidthKana more, given back when a second kana follows.
constexpr std::uint32_t kHalfWidthRunStart = 2 * kCostUnitsPerNat;
constexpr std::uint32_t kLoneHalfWidthKana = 3 * kCostUnitsPerNat;
constexpr int kScriptShift = 8;

std::uint16_t scriptOf(QChar::Script script)
{
    switch (script) {
    case QChar::Script_Common:
    case QChar::Script_Inherited:
    case QChar::Script_Unknown:
        return 0;
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
        return QChar::Script_Han;
    default:
        return std::uint16_t(script);
    }
}

// ASCII, and the signs before the CJK blocks: characters whose costs all models share
// (see shareCommonCosts) and whose pairs are left to those costs.
bool sharedCharacter(char16_t u)
{
    if (u < 0x80)
        return true;
    const QChar c(u);
    return u < 0x2E80 && c.script() == QChar::Script_Common && !c.isLetterOrNumber();
}

const std::array<std::uint16_t, 0x10000>& shapes()
{
    static const auto table = [] {
        auto made = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        for (std::uint32_t u = 0; u < 0x10000; ++u) {
            const QChar c{char16_t(u)};
            std::uint16_t shape = std::uint16_t(scriptOf(c.script()) << kScriptShift);
            if (c.script() == QChar::Script_Latin)
                shape |= LatinScript;
            if (c.isLetter())
                shape |= Letter;
            if (c.isLower())
                shape |= Small;
            else if (c.isUpper())
                shape |= Capital;
            if (c.category() == QChar::Mark_NonSpacing || c.category() == QChar::Mark_SpacingCombining)
                shape |= Mark;
            // The half-width sound marks are katakana of their own, in the kana's script.
            if (u >= kFirstHalfWidthKana && u <= kLastHalfWidthKana)
                shape = std::uint16_t(QChar::Script_Han << kScriptShift | Letter | HalfWidthKana);
            if (sharedCharacter(char16_t(u)))
                shape |= Shared;
            (*made)[u] = shape;
        }
        return made;
    }();
    return *table;
}

bool isImpossible(char16_t u)
{
    if (u < 0x20)
        return u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f';
    if (u >= 0x7F && u < 0xA0)
        return true;
    if (u == 0xFFFD || u == 0xFFFE || u == 0xFFFF || QChar::isSurrogate(u))
        return true;
    const QChar::Category category = QChar::category(char32_t(u));
    return category == QChar::Other_NotAssigned || category == QChar::Other_PrivateUse;
}

// One cost per BMP code point for each group, made at first use from the listed
// characters: 64 KiB a group, looked up once per character of a text.
using CostTable = std::array<std::uint8_t, 0x10000>;

std::unique_ptr<CostTable> makeTable(const ModelTable& model, const std::vector<QChar::Script>& scripts)
{
    auto table = std::make_unique<CostTable>();
    // Scripts holding at least a fiftieth of the language's text are its own.
    std::array<double, QChar::ScriptCount> share{};
    std::uint8_t rarest = 0;
    for (std::size_t i = 0; i < model.count; ++i) {
        share[scripts[model.entries[i].character]] += std::exp(-model.entries[i].cost / double(kCostUnitsPerNat));
        rarest = std::max(rarest, model.entries[i].cost);
    }
    const auto capped = [](std::uint32_t cost) { return std::uint8_t(std::min(cost, kImpossibleCost - 1)); };
    for (std::uint32_t u = 0; u < 0x10000; ++u) {
        const QChar::Script script = scripts[u];
        if (isImpossible(char16_t(u)))
            (*table)[u] = std::uint8_t(kImpossibleCost);
        else if (share[script] >= 0.02 || script == QChar::Script_Common || script == QChar::Script_Inherited)
            (*table)[u] = capped(rarest + kUnlistedOwnScript);
        else
            (*table)[u] = capped(rarest + kUnlistedOtherScript);
    }
    std::vector<bool> listed(0x10000);
    // A stray NUL turns up in text files that some program wrote, whatever their
    // encoding: rare, but no sign of a wrong one.
    (*table)[0] = std::uint8_t(kStrayNul);
    for (std::size_t i = 0; i < model.count; ++i) {
        (*table)[model.entries[i].character] = model.entries[i].cost;
        listed[model.entries[i].character] = true;
    }
    // Half-width katakana and full-width letters are as likely as a little less than the
    // characters they are narrow or wide forms of.
    for (std::uint32_t u = 0xFF01; u <= 0xFFEE; ++u) {
        const QString plain = QChar::decomposition(char32_t(u));
        if (listed[u] || plain.size() != 1 || !listed[plain.at(0).unicode()])
            continue;
        (*table)[u] = std::min<std::uint8_t>((*table)[u], capped((*table)[plain.at(0).unicode()] + kNarrowOrWideForm));
    }
    // A half-width sound mark voices the kana before it: it is as likely as a voiced
    // katakana, of which ド stands for all.
    constexpr char16_t kVoicedKatakana = u'ド';
    for (const char16_t mark : {kHalfWidthVoicedMark, kHalfWidthSemiVoicedMark}) {
        if (!listed[mark] && listed[kVoicedKatakana])
            (*table)[mark] = capped((*table)[kVoicedKatakana] + kNarrowOrWideForm);
    }
    return table;
}

// The cost of a character after another, for the pairs a language model lists, and the
// cost of any other character after one it lists: an open-addressed hash of the pair.
class PairTable {
public:
    explicit PairTable(const ModelTable& model)
    {
        std::size_t size = 16;
        while (size < 2 * (model.pairCount + model.count))
            size *= 2;
        m_keys.assign(size, kEmpty);
        m_costs.assign(size, 0);
        m_mask = size - 1;
        for (std::size_t i = 0; i < model.pairCount; ++i)
            insert(key(model.pairs[2 * i], model.pairs[2 * i + 1]), model.pairCosts[i]);
        for (std::size_t i = 0; i < model.count; ++i) {
            if (model.entries[i].unseenAfter != 0)
                insert(key(model.entries[i].character, kAnyOther), model.entries[i].unseenAfter);
        }
    }
    // Whether any pair or unseen cost starts with `first`: most characters of other
    // scripts start none, and are weighed without a look into the hash.
    bool leads(char16_t first) const { return m_leads.test(first); }
    // The cost of `second` after `first`, or -1 when the pair is not listed.
    int pairCost(char16_t first, char16_t second) const { return find(key(first, second)); }
    // What a character not listed after `first` costs beyond its own cost.
    std::uint32_t unseenAfter(char16_t first) const { return std::uint32_t(std::max(0, find(key(first, kAnyOther)))); }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr char16_t kAnyOther = 0xFFFF;
    static std::uint32_t key(char16_t first, char16_t second) { return std::uint32_t(first) << 16 | second; }
    std::size_t slot(std::uint32_t k) const { return (k * 0x9E3779B1u >> 7) & m_mask; }
    void insert(std::uint32_t k, std::uint8_t cost)
    {
        std::size_t at = slot(k);
        while (m_keys[at] != kEmpty && m_keys[at] != k)
            at = (at + 1) & m_mask;
        m_keys[at] = k;
        m_costs[at] = cost;
        m_leads.set(k >> 16);
    }
    int find(std::uint32_t k) const
    {
        for (std::size_t at = slot(k);; at = (at + 1) & m_mask) {
            if (m_keys[at] == k)
                return m_costs[at];
            if (m_keys[at] == kEmpty)
                return -1;
        }
    }
    std::vector<std::uint32_t> m_keys;
    std::vector<std::uint8_t> m_costs;
    std::size_t m_mask = 0;
    std::bitset<0x10000> m_leads;
};

struct Model {
    std::unique_ptr<CostTable> characters;
    std::unique_ptr<PairTable> pairs;
};

// ASCII in a file is as often English, code or a name as the language of the rest, and it
// reads the same in every encoding but UTF-16: each model gives an ASCII character the
// mean of its own cost and that of all models. Signs beyond ASCII such as × or « are
// written as the catalogs' translators liked: they cost the mean of all models. So the
// letters, not how alike the catalogs' English and signs were, tell one encoding from
// another.
void shareCommonCosts(std::array<Model, kModelCount>& models)
{
    for (char16_t u = 0; u < 0x2E80; ++u) {
        if (!sharedCharacter(u))
            continue;
        std::uint32_t sum = 0;
        for (const Model& model : models)
            sum += (*model.characters)[u];
        const std::uint32_t mean = (sum + kModelCount / 2) / kModelCount;
        for (Model& model : models) {
            std::uint8_t& cost = (*model.characters)[u];
            cost = std::uint8_t(u < 0x80 ? (cost + mean + 1) / 2 : mean);
        }
    }
}

const Model& modelFor(std::size_t model)
{
    static std::once_flag once;
    static std::array<Model, kModelCount> models;
    std::call_once(once, [] {
        std::vector<QChar::Script> scripts(0x10000);
        for (std::uint32_t u = 0; u < 0x10000; ++u)
            scripts[u] = QChar::script(u);
        for (std::size_t i = 0; i < kModelCount; ++i) {
            models[i].characters = makeTable(kModelTables[i], scripts);
            models[i].pairs = std::make_unique<PairTable>(kModelTables[i]);
        }
        shareCommonCosts(models);
    });
    return models[model];
}

// Stops counting once the cost passes `limit`, the result then being over it.
TextCost costInModel(QStringView text, std::size_t model, std::uint32_t limit);

}  // namespace

TextCost CostInLanguage(QStringView text, LanguageGroup group)
{
    TextCost best{UINT32_MAX, 0};
    for (std::size_t model = 0; model < kModelCount; ++model) {
        if (kModelTables[model].group != group)
            continue;
        const TextCost cost = costInModel(text, model, best.total);
        if (cost.total < best.total)
            best = cost;
    }
    return best;
}

namespace {

TextCost costInModel(QStringView text, std::size_t model, std::uint32_t limit)
{
    const CostTable& table = *modelFor(model).characters;
    const PairTable& pairs = *modelFor(model).pairs;
    const auto& shape = shapes();
    TextCost cost;
    std::uint16_t previous = Other;
    int halfWidthRun = 0;
    // Pairs of ASCII characters and signs read alike in every encoding but UTF-16, and
    // are left to the characters' own costs.
    char16_t before = u'\n';
    const qsizetype size = text.size();
    const char16_t* units = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = units[i];
        if (QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            cost.total += kSupplementaryCost;
            before = 0xFFFF;
            ++i;
            continue;
        }
        const std::uint8_t c = table[u];
        if (c == kImpossibleCost) {
            cost.total += c;
            ++cost.impossible;
        } else if (!(shape[u] & shape[before] & Shared) && pairs.leads(before)) {
            const int pair = pairs.pairCost(before, u);
            cost.total += pair >= 0 ? std::uint32_t(pair) : c + pairs.unseenAfter(before);
        } else {
            cost.total += c;
        }
        before = u;
        const std::uint16_t current = shape[u];
        if ((current & HalfWidthKana) && !(previous & HalfWidthKana)) {
            cost.total += kHalfWidthRunStart + kLoneHalfWidthKana;
            halfWidthRun = 1;
        } else if (current & HalfWidthKana) {
            cost.total -= std::min<std::uint32_t>(c, kNarrowOrWideForm);
            if (++halfWidthRun == 2)
                cost.total -= kLoneHalfWidthKana;
        }
        if ((current & Capital) && (previous & Small))
            cost.total += kCapitalAfterSmall;
        else if ((current & Letter) && (previous & Letter) && !((current | previous) & LatinScript)
                 && (current >> kScriptShift) != (previous >> kScriptShift))
            cost.total += kScriptSwitch;
        else if ((current & Mark) && !(previous & (Letter | Mark))) {
            cost.total += kMarkWithoutLetter;
            ++cost.impossible;
        }
        previous = current;
        if (cost.total > limit)
            break;
    }
    return cost;
}

}  // namespace
