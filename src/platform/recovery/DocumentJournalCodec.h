#pragma once
// The records of a document journal and how they are written and replayed. A journal
// is a list of "replace [pos, pos + removed) with this content" records, the content
// being text with runs of character formats, the block formats of the paragraphs it
// touches and, once per journal, each format and picture it refers to; beside them, the
// owner's own state and the caret. A snapshot is the same: content replacing nothing,
// slice after slice. Writing a record costs in proportion to the content it carries.
#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QTextFormat>
#include <functional>
#include <vector>

class QTextDocument;

namespace DocumentJournal {
extern const QByteArray kMagic;
constexpr quint32 kVersion = 1;
} // namespace DocumentJournal

// One journal file being produced: the bytes not yet handed to the disk, and what of
// the document it has already written once.
class TJournalStream {
public:
    // Starts with the file's header.
    TJournalStream();

    // Records that [pos, pos + removed) of the document before the change became
    // [from, to) of doc (from == pos; a snapshot slice replaces nothing).
    void AppendReplace(const QTextDocument& doc, int pos, int removed, int to);
    void AppendState(const QByteArray& state);
    // The journal starts from a document the owner can load again (a file as it is on
    // disk), described by base, of length characters; no snapshot is needed.
    void AppendBase(const QByteArray& base, int length);
    void AppendCaret(int caret, int length);

    // The bytes produced since the last call.
    QByteArray Take();
    // Every byte produced, taken or not.
    qint64 Size() const { return taken_ + bytes_.size(); }

private:
    qint32 FormatId(const QTextDocument& doc, int index, const QTextFormat& format);

    QByteArray bytes_;
    qint64 taken_ = 0;
    std::vector<QTextFormat> formats_;  // by the document's format index, as written
    QSet<QString> pictures_;
};

struct TJournalReplay {
    bool isJournal = false;
    int records = 0;      // whole records read
    bool cut = false;     // the file ends in part of a record, or damage
    QByteArray state;     // the owner's last state
    int caret = -1;       // the last caret recorded, and the document's length then
    int length = -1;
    QDateTime written;    // when the file was last written (ReplayJournalFile)
    bool baseMissing = false;  // the document the journal starts from could not be loaded
};

// Loads the document a base record describes into the document being replayed; false
// when it cannot (the file changed or is gone).
using TJournalBaseLoader = std::function<bool(const QByteArray& base)>;

// Replays the journal in bytes onto doc, which should be empty (doc null only reads
// the state and caret). Every whole record before a cut or damage is applied.
TJournalReplay ReplayJournal(const QByteArray& bytes, QTextDocument* doc, const TJournalBaseLoader& loadBase = {});

// Reads the journal file at path and replays it as ReplayJournal does; isJournal is
// false also when the file cannot be read.
TJournalReplay ReplayJournalFile(const QString& path, QTextDocument* doc, const TJournalBaseLoader& loadBase = {});
