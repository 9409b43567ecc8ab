#include "platform/recovery/DocumentJournalCodec.h"

#include "platform/recovery/JournalFraming.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QPointer>
#include <QUrl>

const QByteArray DocumentJournal::kMagic = QByteArrayLiteral("TESSERINE-JOURNAL\n");

namespace {

enum RecordType : quint8 {
    kFormatRecord = 1,    // qint32 id, QTextFormat
    kPictureRecord = 2,   // QString name, QVariant resource
    kReplaceRecord = 3,   // qint32 pos, removed; QString text; runs; block format ids
    kStateRecord = 4,     // QByteArray
    kCaretRecord = 5,     // qint32 caret, length
    kBaseRecord = 6,      // qint32 length, QByteArray base
};

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_4;

int ContentLength(const QTextDocument& doc)
{
    return doc.characterCount() - 1;
}

struct Run {
    qint32 length;
    qint32 format;
};

// A paragraph of a record: its format and the list (bullets) it belongs to, named by
// the list's object index in the recorded document, with the list's format; -1 for none.
struct Paragraph {
    qint32 format = -1;
    qint32 list = -1;
    qint32 listFormat = -1;

    bool operator==(const Paragraph& other) const
    {
        return format == other.format && list == other.list && listFormat == other.listFormat;
    }
};

} // namespace

TJournalStream::TJournalStream()
    : bytes_(JournalFraming::Header(DocumentJournal::kMagic, DocumentJournal::kVersion))
{
}

QByteArray TJournalStream::Take()
{
    taken_ += bytes_.size();
    QByteArray taken;
    taken.swap(bytes_);
    return taken;
}

qint32 TJournalStream::FormatId(const QTextDocument& doc, int index, const QTextFormat& format)
{
    if (index < 0)
        return -1;
    if (size_t(index) < formats_.size() && formats_[size_t(index)] == format && formats_[size_t(index)].isValid())
        return index;
    if (size_t(index) >= formats_.size())
        formats_.resize(size_t(index) + 1);
    formats_[size_t(index)] = format;
    if (format.isImageFormat()) {
        const QString name = format.toImageFormat().name();
        if (!pictures_.contains(name)) {
            const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(name));
            if (resource.isValid()) {
                pictures_.insert(name);
                QByteArray payload;
                QDataStream out(&payload, QIODevice::WriteOnly);
                out.setVersion(kStreamVersion);
                out << name << resource;
                JournalFraming::AppendRecord(bytes_, kPictureRecord, payload);
            }
        }
    }
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << qint32(index) << format;
    JournalFraming::AppendRecord(bytes_, kFormatRecord, payload);
    return index;
}

void TJournalStream::AppendReplace(const QTextDocument& doc, int pos, int removed, int to)
{
    const int length = ContentLength(doc);
    pos = qBound(0, pos, length);
    to = qBound(pos, to, length);
    QString text;
    std::vector<Run> runs;
    std::vector<Paragraph> blocks;
    const auto paragraph = [this, &doc](const QTextBlock& of) {
        Paragraph entry;
        entry.format = FormatId(doc, of.blockFormatIndex(), of.blockFormat());
        if (const QTextList* list = of.textList()) {
            entry.list = list->objectIndex();
            entry.listFormat = FormatId(doc, list->formatIndex(), list->format());
        }
        return entry;
    };
    const auto addRun = [&runs](int runLength, qint32 format) {
        if (runLength <= 0)
            return;
        if (!runs.empty() && runs.back().format == format)
            runs.back().length += runLength;
        else
            runs.push_back({runLength, format});
    };
    QTextBlock block = doc.findBlock(pos);
    blocks.push_back(paragraph(block));
    if (to > pos) {
        QTextCursor range(const_cast<QTextDocument*>(&doc));
        range.setPosition(pos);
        range.setPosition(to, QTextCursor::KeepAnchor);
        text = range.selectedText();
        for (; block.isValid() && block.position() < to; block = block.next()) {
            const int blockStart = block.position();
            const int blockEnd = blockStart + block.length() - 1;  // its separator
            if (blockEnd >= pos) {
                // Positions from the fragments' lengths: a fragment's position is a walk
                // through the document's tree, too slow for a paragraph of many runs.
                int fragmentStart = blockStart;
                for (QTextBlock::iterator it = block.begin(); !it.atEnd() && fragmentStart < to; ++it) {
                    const QTextFragment fragment = it.fragment();
                    const int fragmentEnd = fragmentStart + fragment.length();
                    const int start = qMax(pos, fragmentStart);
                    const int end = qMin(to, fragmentEnd);
                    if (end > start)
                        addRun(end - start, FormatId(doc, fragment.charFormatIndex(), fragment.charFormat()));
                    fragmentStart = fragmentEnd;
                }
            }
            const QTextBlock next = block.next();
            if (blockEnd >= pos && blockEnd < to && next.isValid()) {
                addRun(1, FormatId(doc, next.charFormatIndex(), next.charFormat()));
                blocks.push_back(paragraph(next));
            }
        }
    }
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << qint32(pos) << qint32(removed) << text << qint32(runs.size());
    for (const Run& run : runs)
        out << run.length << run.format;
    out << qint32(blocks.size());
    for (const Paragraph& entry : blocks)
        out << entry.format << entry.list << entry.listFormat;
    JournalFraming::AppendRecord(bytes_, kReplaceRecord, payload);
}

