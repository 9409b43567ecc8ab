#include "platform/text/EncodingDetector.h"

#include "platform/text/CodePages.h"
#include "platform/text/Utf16Text.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <array>
#include <mutex>
#include <optional>

#include <uchardet/uchardet.h>

namespace {

using G = LanguageGroup;

// An encoding and the language groups written in it. The prior is what it costs to
// guess this encoding when nothing in the text favours it: the rarer encodings of a
// language cost more, so that a text they read the same way goes to the common one.
struct Candidate {
    const char* encoding;
    std::initializer_list<G> groups;
    std::uint32_t prior;
    bool singleByte;
};

// An empty group list stands for every group (Unicode).
const Candidate kCandidates[] = {
    {"UTF-8", {}, 0, false},
    {"UTF-16LE", {}, 8, false},
    {"UTF-16BE", {}, 8, false},
    {"CP932", {G::Japanese}, 0, false},
    {"EUC-JP", {G::Japanese}, 4, false},
    {"CP949", {G::Korean}, 0, false},
    {"CP1361", {G::Korean}, 16, false},
    {"CP936", {G::SimplifiedChinese}, 0, false},
    {"GB18030", {G::SimplifiedChinese}, 16, false},
    {"CP950", {G::TraditionalChinese}, 0, false},
    {"BIG5-HKSCS", {G::TraditionalChinese}, 16, false},
    {"CP1253", {G::Greek}, 0, true},
    {"ISO-8859-7", {G::Greek}, 8, true},
    {"CP1254", {G::Turkish}, 0, true},
    {"ISO-8859-9", {G::Turkish}, 8, true},
    {"CP1258", {G::Vietnamese}, 0, false},  // iconv composes its tone marks
    {"CP1255", {G::Hebrew}, 0, false},      // and its Hebrew points
    {"ISO-8859-8", {G::Hebrew}, 8, true},
    {"CP1256", {G::Arabic}, 0, true},
    {"ISO-8859-6", {G::Arabic}, 8, true},
    {"CP1257", {G::Baltic}, 0, true},
    {"ISO-8859-13", {G::Baltic}, 8, true},
    {"ISO-8859-4", {G::Baltic}, 16, true},
    {"CP1251", {G::Cyrillic}, 0, true},
    {"KOI8-R", {G::Cyrillic}, 4, true},
    {"KOI8-U", {G::Cyrillic}, 6, true},
    {"CP866", {G::Cyrillic}, 8, true},
    {"ISO-8859-5", {G::Cyrillic}, 16, true},
    {"CP874", {G::Thai}, 0, true},
    {"CP1250", {G::CentralEuropean}, 0, true},
    {"ISO-8859-2", {G::CentralEuropean}, 8, true},
    {"CP1252", {G::Western, G::Turkish, G::Vietnamese, G::Baltic, G::CentralEuropean}, 0, true},
    {"ISO-8859-1", {G::Western}, 8, true},
    {"ISO-8859-15", {G::Western}, 12, true},
};
constexpr int kCandidateCount = sizeof kCandidates / sizeof kCandidates[0];

// What it costs an encoding of another language than the user's own.
constexpr std::uint32_t kForeignLocale = 3 * kCostUnitsPerNat;
// What uchardet's pick saves: more once it has seen enough bytes to be good at it.
constexpr std::uint32_t kUchardetBonus = 2 * kCostUnitsPerNat;
constexpr std::uint32_t kUchardetBonusLong = 5 * kCostUnitsPerNat;
constexpr qsizetype kUchardetLong = 256;
// A lead smaller than this over a candidate that reads a different text is unsure: a
// few nats, and more for a longer text, up to a limit.
constexpr std::uint32_t kSureMargin = 4 * kCostUnitsPerNat;
constexpr std::uint32_t kSureMarginLimit = 12 * kCostUnitsPerNat;
// A text whose letters beyond ASCII are one or two, however often repeated, is told
// by those alone: any code page reads them as some letter, and each repetition adds
// little. The lead is sure only past the largest margin and half a nat for each time
// they occur, up to twice the largest margin.
constexpr int kFewDistinct = 2;
std::uint32_t sureMargin(const QString& text)
{
    char16_t seen[kFewDistinct] = {};
    int distinct = 0;
    std::uint32_t occurrences = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80)
            continue;
        ++occurrences;
        if (std::find(seen, seen + distinct, u) != seen + distinct)
            continue;
        if (distinct == kFewDistinct) {
            ++distinct;
            break;
        }
        seen[distinct++] = u;
    }
    if (distinct <= kFewDistinct)
        return std::min(2 * kSureMarginLimit, kSureMarginLimit + occurrences * kCostUnitsPerNat / 2);
    return std::min<std::uint32_t>(kSureMarginLimit, kSureMargin + std::uint32_t(text.size()) * kCostUnitsPerNat / 10);
}

