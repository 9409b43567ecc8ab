// The recovery journal: what it writes replays to the same document, formats and
// pictures included; a journal cut at any byte replays its whole records; a damaged or
// foreign file is refused; compaction keeps it small; and the store never hands one
// process's set to another. (A folder it cannot write: tst_recovery.)
#include "platform/recovery/DocumentJournal.h"
#include "platform/recovery/DocumentJournalCodec.h"
#include "platform/recovery/RecoveryStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QUrl>

#include <tuple>

namespace {

// Everything of a document a user sees or a save writes: each paragraph's format, each
// run's text and format, and the pictures the runs name.
QString Describe(const QTextDocument& doc)
{
    QString out;
    QDebug debug(&out);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QMap<int, QVariant> paragraph = block.blockFormat().properties();
        paragraph.remove(QTextFormat::ObjectIndex);  // an index into the document's own objects
        debug << "\n[block" << paragraph << "list"
              << (block.textList() ? block.textList()->format().properties() : QMap<int, QVariant>()) << "]";
        if (block.textList())
            debug << "item" << block.textList()->itemNumber(block) << "of" << block.textList()->count();
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            debug << fragment.text() << fragment.charFormat().properties();
            if (fragment.charFormat().isImageFormat()) {
                const QVariant picture = doc.resource(QTextDocument::ImageResource,
                                                      QUrl(fragment.charFormat().toImageFormat().name()));
                debug << "picture" << picture.value<QImage>().size() << picture.value<QImage>().pixel(1, 1);
            }
        }
    }
    return out;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage Picture()
{
    QImage image(8, 6, QImage::Format_ARGB32);
    image.fill(QColor(200, 30, 90));
    return image;
}

// A sequence of edits of every kind the journal records; after each one the test gets
// the chance to look (step is called with the edit's number).
void EditEveryWay(QTextEdit& edit, const std::function<void(int)>& step)
{
    QTextDocument* doc = edit.document();
    QTextCursor cursor(doc);
    int n = 0;
    cursor.insertText(QStringLiteral("Привет, 世界"));
    step(n++);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(QColor(10, 120, 30));
    bold.setProperty(QTextFormat::UserProperty + 10, 204);
    cursor.insertText(QStringLiteral(" bold"), bold);
    step(n++);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setLeftMargin(24);
    centred.setTextIndent(-12);
    centred.setProperty(QTextFormat::UserProperty + 1, 360);
    cursor.beginEditBlock();
    cursor.insertBlock(centred);
    cursor.insertText(QStringLiteral("second paragraph"));
    cursor.endEditBlock();
    step(n++);
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("picture1")), Picture());
    QTextImageFormat image;
    image.setName(QStringLiteral("picture1"));
    image.setWidth(8);
    image.setHeight(6);
    cursor.insertImage(image);
    step(n++);
    // A format-only change across the paragraph break.
    cursor.setPosition(3);
    cursor.setPosition(20, QTextCursor::KeepAnchor);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.mergeCharFormat(italic);
    step(n++);
    // Bullets on both paragraphs, as the Format menu sets them.
    cursor.setPosition(1);
    cursor.setPosition(20, QTextCursor::KeepAnchor);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    cursor.createList(bullets);
    step(n++);
    // A paragraph format changed alone.
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.setPosition(2);
    cursor.mergeBlockFormat(right);
    step(n++);
    // Text removed across the break, then the removal undone.
    cursor.setPosition(5);
    cursor.setPosition(18, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    step(n++);
    doc->undo();
    step(n++);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("tail"));
    cursor.endEditBlock();
    edit.setTextCursor(cursor);
    step(n++);
}

} // namespace

class TestDocumentJournal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replayGivesTheSameDocument();
    void aJournalCutAtEveryByteReplaysItsWholeRecords();
    void damageAndForeignFilesAreRefused();
    void compactionKeepsTheJournalSmallAndWhole();
    void largeChangesAreTakenInBySnapshots();
    void aJournalFromABaseIsWholeBeforeItsSnapshot();
    void setsOfARunningProcessAreNeverClaimed();
};