void TJournalStream::AppendState(const QByteArray& state)
{
    JournalFraming::AppendRecord(bytes_, kStateRecord, state);
}

void TJournalStream::AppendBase(const QByteArray& base, int length)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << qint32(length) << base;
    JournalFraming::AppendRecord(bytes_, kBaseRecord, payload);
}

void TJournalStream::AppendCaret(int caret, int length)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out << qint32(caret) << qint32(length);
    JournalFraming::AppendRecord(bytes_, kCaretRecord, payload);
}

namespace {

class Replayer {
public:
    Replayer(QTextDocument* doc, const TJournalBaseLoader& loadBase)
        : doc_(doc)
        , cursor_(doc ? QTextCursor(doc) : QTextCursor())
        , loadBase_(loadBase)
    {
    }

    ~Replayer()
    {
        if (editing_) {
            cursor_.endEditBlock();
            doc_->setUndoRedoEnabled(undo_);
        }
    }

    // False when the record is not one this program writes: replay stops there.
    bool Apply(const JournalFraming::Record& record, TJournalReplay& result)
    {
        QDataStream in(record.payload);
        in.setVersion(kStreamVersion);
        switch (record.type) {
        case kFormatRecord: {
            qint32 id = 0;
            QTextFormat format;
            in >> id >> format;
            formats_.insert(id, format);
            break;
        }
        case kPictureRecord: {
            QString name;
            QVariant resource;
            in >> name >> resource;
            if (doc_ && in.status() == QDataStream::Ok)
                doc_->addResource(QTextDocument::ImageResource, QUrl(name), resource);
            break;
        }
        case kReplaceRecord:
            if (doc_ && !editing_) {
                // One edit block for the whole replay: the layout runs once, at the end.
                editing_ = true;
                undo_ = doc_->isUndoRedoEnabled();
                doc_->setUndoRedoEnabled(false);
                cursor_.beginEditBlock();
            }
            if (!Replace(in))
                return false;
            break;
        case kBaseRecord: {
            qint32 length = 0;
            QByteArray base;
            in >> length >> base;
            if (!doc_ || in.status() != QDataStream::Ok)
                break;
            // Loaded before any change is replayed; a document of another length than
            // the one the journal started from would take the changes in wrong places.
            if (editing_ || !loadBase_ || !loadBase_(base) || doc_->characterCount() - 1 != length) {
                result.baseMissing = true;
                return false;
            }
            cursor_ = QTextCursor(doc_);
            break;
        }
        case kStateRecord:
            result.state = record.payload;
            break;
        case kCaretRecord: {
            qint32 caret = -1, length = -1;
            in >> caret >> length;
            result.caret = caret;
            result.length = length;
            break;
        }
        default:
            return false;
        }
        return in.status() == QDataStream::Ok;
    }

private:
    bool Replace(QDataStream& in)
    {
        qint32 pos = 0, removed = 0, runCount = 0, blockCount = 0;
        QString text;
        in >> pos >> removed >> text >> runCount;
        if (in.status() != QDataStream::Ok || runCount < 0 || runCount > text.size() + 1)
            return false;
        std::vector<Run> runs(static_cast<size_t>(runCount));
        for (Run& run : runs)
            in >> run.length >> run.format;
        in >> blockCount;
        if (in.status() != QDataStream::Ok || blockCount < 0 || blockCount > text.size() + 1)
            return false;
        std::vector<Paragraph> blocks(static_cast<size_t>(blockCount));
        for (Paragraph& entry : blocks)
            in >> entry.format >> entry.list >> entry.listFormat;
        if (in.status() != QDataStream::Ok || !doc_)
            return in.status() == QDataStream::Ok;
        const int length = ContentLength(*doc_);
        const int start = qBound(0, int(pos), length);
        const int end = qBound(start, int(qint64(pos) + removed), length);
        cursor_.setPosition(start);
        cursor_.setPosition(end, QTextCursor::KeepAnchor);
        cursor_.removeSelectedText();
        if (!blocks.empty()) {
            cursor_.setBlockFormat(BlockFormat(blocks[0]));
            JoinList(blocks[0]);
        }
        // Text is inserted in as few calls as the formats allow: a paragraph break whose
        // next paragraph is like the one the cursor is in stays in the text, and Qt gives
        // the new paragraph the same format and list.
        size_t nextBlock = 1;
        Paragraph current = blocks.empty() ? Paragraph() : blocks[0];
        int offset = 0;
        for (const Run& run : runs) {
            if (run.length < 0 || run.length > text.size() - offset)
                return false;
            const QTextCharFormat format = formats_.value(run.format).toCharFormat();
            int pieceStart = offset;
            const int runEnd = offset + run.length;
            for (int i = offset; i < runEnd; ++i) {
                if (text.at(i) != QChar::ParagraphSeparator)
                    continue;
                const Paragraph paragraph = nextBlock < blocks.size() ? blocks[nextBlock] : Paragraph();
                ++nextBlock;
                if (paragraph == current)
                    continue;
                if (i > pieceStart)
                    cursor_.insertText(text.mid(pieceStart, i - pieceStart), format);
                cursor_.insertBlock(BlockFormat(paragraph), format);
                JoinList(paragraph);
                current = paragraph;
                pieceStart = i + 1;
            }
            if (runEnd > pieceStart)
                cursor_.insertText(text.mid(pieceStart, runEnd - pieceStart), format);
            offset = runEnd;
        }
        return true;
    }

