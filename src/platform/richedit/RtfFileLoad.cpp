#include "platform/richedit/RtfFileLoad.h"

#include <algorithm>

namespace {

// Read before the control returns: several screenfuls of ordinary paragraphs, in a few
// milliseconds. A paragraph is never split, so one huge paragraph comes in whole.
constexpr int kFirstParagraphs = 150;

} // namespace

TRtfFileLoad::TRtfFileLoad(const QString& path, const QByteArray& bytes, QTextDocument& doc, int ppi,
                           QStringList& unkept)
    : TLoadInProgress(path), bytes_(bytes), reader_(bytes_, doc, ppi), unkept_(unkept)
{
    unkept_.clear();
    if (reader_.ReadParagraphs(kFirstParagraphs))
        TakeUnkept();
}

TLoadInProgress::Step TRtfFileLoad::LoadOn(qint64 budgetNs)
{
    // Half the slice for reading: ending the slice's edit block lays out what it read,
    // which takes about as long again. The reader counts whole milliseconds.
    const int budgetMs = budgetNs < 0 ? -1 : static_cast<int>(std::max<qint64>(1, budgetNs / 2'000'000));
    if (!reader_.ReadSome(budgetMs))
        return Step::More;
    TakeUnkept();
    return Step::Done;
}

void TRtfFileLoad::TakeUnkept()
{
    unkept_ = reader_.Unkept();
}

int TRtfFileLoad::Percent() const
{
    return static_cast<int>(100.0 * double(reader_.BytesRead()) / std::max<qsizetype>(1, bytes_.size()));
}

double TRtfFileLoad::ExpectedParagraphs(int loaded) const
{
    return loaded * double(bytes_.size()) / std::max<qsizetype>(1, reader_.BytesRead());
}

QString TRtfFileLoad::TakeWarning()
{
    // What cannot be kept is known only once the whole file is read.
    if (warned_ || !reader_.AtEnd() || unkept_.isEmpty())
        return QString();
    warned_ = true;
    return UnkeptContentWarning(Path(), unkept_);
}