void TestDocumentJournal::replayGivesTheSameDocument()
{
    QTemporaryDir dir;
    QTextEdit edit;
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    journal.SetState("state one");
    EditEveryWay(edit, [](int) {});
    journal.SetState("state two");
    journal.Settle();
    QVERIFY(QFile::exists(journal.Set().journalPath));
    QCOMPARE(QFile(journal.Set().journalPath).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

    QTextDocument replayed;
    const TJournalReplay result = ReplayJournalFile(journal.Set().journalPath, &replayed);
    QVERIFY(result.isJournal);
    QVERIFY(!result.cut);
    QCOMPARE(replayed.toPlainText(), edit.document()->toPlainText());
    QCOMPARE(Describe(replayed), Describe(*edit.document()));
    QCOMPARE(result.state, QByteArray("state two"));
    QCOMPARE(result.caret, edit.textCursor().position());
    QCOMPARE(result.length, edit.document()->characterCount() - 1);
    // Read without a document, for the question at start: the state and the size.
    const TJournalReplay scan = ReplayJournalFile(journal.Set().journalPath, nullptr);
    QCOMPARE(scan.state, QByteArray("state two"));
    QCOMPARE(scan.length, result.length);
    QCOMPARE(scan.records, result.records);

    // A document that already had content when the journal started: its snapshot.
    QTextEdit opened;
    QTextCursor(opened.document()).insertText(QStringLiteral("opened\nfile"));
    TDocumentJournal second(&opened, TRecoveryStore(dir.path()));
    QTextCursor(opened.document()).insertText(QStringLiteral(">"));
    second.Settle();
    QTextDocument again;
    ReplayJournalFile(second.Set().journalPath, &again);
    QCOMPARE(again.toPlainText(), QStringLiteral(">opened\nfile"));

    // Discard removes the set, lock and all; the next change starts a new one.
    const TRecoverySet removed = journal.Set();
    journal.Discard();
    journal.Settle();
    QVERIFY(!QFile::exists(removed.journalPath));
    QVERIFY(!QFile::exists(removed.lockPath));
    QTextCursor(edit.document()).insertText(QStringLiteral("x"));
    journal.Settle();
    QVERIFY(QFile::exists(journal.Set().journalPath));
    QVERIFY(journal.Set().journalPath != removed.journalPath);
}

void TestDocumentJournal::aJournalCutAtEveryByteReplaysItsWholeRecords()
{
    QTemporaryDir dir;
    QTextEdit edit;
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    // After each edit: the journal's size on disk and the document then.
    std::vector<qint64> sizes;
    QStringList documents;
    QTextDocument empty;
    sizes.push_back(0);
    documents << Describe(empty);
    EditEveryWay(edit, [&](int) {
        journal.Settle();
        sizes.push_back(QFileInfo(journal.Set().journalPath).size());
        documents << Describe(*edit.document());
    });
    const QByteArray bytes = ReadAll(journal.Set().journalPath);
    QCOMPARE(qint64(bytes.size()), sizes.back());
    size_t edit_ = 0;
    int lastRecords = 0;
    for (int cut = 0; cut <= bytes.size(); ++cut) {
        while (edit_ + 1 < sizes.size() && sizes[edit_ + 1] <= cut)
            ++edit_;
        QTextDocument replayed;
        const TJournalReplay result = ReplayJournal(bytes.left(cut), &replayed);
        QVERIFY2(result.records >= lastRecords, qPrintable(QString::number(cut)));
        lastRecords = result.records;
        // Between two edits' flushes the cut file holds the first edit, or the second
        // once its replace record is whole; never anything else.
        const QString got = Describe(replayed);
        const bool matches = got == documents[int(edit_)]
                             || (edit_ + 1 < sizes.size() && got == documents[int(edit_) + 1]);
        QVERIFY2(matches, qPrintable(QStringLiteral("cut at %1 of %2").arg(cut).arg(bytes.size())));
        if (cut == sizes[edit_] && cut > 0)
            QCOMPARE(got, documents[int(edit_)]);
    }
}

void TestDocumentJournal::damageAndForeignFilesAreRefused()
{
    QTemporaryDir dir;
    QTextEdit edit;
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    // The first edit goes into the journal's first snapshot, the others into records.
    EditEveryWay(edit, [&](int n) {
        if (n == 0)
            journal.Settle();
    });
    journal.Settle();
    QByteArray bytes = ReadAll(journal.Set().journalPath);

    // A flipped byte in the middle: replay stops at the damaged record, reports it, and
    // keeps what came before.
    QByteArray damaged = bytes;
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x5A);
    QTextDocument partial;
    const TJournalReplay result = ReplayJournal(damaged, &partial);
    QVERIFY(result.isJournal);
    QVERIFY(result.cut);
    QVERIFY(partial.toPlainText().startsWith(QStringLiteral("Привет")));

    // Other files are not journals; the document is left alone.
    for (const QByteArray& other : {QByteArray("{\\rtf1 hello}"), QByteArray(), QByteArray("TESSERINE-JOURNAL\n\x09\0\0\0", 22)}) {
        QTextDocument untouched;
        untouched.setPlainText(QStringLiteral("keep"));
        QVERIFY(!ReplayJournal(other, &untouched).isJournal);
        QCOMPARE(untouched.toPlainText(), QStringLiteral("keep"));
    }
}