    // The paragraph's format without the recorded document's list: JoinList puts the
    // paragraph in the list of this document that stands for it.
    QTextBlockFormat BlockFormat(const Paragraph& paragraph) const
    {
        QTextBlockFormat format = formats_.value(paragraph.format).toBlockFormat();
        format.setObjectIndex(-1);
        return format;
    }

    void JoinList(const Paragraph& paragraph)
    {
        if (paragraph.list < 0)
            return;
        const QTextListFormat format = formats_.value(paragraph.listFormat).toListFormat();
        QPointer<QTextList>& list = lists_[paragraph.list];
        if (!list) {
            list = cursor_.createList(format);
            return;
        }
        if (list->format() != format)
            list->setFormat(format);
        list->add(cursor_.block());
    }

    QTextDocument* doc_;
    QTextCursor cursor_;
    TJournalBaseLoader loadBase_;
    bool editing_ = false;
    bool undo_ = true;
    QHash<qint32, QTextFormat> formats_;
    QHash<qint32, QPointer<QTextList>> lists_;
};

} // namespace

TJournalReplay ReplayJournal(const QByteArray& bytes, QTextDocument* doc, const TJournalBaseLoader& loadBase)
{
    TJournalReplay result;
    const JournalFraming::Parsed parsed = JournalFraming::Parse(bytes, DocumentJournal::kMagic, DocumentJournal::kVersion);
    result.isJournal = parsed.isJournal;
    result.cut = parsed.cut;
    if (!parsed.isJournal)
        return result;
    Replayer replayer(doc, loadBase);
    for (const JournalFraming::Record& record : parsed.records) {
        if (!replayer.Apply(record, result)) {
            result.cut = true;
            break;
        }
        ++result.records;
    }
    return result;
}

TJournalReplay ReplayJournalFile(const QString& path, QTextDocument* doc, const TJournalBaseLoader& loadBase)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TJournalReplay();
    TJournalReplay result = ReplayJournal(file.readAll(), doc, loadBase);
    result.written = QFileInfo(path).lastModified();
    return result;
}
