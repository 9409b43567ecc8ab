// Big plain-text files loaded in slices: decoding piece by piece, the control during
// the load, and what stops or finishes it.
#include "platform/forms/Application.h"
#include "platform/text/CodePages.h"
#include "platform/layout/HeightIndex.h"
#include "platform/richedit/RichEdit.h"
#include "platform/richedit/RtfFileLoad.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/text/TextPieces.h"
#include "platform/text/Utf8Literal.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextList>
#include <numeric>
#include <QRandomGenerator>
#include <QTest>

namespace {

// Numbered lines of mixed scripts, `bytes` of UTF-8 or a little more.
QString Lines(qsizetype bytes, const QString& breakText = QStringLiteral("\n"))
{
    QString text;
    for (int i = 0; text.size() * 2 < bytes; ++i)
        text += QStringLiteral("%1 строка Ζ 行 line").arg(i) + breakText;
    return text;
}

// An RTF document of at least `bytes`: paragraphs in two fonts and code pages, with
// bold, italic, coloured runs and three alignments in turn; with a page header near
// its end when `header`, which a save cannot keep.
QByteArray MixedRtf(qsizetype bytes, bool header)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\froman\\fcharset204 Times New Roman;}}{\\colortbl;\\red192\\green0\\blue0;}\n";
    const char* alignments[] = {"\\ql", "\\qc", "\\qr\\li360"};
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "\\pard" + QByteArray(alignments[i % 3]) + " Paragraph " + QByteArray::number(i)
               + " {\\b bold} {\\f1\\i \\'c0\\'e1\\'e2 } {\\cf1\\fs28 red} plain\\par\n";
        if (header && rtf.size() >= bytes * 9 / 10) {
            rtf += "{\\header \\pard header text\\par}\n";
            header = false;
        }
    }
    return rtf + "}";
}

// A device that gives the first `good` bytes of its data, then fails as a disk or a
// network share that goes away; with `good` as large as the data, it gives it all.
class FailingDevice : public QIODevice {
public:
    FailingDevice(const QByteArray& data, qsizetype good) : data_(data), good_(good)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 max) override
    {
        const qsizetype good = std::min(good_, data_.size());
        if (at_ >= data_.size())
            return 0;
        if (at_ >= good) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 count = std::min<qint64>(max, good - at_);
        std::copy_n(data_.constData() + at_, count, out);
        at_ += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qsizetype good_;
    qsizetype at_ = 0;
};

} // namespace

class RichEditLoadingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void heightIndexSumsStayRightAsParagraphsArrive();
    void piecesJoinToTheWholeFileDecoded_data();
    void piecesJoinToTheWholeFileDecoded();
    void aBigFileShowsItsStartAtOnceAndEndsWhole();
    void theCaretAndSelectionStayWhileTheRestArrives();
    void anotherFileOrStoppingEndsTheLoad();
    void savingDuringTheLoadWritesTheWholeFile();
    void undecodableBytesFarIntoTheFileAreReportedOnce();
    void codePageTextFarPastAPlainStartIsReadInItsCodePage();
    void aBigRtfFileShowsItsStartAtOnceAndEndsAsReadWhole();
    void savingDuringAnRtfLoadWritesTheWholeDocument();
    void formattingDuringAnRtfLoadKeepsTheRestWhole();
    void anRtfFileThatCannotBeReadOnFailsTheLoad();

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        return WriteTestFile(path, bytes) ? path : QString();
    }
    bool waitForTheLoad() { return QTest::qWaitFor([this]() { return !edit_->Loading(); }, 60000); }

    QTemporaryDir dir_;
    std::unique_ptr<TRichEdit> edit_;
    QList<bool> ends_;
};

void RichEditLoadingTest::initTestCase()
{
    SilencePlatformNoise();
    static TApplication application;
    application.Initialize();
}

void RichEditLoadingTest::init()
{
    edit_ = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    edit_->resize(400, 300);
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
    edit_->PlainText = true;
    ends_.clear();
    edit_->OnLoadEnd = [this](bool whole) { ends_ << whole; };
}

void RichEditLoadingTest::cleanup()
{
    edit_.reset();
}

