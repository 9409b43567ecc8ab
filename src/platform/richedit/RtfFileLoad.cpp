#include "platform/richedit/RtfFileLoad.h"

#include <algorithm>
#include <cstring>

namespace {

// Read before the control returns: several screenfuls of ordinary paragraphs, in a few
// milliseconds. A paragraph is never split, so one huge paragraph comes in whole.
constexpr int kFirstParagraphs = 150;

} // namespace

TRtfFileLoad::TRtfFileLoad(const QString& path, const QByteArray& head, std::unique_ptr<QIODevice> file,
                           qint64 fileSize, QTextDocument& doc, int ppi, QStringList& unkept)
    : TLoadInProgress(path), head_(head), file_(std::move(file)), size_(head.size() + (file_ ? fileSize : 0)),
      reader_(*this, doc, ppi), unkept_(unkept)
{
    unkept_.clear();
    if (reader_.ReadParagraphs(kFirstParagraphs))
        TakeUnkept();
}

std::size_t TRtfFileLoad::Read(char* out, std::size_t max)
{
    if (headAt_ < head_.size()) {
        const qsizetype count = std::min<qsizetype>(head_.size() - headAt_, static_cast<qsizetype>(max));
        std::memcpy(out, head_.constData() + headAt_, static_cast<std::size_t>(count));
        headAt_ += count;
        if (headAt_ == head_.size())
            head_.clear();
        return static_cast<std::size_t>(count);
    }
    if (!file_ || !failure_.isEmpty())
        return 0;
    const qint64 count = file_->read(out, static_cast<qint64>(max));
    if (count >= 0)
        return static_cast<std::size_t>(count);
    failure_ = PartlyReadFailure(Path(), file_->errorString());
    return 0;
}

TLoadInProgress::Step TRtfFileLoad::LoadOn(qint64 budgetNs)
{
    // Half the slice for reading: ending the slice's edit block lays out what it read,
    // which takes about as long again. The reader counts whole milliseconds.
    const int budgetMs = budgetNs < 0 ? -1 : static_cast<int>(std::max<qint64>(1, budgetNs / 2'000'000));
    if (!reader_.ReadSome(budgetMs))
        return Step::More;
    if (!failure_.isEmpty())
        return Step::Failed;
    TakeUnkept();
    return Step::Done;
}

void TRtfFileLoad::TakeUnkept()
{
    unkept_ = reader_.Unkept();
}

int TRtfFileLoad::Percent() const
{
    return static_cast<int>(100.0 * double(reader_.BytesRead()) / std::max<qsizetype>(1, size_));
}

double TRtfFileLoad::ExpectedParagraphs(int loaded) const
{
    return loaded * double(size_) / std::max<qsizetype>(1, reader_.BytesRead());
}

QString TRtfFileLoad::TakeWarning()
{
    // What cannot be kept is known only once the whole file is read.
    if (warned_ || !reader_.AtEnd() || unkept_.isEmpty() || !failure_.isEmpty())
        return QString();
    warned_ = true;
    return UnkeptContentWarning(Path(), unkept_);
}