// The bytes weighed: enough for any real text to tell, few enough to weigh quickly.
constexpr qsizetype kSampleBytes = 4 * 1024;
// A candidate that cannot read more than kDamageAllowed of the first kDamageProbe bytes
// of a sample is dropped.
constexpr qsizetype kDamageProbe = 512;
constexpr qsizetype kDamageAllowed = 2;
constexpr qsizetype kLeadIn = 256;

// The characters of each byte in a single-byte encoding; 0xFFFF for a byte it does not
// define. Made once from iconv.
using ByteTable = std::array<char16_t, 256>;

const ByteTable& byteTable(int candidate)
{
    static std::once_flag once;
    static std::array<ByteTable, kCandidateCount> tables;
    std::call_once(once, [] {
        for (int c = 0; c < kCandidateCount; ++c) {
            if (!kCandidates[c].singleByte)
                continue;
            for (int b = 0; b < 256; ++b) {
                const char byte = char(b);
                const std::optional<QString> text =
                    DecodeBytes(QByteArray(&byte, 1), kCandidates[c].encoding, nullptr, true);
                tables[c][b] = text && text->size() == 1 ? text->at(0).unicode() : char16_t(0xFFFF);
            }
        }
    });
    return tables[candidate];
}

// A byte the encoding does not define becomes U+FFFD, which no language writes.
QString decodeSingleByte(const QByteArray& sample, int candidate)
{
    const ByteTable& table = byteTable(candidate);
    QString text(sample.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < sample.size(); ++i) {
        const char16_t u = table[static_cast<unsigned char>(sample[i])];
        out[i] = u == 0xFFFF ? char16_t(0xFFFD) : u;
    }
    return text;
}

// The sample in a candidate. A damaged file is still weighed, each byte the encoding
// cannot read costing as a character no language writes: a file of UTF-8 cut off in
// the middle of a character is still UTF-8. A sample cut from a longer file may end
// inside a character: up to three bytes are dropped then.
QString decodeSample(const QByteArray& sample, bool cut, int candidate)
{
    const Candidate& c = kCandidates[candidate];
    bool littleEndian = false;
    if (IsUtf16Encoding(c.encoding, &littleEndian))
        return DecodeUtf16Units(sample.constData(), sample.size() / 2, littleEndian);
    if (c.singleByte)
        return decodeSingleByte(sample, candidate);
    if (qstrcmp(c.encoding, "UTF-8") == 0 && !cut)
        return QString::fromUtf8(sample);
    for (int dropped = 0; dropped <= (cut ? 3 : 0) && dropped < sample.size(); ++dropped) {
        std::optional<QString> text =
            DecodeBytes(QByteArray::fromRawData(sample.constData(), sample.size() - dropped), c.encoding, nullptr, true);
        if (text)
            return *text;
    }
    // A reading that fails at every other character is no reading: its start tells, at
    // a fraction of what decoding the whole sample around so many errors costs.
    bool damaged = false;
    const QString start =
        DecodeBytes(QByteArray::fromRawData(sample.constData(), qMin(sample.size(), kDamageProbe)), c.encoding, &damaged)
            .value_or(QString());
    if (start.count(QChar(0xFFFD)) > kDamageAllowed)
        return QString();
    return DecodeBytes(sample, c.encoding, &damaged).value_or(QString());
}

// uchardet's name for an encoding, as the candidate list names it.
QByteArray candidateName(const QByteArray& detected)
{
    static const QHash<QByteArray, QByteArray> names = {
        {"SHIFT_JIS", "CP932"},    {"EUC-KR", "CP949"},      {"UHC", "CP949"},       {"GB18030", "CP936"},
        {"GB2312", "CP936"},       {"BIG5", "CP950"},        {"TIS-620", "CP874"},   {"ISO-8859-11", "CP874"},
        {"WINDOWS-874", "CP874"},  {"IBM866", "CP866"},      {"JOHAB", "CP1361"},
    };
    if (detected.startsWith("WINDOWS-125"))
        return "CP" + detected.mid(8);
    return names.value(detected, detected);
}

QByteArray uchardetPick(const QByteArray& sample)
{
    uchardet_t detector = uchardet_new();
    if (!detector)
        return {};
    uchardet_handle_data(detector, sample.constData(), static_cast<size_t>(sample.size()));
    uchardet_data_end(detector);
    const QByteArray charset = QByteArray(uchardet_get_charset(detector)).toUpper();
    uchardet_delete(detector);
    return candidateName(charset);
}

struct Weighed {
    int candidate;
    QString text;
    std::uint32_t cost;
    std::uint32_t impossible;
};

}  // namespace