void RichEditLoadingTest::heightIndexSumsStayRightAsParagraphsArrive()
{
    // Given paragraphs appended in batches, inserted and removed anywhere, and heights
    // set between the queries, then every "y of paragraph", "paragraph at y" and "line
    // of paragraph" matches sums counted one by one: a wrong sum puts text at the wrong
    // place on screen.
    HeightIndex index;
    std::vector<qint64> heights;
    std::vector<int> lines;
    QRandomGenerator random(7);
    for (int step = 0; step < 400; ++step) {
        const int count = index.Count();
        const int kind = random.bounded(4);
        if (kind == 0 || count == 0) {
            const int first = kind == 0 && count > 0 ? random.bounded(count + 1) : count;
            const int removed = first < count && random.bounded(3) == 0 ? random.bounded(count - first) : 0;
            const int inserted = random.bounded(1, 300);
            index.Replace(first, removed, inserted);
            heights.erase(heights.begin() + first, heights.begin() + first + removed);
            lines.erase(lines.begin() + first, lines.begin() + first + removed);
            heights.insert(heights.begin() + first, inserted, 0);
            lines.insert(lines.begin() + first, inserted, 1);
        }
        for (int i = 0; i < 20 && index.Count() > 0; ++i) {
            const int at = random.bounded(index.Count());
            heights[at] = random.bounded(1, 1000);
            lines[at] = random.bounded(1, 5);
            index.Set(at, heights[at], lines[at]);
        }
        qint64 top = 0;
        int line = 0;
        for (int i = 0; i < index.Count(); i += 1 + i / 8) {
            top = std::accumulate(heights.begin(), heights.begin() + i, qint64(0));
            line = std::accumulate(lines.begin(), lines.begin() + i, 0);
            QCOMPARE(index.Top(i), top);
            QCOMPARE(index.FirstLine(i), line);
            if (heights[i] > 0)
                QCOMPARE(index.IndexAtY(top), i);
            QCOMPARE(index.IndexAtLine(line), i);
        }
        QCOMPARE(index.TotalHeight(), std::accumulate(heights.begin(), heights.end(), qint64(0)));
    }
}

void RichEditLoadingTest::piecesJoinToTheWholeFileDecoded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    const QString crlf = Lines(40000, QStringLiteral("\r\n"));
    QTest::newRow("UTF-8, CR LF pairs at every cut") << crlf.toUtf8() << QByteArray("UTF-8");
    QTest::newRow("UTF-8, CR alone") << Lines(40000, QStringLiteral("\r")).toUtf8() << QByteArray("UTF-8");
    QTest::newRow("UTF-8, one line longer than a piece")
        << (U("長い行").repeated(40000) + U("\nend")).toUtf8() << QByteArray("UTF-8");
    QTest::newRow("UTF-8, damaged in the middle")
        << Lines(20000).toUtf8() + "\xE6\x97\n\xFF" + Lines(20000).toUtf8() << QByteArray("UTF-8");
    QTest::newRow("code page 932") << *EncodeString(U("日本語の行ｶﾅ表示\r\n").repeated(3000), "CP932") << QByteArray("CP932");
    QTest::newRow("UTF-16LE of odd length, surrogate pairs")
        << QByteArray(reinterpret_cast<const char*>(U("𠀋の行\r\n").repeated(6000).utf16()), 6000 * 6 * 2) + "x"
        << QByteArray("UTF-16LE");
    QTest::newRow("UTF-16BE, a line longer than a piece")
        << *EncodeString(U("α").repeated(100000) + U("\n"), "UTF-16BE") << QByteArray("UTF-16BE");
}

void RichEditLoadingTest::piecesJoinToTheWholeFileDecoded()
{
    // Given a file cut into pieces of a few kilobytes, each decoded on its own,
    // then the pieces joined are the text decoding the whole file gives, and damage is
    // reported as it would be: no character, line break or CR LF pair cut in two.
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    const DecodedText whole = DecodeTextFile(bytes, encoding);
    for (const qsizetype size : {1, 777, 4096, 200000}) {
        TTextPieces pieces(bytes, 0, bytes.size(), encoding);
        QString joined;
        while (!pieces.AtEnd())
            joined += pieces.Next(size);
        QCOMPARE(joined.size(), whole.text.size());
        QVERIFY2(joined == whole.text, qPrintable(QStringLiteral("pieces of %1 bytes").arg(size)));
        QCOMPARE(pieces.HadUndecodableBytes(), whole.hadUndecodableBytes);
    }
    // Read a few kilobytes at a time, as a file is read while it loads.
    TTextPieces supplied(bytes.left(3001), 0, encoding, bytes.size());
    QString joined;
    for (qsizetype at = 3001; !supplied.AtEnd();) {
        joined += supplied.Next(4096);
        if (supplied.Starved()) {
            supplied.Supply(bytes.mid(at, 5003), at + 5003 >= bytes.size());
            at += 5003;
        }
    }
    QVERIFY(joined == whole.text);
    QCOMPARE(supplied.IncompleteUnit(), whole.format.incompleteUnit);
}