void TestDocumentJournal::compactionKeepsTheJournalSmallAndWhole()
{
    QTemporaryDir dir;
    QTextEdit edit;
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    journal.SetCompaction(4096, 2);
    QTextCursor cursor(edit.document());
    cursor.insertText(QString(1000, QLatin1Char('a')));
    qint64 largest = 0;
    for (int i = 0; i < 3000; ++i) {
        cursor.setPosition((i * 37) % 1000);
        cursor.insertText(QStringLiteral("b"));
        cursor.deletePreviousChar();
        if (i % 7 == 0)
            QCoreApplication::processEvents();  // the snapshot's slices
        if (i % 100 == 0) {
            journal.Flush();
            largest = qMax(largest, journal.Size());
        }
    }
    cursor.insertText(QStringLiteral("end"));
    journal.Settle();
    // Without compaction the journal would hold 6000 records of some 40 bytes each.
    QVERIFY2(largest < 16 * 1024, qPrintable(QString::number(largest)));
    QVERIFY(!QFile::exists(journal.Set().pendingPath));
    QTextDocument replayed;
    ReplayJournalFile(journal.Set().journalPath, &replayed);
    QCOMPARE(replayed.toPlainText(), edit.document()->toPlainText());
}

void TestDocumentJournal::largeChangesAreTakenInBySnapshots()
{
    QTemporaryDir dir;
    QTextEdit edit;
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    QTextCursor cursor(edit.document());
    const QString block = QStringLiteral("line of text\n").repeated(20000);
    const auto replayed = [&journal](bool finishSnapshot = true) {
        journal.Settle(finishSnapshot);
        QTextDocument doc;
        ReplayJournalFile(journal.Set().journalPath, &doc);
        return doc.toPlainText();
    };
    cursor.insertText(QStringLiteral("start"));
    QCOMPARE(replayed(), edit.toPlainText());
    // A large paste in the journal in use, then small edits before its snapshot is whole:
    // until then the journal on disk holds the document as it was before the paste.
    cursor.setPosition(2);
    cursor.insertText(block);
    QVERIFY(journal.Snapshotting());
    cursor.insertText(QStringLiteral("after"));
    QCoreApplication::processEvents();
    cursor.setPosition(1);
    cursor.deleteChar();
    QCOMPARE(replayed(false), QStringLiteral("start"));
    QCOMPARE(replayed(), edit.toPlainText());
    // A large change inside the part of a snapshot already written, and its undo.
    journal.Discard();
    cursor.insertText(QStringLiteral("x"));
    QCoreApplication::processEvents();  // the snapshot's first slice
    cursor.setPosition(3);
    cursor.insertText(block);
    edit.document()->undo();
    cursor.setPosition(4);
    cursor.insertText(QStringLiteral("y"));
    QCOMPARE(replayed(), edit.toPlainText());
}