DetectionHints DetectionHints::FromSystem()
{
    DetectionHints hints;
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
    case QLocale::Japanese: hints.localeGroup = int(G::Japanese); break;
    case QLocale::Korean: hints.localeGroup = int(G::Korean); break;
    case QLocale::Chinese:
        hints.localeGroup = int(locale.script() == QLocale::TraditionalHanScript || locale.territory() == QLocale::Taiwan
                                        || locale.territory() == QLocale::HongKong
                                    ? G::TraditionalChinese
                                    : G::SimplifiedChinese);
        break;
    case QLocale::Greek: hints.localeGroup = int(G::Greek); break;
    case QLocale::Turkish: hints.localeGroup = int(G::Turkish); break;
    case QLocale::Vietnamese: hints.localeGroup = int(G::Vietnamese); break;
    case QLocale::Hebrew: hints.localeGroup = int(G::Hebrew); break;
    case QLocale::Arabic: hints.localeGroup = int(G::Arabic); break;
    case QLocale::Lithuanian:
    case QLocale::Latvian:
    case QLocale::Estonian: hints.localeGroup = int(G::Baltic); break;
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Bulgarian:
    case QLocale::Belarusian: hints.localeGroup = int(G::Cyrillic); break;
    case QLocale::Thai: hints.localeGroup = int(G::Thai); break;
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Hungarian:
    case QLocale::Slovak:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian: hints.localeGroup = int(G::CentralEuropean); break;
    default: break;
    }
    return hints;
}

EncodingGuess GuessEncoding(const QByteArray& bytes, const DetectionHints& hints)
{
    // The sample starts a little before the first byte that is not ASCII, on a boundary
    // of four bytes so that UTF-16 stays aligned.
    qsizetype firstHigh = 0;
    while (firstHigh < bytes.size() && static_cast<unsigned char>(bytes[firstHigh]) < 0x80
           && bytes[firstHigh] != 0)
        ++firstHigh;
    const qsizetype start = bytes.size() <= kSampleBytes ? 0 : qMax<qsizetype>(0, firstHigh - kLeadIn) & ~qsizetype(3);
    const qsizetype length = qMin(kSampleBytes, bytes.size() - start);
    const QByteArray sample = QByteArray::fromRawData(bytes.constData() + start, length);
    const bool cut = length < bytes.size();

    const QByteArray uchardet = uchardetPick(sample);
    std::vector<Weighed> weighed;
    for (int c = 0; c < kCandidateCount; ++c) {
        const Candidate& candidate = kCandidates[c];
        bool littleEndian = false;
        if (IsUtf16Encoding(candidate.encoding, &littleEndian) && !cut && sample.size() % 2 != 0)
            continue;
        const QString text = decodeSample(sample, cut, c);
        if (text.isEmpty())
            continue;
        TextCost best{UINT32_MAX, 0};
        std::uint32_t bestGroupCost = 0;
        const auto weigh = [&](G group) {
            const TextCost cost = CostInLanguage(text, group);
            const std::uint32_t locale = hints.localeGroup >= 0 && hints.localeGroup != int(group) ? kForeignLocale : 0;
            if (cost.total + locale < best.total + bestGroupCost) {
                best = cost;
                bestGroupCost = locale;
            }
        };
        if (candidate.groups.size() == 0) {
            for (int g = 0; g < kLanguageGroupCount; ++g)
                weigh(G(g));
            bestGroupCost = 0;  // Unicode is everybody's encoding
        } else {
            for (const G group : candidate.groups)
                weigh(group);
        }
        std::uint32_t cost = best.total + bestGroupCost + candidate.prior;
        if (uchardet == candidate.encoding) {
            const std::uint32_t bonus = sample.size() >= kUchardetLong ? kUchardetBonusLong : kUchardetBonus;
            cost = cost > bonus ? cost - bonus : 0;
        }
        weighed.push_back({c, text, cost, best.impossible});
    }
    std::stable_sort(weighed.begin(), weighed.end(),
                     [](const Weighed& a, const Weighed& b) { return a.cost < b.cost; });

    EncodingGuess guess;
    for (const Weighed& w : weighed)
        guess.ranked << kCandidates[w.candidate].encoding;
    if (weighed.empty())
        return guess;
    const Weighed& best = weighed.front();
    guess.unsure = best.impossible > 0;
    for (std::size_t i = 1; i < weighed.size() && guess.alternatives.size() < 3; ++i) {
        const Weighed& other = weighed[i];
        if (other.text == best.text)
            continue;
        bool seen = false;
        for (std::size_t j = 1; j < i && !seen; ++j)
            seen = weighed[j].text == other.text;
        if (seen)
            continue;
        if (guess.alternatives.isEmpty() && other.cost < best.cost + sureMargin(best.text))
            guess.unsure = true;
        guess.alternatives << kCandidates[other.candidate].encoding;
    }
    return guess;
}