void RichEditLoadingTest::aBigFileShowsItsStartAtOnceAndEndsWhole()
{
    // Given a 4 MB file with CR LF line breaks, when it is opened, then its start is
    // shown before the load returns, the control cannot be typed in meanwhile, and
    // in the end the document holds the whole file, unmodified, with nothing to undo.
    const QString text = Lines(4 << 20, QStringLiteral("\r\n"));
    const QString path = write(QStringLiteral("big.txt"), text.toUtf8());
    QVERIFY(!path.isEmpty());
    int lastPercent = -1;
    bool percentsRise = true;
    edit_->OnLoadProgress = [&](int percent) {
        percentsRise = percentsRise && percent >= lastPercent && percent <= 100;
        lastPercent = percent;
    };
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    QVERIFY(edit_->Text().startsWith(U("0 строка Ζ 行 line\n1 строка")));
    QVERIFY(edit_->TextLength() < text.size() / 4);
    QVERIFY(edit_->isReadOnly());
    QTest::keyClicks(edit_.get(), QStringLiteral("typed"));
    QVERIFY(edit_->Text().startsWith(U("0 строка")));
    QCOMPARE(edit_->PlainTextFormat.lineEnding, LineEnding::CRLF);

    QVERIFY(waitForTheLoad());
    QCOMPARE(ends_, QList<bool>{true});
    QVERIFY(edit_->Text() == QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(!edit_->Modified());
    QVERIFY(!edit_->CanUndo());
    QVERIFY(!edit_->isReadOnly());
    QVERIFY(percentsRise && lastPercent > 0);
    // Typing works again, and is an edit like any other.
    QTest::keyClicks(edit_.get(), QStringLiteral("typed"));
    QVERIFY(edit_->Text().startsWith(U("typed0 строка")));
    QVERIFY(edit_->Modified());
    QVERIFY(edit_->CanUndo());

    // A file of less than a megabyte is loaded whole before LoadFromFile returns.
    const QString small = write(QStringLiteral("small.txt"), Lines(500000).toUtf8());
    edit_->LoadFromFile(small);
    QVERIFY(!edit_->Loading());
    QCOMPARE(edit_->Text(), Lines(500000));
    QCOMPARE(ends_, QList<bool>{true});
}

void RichEditLoadingTest::theCaretAndSelectionStayWhileTheRestArrives()
{
    // Given a selection reaching to the end of what is loaded, when the rest arrives,
    // then the selection stays as the user made it instead of growing with the text.
    const QString path = write(QStringLiteral("big.txt"), Lines(3 << 20).toUtf8());
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    const int end = edit_->TextLength();
    edit_->SetSelStart(end - 10);
    edit_->SetSelLength(10);
    edit_->FinishLoading();
    QVERIFY(!edit_->Loading());
    QCOMPARE(edit_->SelStart(), end - 10);
    QCOMPARE(edit_->SelLength(), 10);
    QVERIFY(edit_->TextLength() > end * 10);
}

void RichEditLoadingTest::anotherFileOrStoppingEndsTheLoad()
{
    // Given a load going on, when another file is opened, then that file is the
    // document and nothing of the first one arrives later.
    const QString big = write(QStringLiteral("big.txt"), Lines(3 << 20).toUtf8());
    const QString other = write(QStringLiteral("other.txt"), QByteArray("the other file\n"));
    edit_->LoadFromFile(big);
    QVERIFY(edit_->Loading());
    edit_->LoadFromFile(other);
    QVERIFY(!edit_->Loading());
    QCOMPARE(ends_, QList<bool>{false});
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QCOMPARE(edit_->Text(), QStringLiteral("the other file\n"));

    // A file that cannot be read leaves the load going on.
    edit_->LoadFromFile(big);
    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->LoadFromFile(dir_.filePath(QStringLiteral("missing.txt"))));
    QVERIFY(edit_->Loading());
    // Stopping empties the document: a part of the file is not the file.
    edit_->StopLoading();
    QCOMPARE(ends_, (QList<bool>{false, false}));
    QCOMPARE(edit_->TextLength(), 0);
    QVERIFY(!edit_->isReadOnly());
}

void RichEditLoadingTest::savingDuringTheLoadWritesTheWholeFile()
{
    // Given a code-page file still loading, when it is saved, then the file written
    // holds every byte of the one read, not the part loaded so far.
    const QByteArray bytes = *EncodeString(U("Строка в кодировке 1251\r\n").repeated(60000), "CP1251");
    const QString path = write(QStringLiteral("cyrillic.txt"), bytes);
    edit_->LoadFromFile(path, "CP1251");
    QVERIFY(edit_->Loading());
    const QString copy = dir_.filePath(QStringLiteral("copy.txt"));
    edit_->SaveToFile(copy);
    QVERIFY(!edit_->Loading());
    QVERIFY(ReadTestFile(copy) == bytes);
}

