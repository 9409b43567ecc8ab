#include "platform/richedit/TextFileLoad.h"

#include <QElapsedTimer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Bytes decoded at once between appends, and read at once from the file.
constexpr qsizetype kPieceBytes = 256 * 1024;
constexpr qint64 kReadBytes = 1024 * 1024;
// One append takes about kAppendNs, so that a slice ends close to its budget.
constexpr qint64 kAppendNs = 2'000'000;
constexpr qsizetype kMinBatchChars = 4 * 1024;
constexpr qsizetype kMaxBatchChars = 4 * 1024 * 1024;

// The end of the next batch of text: about `size` characters on from `from`, after a
// line break when there is one before the text's end.
qsizetype BatchEnd(const QString& text, qsizetype from, qsizetype size)
{
    if (text.size() - from <= size)
        return text.size();
    const qsizetype lineEnd = text.indexOf(u'\n', from + size - 1);
    return lineEnd < 0 ? text.size() : lineEnd + 1;
}

} // namespace

TTextFileLoad::TTextFileLoad(const QString& path, TTextPieces pieces, std::unique_ptr<QFile> file,
                             QTextDocument& doc, TextFileFormat& format, bool warned)
    : TLoadInProgress(path), pieces_(std::move(pieces)), file_(std::move(file)), doc_(doc), format_(format),
      warned_(warned)
{
}

bool TTextFileLoad::ReadMoreOfFile(bool all)
{
    if (!file_) {
        pieces_.Supply(QByteArrayView(), true);
        return true;
    }
    const QByteArray bytes = all ? file_->readAll() : file_->read(kReadBytes);
    if (file_->error() == QFileDevice::NoError) {
        pieces_.Supply(bytes, bytes.isEmpty() || file_->atEnd());
        return true;
    }
    failure_ = PartlyReadFailure(Path(), file_->errorString());
    return false;
}

TLoadInProgress::Step TTextFileLoad::LoadOn(qint64 budgetNs)
{
    QElapsedTimer timer;
    timer.start();
    while (budgetNs < 0 || timer.nsecsElapsed() < budgetNs) {
        if (pendingAt_ >= pending_.size()) {
            if (pieces_.AtEnd())
                break;
            // Finishing at once, everything left is decoded and appended in one go.
            pending_ = pieces_.Next(budgetNs < 0 ? pieces_.Size() : kPieceBytes);
            pendingAt_ = 0;
            if (pieces_.Starved() && !ReadMoreOfFile(budgetNs < 0))
                return Step::Failed;
            continue;
        }
        const qsizetype size = budgetNs < 0 ? pending_.size() : batchChars_;
        const qsizetype end = BatchEnd(pending_, pendingAt_, size);
        const qint64 before = timer.nsecsElapsed();
        Append(pending_.mid(pendingAt_, end - pendingAt_));
        const qint64 took = std::max<qint64>(1, timer.nsecsElapsed() - before);
        const qsizetype appended = end - pendingAt_;
        pendingAt_ = end;
        if (budgetNs >= 0 && appended >= batchChars_ / 2)
            batchChars_ = std::clamp<qsizetype>(qsizetype(double(appended) * kAppendNs / took), kMinBatchChars, kMaxBatchChars);
    }
    if (!pieces_.AtEnd() || pendingAt_ < pending_.size())
        return Step::More;
    format_.incompleteUnit = pieces_.IncompleteUnit();
    return Step::Done;
}

void TTextFileLoad::Append(const QString& text)
{
    QTextCursor end(&doc_);
    end.movePosition(QTextCursor::End);
    end.insertText(text, QTextCharFormat());
}

int TTextFileLoad::Percent() const
{
    const double pendingShare = pending_.isEmpty() ? 0 : double(pending_.size() - pendingAt_) / pending_.size();
    const double left = pendingShare * kPieceBytes;
    return static_cast<int>(100.0 * std::max(0.0, pieces_.Decoded() - left) / std::max<qsizetype>(1, pieces_.Size()));
}

double TTextFileLoad::ExpectedParagraphs(int loaded) const
{
    return loaded * double(pieces_.Size()) / std::max<qsizetype>(1, pieces_.Decoded());
}

QString TTextFileLoad::TakeWarning()
{
    if (warned_ || !pieces_.HadUndecodableBytes())
        return QString();
    warned_ = true;
    return UndecodableBytesWarning(Path(), format_.encoding);
}