void TestDocumentJournal::aJournalFromABaseIsWholeBeforeItsSnapshot()
{
    QTemporaryDir dir;
    QTextEdit edit;
    const QString file = QStringLiteral("as read from the file\n").repeated(5000);
    edit.setPlainText(file);
    TDocumentJournal journal(&edit, TRecoveryStore(dir.path()));
    journal.SetBase("the file");
    QTextCursor cursor(edit.document());
    cursor.setPosition(7);
    cursor.insertText(QStringLiteral("typed "));
    // As a crash finds it before the snapshot is written: the base, then the change.
    journal.Settle(false);
    QVERIFY(journal.Snapshotting());
    const auto replay = [&journal](const QString& loaded) {
        QTextDocument doc;
        QByteArray asked;
        const TJournalReplay result = ReplayJournalFile(journal.Set().journalPath, &doc, [&](const QByteArray& base) {
            asked = base;
            QTextCursor(&doc).insertText(loaded);
            return !loaded.isEmpty();
        });
        return std::make_tuple(doc.toPlainText(), result.baseMissing, asked);
    };
    QCOMPARE(replay(file), std::make_tuple(edit.toPlainText(), false, QByteArray("the file")));
    // A file that is gone, or not the one the journal started from, restores nothing.
    QCOMPARE(std::get<1>(replay(QString())), true);
    QCOMPARE(std::get<1>(replay(file + QStringLiteral("changed since"))), true);
    // Once the snapshot is written the base is not needed any more.
    journal.Settle();
    QCOMPARE(replay(QString()), std::make_tuple(edit.toPlainText(), false, QByteArray()));
}

void TestDocumentJournal::setsOfARunningProcessAreNeverClaimed()
{
    QTemporaryDir dir;
    const TRecoveryStore store(dir.path());
    QTextEdit edit;
    auto journal = std::make_unique<TDocumentJournal>(&edit, store);
    QTextCursor(edit.document()).insertText(QStringLiteral("mine"));
    journal->Settle();
    const QString id = journal->Set().id;
    // The lock is held through another open file, as another process holds it.
    QVERIFY(store.ClaimOrphans().empty());
    TRecoverySet set;
    QVERIFY(!store.Claim(id, set));
    QVERIFY(QFile::exists(journal->Set().journalPath));

    // The owner goes without removing its data (as when it dies): the set is free, and
    // once claimed it is no one else's.
    journal.reset();
    std::vector<TRecoverySet> orphans = store.ClaimOrphans();
    QCOMPARE(int(orphans.size()), 1);
    QCOMPARE(orphans[0].id, id);
    QVERIFY(!store.Claim(id, set));
    QTextDocument replayed;
    ReplayJournalFile(orphans[0].journalPath, &replayed);
    QCOMPARE(replayed.toPlainText(), QStringLiteral("mine"));
    // Released, it is kept for later; removed, it is gone.
    TRecoveryStore::Release(orphans[0]);
    QVERIFY(store.Claim(id, set));
    TRecoveryStore::Remove(set);
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    // A first snapshot that never finished can never be replayed: it is deleted.
    QFile pending(dir.filePath(QStringLiteral("1-2-3.journal.new")));
    QVERIFY(pending.open(QIODevice::WriteOnly));
    pending.write("TESSERINE-JOURNAL\n");
    pending.close();
    QVERIFY(store.ClaimOrphans().empty());
    QVERIFY(!pending.exists());
}

QTEST_MAIN(TestDocumentJournal)
#include "tst_document_journal.moc"