void RichEditLoadingTest::undecodableBytesFarIntoTheFileAreReportedOnce()
{
    // Given a UTF-8 file with damaged bytes in two places far past its start, when it
    // loads, then the user is told once, and the bytes show as U+FFFD.
    const QByteArray part = Lines(1 << 20).toUtf8();
    const QString path = write(QStringLiteral("damaged.txt"), part + "\xFF\n" + part + "\xFE\n" + part);
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    QVERIFY(waitForTheLoad());
    QVERIFY(QTest::qWaitFor([&]() { return answerer.allAnswered(); }, 10000));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts().size(), 1);
    QVERIFY(answerer.messageTexts().first().contains(path));
    QCOMPARE(edit_->Text().count(QChar(0xFFFD)), 2);
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("UTF-8"));
}

void RichEditLoadingTest::codePageTextFarPastAPlainStartIsReadInItsCodePage()
{
    // Given a log whose first 5 MB are plain ASCII and whose Russian lines in code page
    // 1251 come after, when it is opened, then it is read in that code page, with
    // the first line's CR LF breaks, and nothing is shown as undecodable.
    QString ascii;
    for (int i = 0; ascii.size() < (5 << 20); ++i)
        ascii += QStringLiteral("2026-12-10 17:52:%1 service started, status ok\r\n").arg(i % 60, 2, 10, QLatin1Char('0'));
    const QString russian = U("Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n").repeated(2000);
    const QString path = write(QStringLiteral("log.txt"), ascii.toLatin1() + *EncodeString(russian, "CP1251"));
    // Read in another encoding, the file would bring a warning of undecodable bytes.
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    edit_->LoadFromFile(path);
    QVERIFY(waitForTheLoad());
    QCOMPARE(answerer.answeredCount(), 0);
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("CP1251"));
    QCOMPARE(edit_->PlainTextFormat.lineEnding, LineEnding::CRLF);
    QVERIFY(edit_->Text() == QString(ascii + russian).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void RichEditLoadingTest::aBigRtfFileShowsItsStartAtOnceAndEndsAsReadWhole()
{
    // Given a 3 MB RTF file with a page header near its end, when it is opened, then its
    // first paragraphs show before the load returns and the control is read-only; in
    // the end the document is the one a single read gives, formats and all, unmodified
    // with nothing to undo, and the user is told once what a save cannot keep.
    const QByteArray bytes = MixedRtf(3 << 20, true);
    const QString path = write(QStringLiteral("big.rtf"), bytes);
    QVERIFY(!path.isEmpty());
    edit_->PlainText = false;
    int lastPercent = -1;
    edit_->OnLoadProgress = [&](int percent) { lastPercent = percent; };
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    QVERIFY(edit_->Text().startsWith(U("Paragraph 0 bold Абв  red plain\nParagraph 1 ")));
    QVERIFY(edit_->TextLength() < bytes.size() / 8);
    QVERIFY(edit_->isReadOnly());
    QVERIFY(answerer.messageTexts().isEmpty());
    QVERIFY(edit_->UnkeptOnSave.isEmpty());

    QVERIFY(waitForTheLoad());
    QCOMPARE(ends_, QList<bool>{true});
    QVERIFY(lastPercent > 0 && lastPercent <= 100);
    TRichEdit whole(nullptr, QStringLiteral("Whole"));
    const QStringList unkept = ReadRtf(bytes, *whole.document(), edit_->PixelsPerInch());
    QVERIFY(whole.Text() == edit_->Text());
    QVERIFY(WriteRtf(*whole.document(), 96) == WriteRtf(*edit_->document(), 96));
    QCOMPARE(edit_->UnkeptOnSave, unkept);
    QVERIFY(!unkept.isEmpty());
    QVERIFY(!edit_->Modified());
    QVERIFY(!edit_->CanUndo());
    QVERIFY(!edit_->isReadOnly());
    QCOMPARE(edit_->SelStart(), 0);
    QVERIFY(QTest::qWaitFor([&]() { return answerer.allAnswered(); }, 10000));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QTest::qWait(50);
    QCOMPARE(answerer.messageTexts().size(), 1);
    QVERIFY(answerer.messageTexts().first().contains(path));

    // An RTF file of less than a megabyte is read whole before LoadFromFile returns.
    const QString small = write(QStringLiteral("small.rtf"), MixedRtf(200000, false));
    edit_->LoadFromFile(small);
    QVERIFY(!edit_->Loading());
    QVERIFY(edit_->Text().startsWith(U("Paragraph 0 bold")));
    QVERIFY(edit_->Text().contains(U("Абв  red plain")));
    QVERIFY(edit_->UnkeptOnSave.isEmpty());
}

void RichEditLoadingTest::savingDuringAnRtfLoadWritesTheWholeDocument()
{
    // Given an RTF file still loading, when it is saved or another file opened, then
    // the file written holds the whole document, and nothing of the stopped load
    // arrives later.
    const QByteArray bytes = MixedRtf(2 << 20, false);
    const QString path = write(QStringLiteral("big.rtf"), bytes);
    edit_->PlainText = false;
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    const QString copy = dir_.filePath(QStringLiteral("copy.rtf"));
    edit_->SaveToFile(copy);
    QVERIFY(!edit_->Loading());
    TRichEdit whole(nullptr, QStringLiteral("Whole"));
    ReadRtf(bytes, *whole.document(), edit_->PixelsPerInch());
    QVERIFY(ReadTestFile(copy) == WriteRtf(*whole.document(), edit_->PixelsPerInch()));

    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    const QString other = write(QStringLiteral("other.rtf"), QByteArray("{\\rtf1 the other file\\par}"));
    edit_->LoadFromFile(other);
    QVERIFY(!edit_->Loading());
    QTest::qWait(0);
    QCoreApplication::processEvents();
    QCOMPARE(edit_->Text(), QStringLiteral("the other file"));
    QCOMPARE(ends_, (QList<bool>{true, false}));
}

void RichEditLoadingTest::formattingDuringAnRtfLoadKeepsTheRestWhole()
{
    // Given an RTF file still loading, when everything loaded so far is made bold and
    // bulleted, then the rest still arrives whole and in its own formats, and the
    // document counts as changed.
    const QByteArray bytes = MixedRtf(2 << 20, false);
    const QString path = write(QStringLiteral("big.rtf"), bytes);
    edit_->PlainText = false;
    edit_->LoadFromFile(path);
    QVERIFY(edit_->Loading());
    const int loaded = edit_->TextLength();
    edit_->SetSelStart(0);
    edit_->SetSelLength(loaded);
    TFontStyles bold;
    bold.bold = true;
    edit_->SelAttributes().SetStyle(bold);
    edit_->Paragraph().SetNumbering(1);
    QVERIFY(waitForTheLoad());
    TRichEdit whole(nullptr, QStringLiteral("Whole"));
    ReadRtf(bytes, *whole.document(), edit_->PixelsPerInch());
    QVERIFY(whole.Text() == edit_->Text());
    const QTextBlock last = edit_->document()->lastBlock().previous();
    QVERIFY(!last.textList());
    QCOMPARE(last.blockFormat().alignment(), whole.document()->lastBlock().previous().blockFormat().alignment());
    QVERIFY(edit_->document()->firstBlock().textList());
    QVERIFY(edit_->Modified());
}

void RichEditLoadingTest::anRtfFileThatCannotBeReadOnFailsTheLoad()
{
    // Given an RTF file whose reading fails half-way, when it loads, then the load
    // fails and says why and which file, and tells nothing of what cannot be kept: the
    // part read is no document to keep.
    const QByteArray bytes = MixedRtf(2 << 20, true);
    const QByteArray head = bytes.left(64 * 1024);
    QTextDocument doc;
    QStringList unkept;
    TRtfFileLoad load(QStringLiteral("/share/big.rtf"), head,
                      std::make_unique<FailingDevice>(bytes.mid(head.size()), bytes.size() / 2), bytes.size() - head.size(),
                      doc, 96, unkept);
    QVERIFY(!load.AtEnd());
    QCOMPARE(load.LoadOn(-1), TLoadInProgress::Step::Failed);
    QVERIFY(load.Failure().contains(QStringLiteral("/share/big.rtf")));
    QVERIFY(load.Failure().contains(QStringLiteral("Input/output error")));
    QVERIFY(load.TakeWarning().isEmpty());

    // Read whole, the same bytes load to the end.
    QTextDocument wholeDoc;
    TRtfFileLoad whole(QStringLiteral("/share/big.rtf"), head,
                       std::make_unique<FailingDevice>(bytes.mid(head.size()), bytes.size()), bytes.size() - head.size(),
                       wholeDoc, 96, unkept);
    QCOMPARE(whole.LoadOn(-1), TLoadInProgress::Step::Done);
    QVERIFY(whole.Failure().isEmpty());
    QVERIFY(!whole.TakeWarning().isEmpty());
}

QTEST_MAIN(RichEditLoadingTest)
#include "tst_rich_edit_loading.moc"
