// The rich-edit control on its own: text and selection, search, displayed lines, the
// formatting rectangle, undo, paragraph and character attributes, plain-text files.
#include "platform/forms/Application.h"
#include "platform/layout/LongParagraph.h"
#include "platform/QtInternals.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextDocumentLayout>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextList>
#include <climits>
#include <unistd.h>

namespace {

// A plain-text layout that counts how often a paragraph's lines are asked for.
class CountingLayout : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    mutable int asked = 0;
    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        ++asked;
        return QPlainTextDocumentLayout::blockBoundingRect(block);
    }
};

// What a failed check says: Qt changed what the program relies on.
QByteArray Changed(const char* what)
{
    return QStringLiteral("Qt %1 no longer %2 as Qt %3 did: mend src/platform/QtInternals.cpp")
        .arg(QString::fromLatin1(qVersion()), QString::fromLatin1(what), QString::fromLatin1(QtInternals::kCheckedQtVersion))
        .toUtf8();
}

} // namespace

class RichEditTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void textAndSelectionFollowTheDocumentPositions();
    void modifiedIsSetByEveryChangeAndSettable();
    void findTextHonoursItsRange_data();
    void findTextHonoursItsRange();
    void findTextCombinesWholeWordAndMatchCase_data();
    void findTextCombinesWholeWordAndMatchCase();
    void findTextFindsAcrossManyParagraphsAndLargeOnes();
    void findTextFarIntoALongDocumentKeepsUpWithEdits();
    void displayedLinesCountWrappedParagraphs();
    void formattingRectWrapsAtItsRightEdgeWhateverTheWindowWidth();
    void degenerateFormattingRectsDoNotFail();
    void undoRevertsTheLastEdit();
    void indentsRoundTripThroughPixels();
    void paragraphAttributesApplyToEveryTouchedParagraph();
    void rightToLeftTextSitsWhereItsParagraphIsAligned();
    void textAttributesApplyToTheSelectionOrTheNextTypedText();
    void plainTextFilesKeepTheirBytes();
    void undecodableBytesOpenAndTheUserIsToldOnce();
    void textTheEncodingCannotHoldIsSavedAsUtf8();
    void failedLoadsAndSavesRaiseClearErrorsAndChangeNothing();
    void richTextModeReadsFilesWithoutRtfAsText();
    void theBusyCursorIsGoneForMessagesAndAfterFailures();
    void qtInternalsHoldAsChecked();

private:
    std::unique_ptr<TRichEdit> edit_;
    QTemporaryDir dir_;
};

void RichEditTest::initTestCase()
{
    SilencePlatformNoise();
    static TApplication application;
    application.Initialize();
}

void RichEditTest::init()
{
    edit_ = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    edit_->resize(400, 300);
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
    edit_->PlainText = true;
}

void RichEditTest::cleanup()
{
    edit_.reset();
}

void RichEditTest::textAndSelectionFollowTheDocumentPositions()
{
    QCOMPARE(edit_->LineCount(), 0);
    edit_->SetText(U("日本語\nКириллица"));
    QCOMPARE(edit_->Text(), U("日本語\nКириллица"));
    QCOMPARE(edit_->TextLength(), 13);
    QCOMPARE(edit_->LineCount(), 2);
    edit_->SetSelStart(2);
    edit_->SetSelLength(3);
    QCOMPARE(edit_->SelText(), U("語\nК"));
    // A selection made backwards reports its lower end.
    QTextCursor cursor = edit_->textCursor();
    cursor.setPosition(9);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
    QCOMPARE(edit_->SelStart(), 4);
    QCOMPARE(edit_->SelLength(), 5);
    edit_->SetSelStart(4);
    edit_->SetSelLength(-1);
    QCOMPARE(edit_->SelLength(), 9);
    edit_->SetSelText(QStringLiteral("xy"));
    QCOMPARE(edit_->Text(), U("日本語\nxy"));
    QCOMPARE(edit_->SelStart(), 6);
    QCOMPARE(edit_->SelLength(), 0);
    edit_->ClearSelection();
    QCOMPARE(edit_->Text(), U("日本語\nxy"));
    edit_->SetSelStart(0);
    edit_->SetSelLength(2);
    edit_->ClearSelection();
    QCOMPARE(edit_->Text(), U("語\nxy"));
    edit_->SetText(QStringLiteral("line\n"));
    QCOMPARE(edit_->LineCount(), 1);
    edit_->SetText(QString());
    QCOMPARE(edit_->LineCount(), 0);
    QCOMPARE(edit_->TextLength(), 0);
    edit_->SetSelStart(50);
    QCOMPARE(edit_->SelStart(), 0);
    // Text keeps characters that plain-text conversion would alter.
    edit_->SetText(U("a\u00A0b"));
    QCOMPARE(edit_->Text(), U("a\u00A0b"));
}

void RichEditTest::modifiedIsSetByEveryChangeAndSettable()
{
    edit_->SetText(QStringLiteral("abc"));
    QVERIFY(!edit_->Modified());
    edit_->setFocus();
    QTest::keyClicks(edit_.get(), QStringLiteral("x"));
    QVERIFY(edit_->Modified());
    edit_->SetModified(false);
    QVERIFY(!edit_->Modified());
    edit_->SetSelStart(0);
    edit_->SetSelLength(1);
    edit_->SelAttributes().SetStyle({true, false, false, false});
    QVERIFY(edit_->Modified());
    edit_->SetModified(true);
    edit_->SetText(QString());
    QVERIFY(!edit_->Modified());

    // An undo changes the content too, also when it goes back to the text last saved.
    edit_->SetText(QStringLiteral("saved"));
    QTest::keyClicks(edit_.get(), QStringLiteral("y"));
    edit_->Undo();
    QCOMPARE(edit_->Text(), QStringLiteral("saved"));
    QVERIFY(edit_->Modified());
    QTest::keyClicks(edit_.get(), QStringLiteral("z"));
    edit_->SetModified(false);  // saved with the z
    edit_->Undo();
    QVERIFY(edit_->Modified());
    edit_->redo();
    edit_->SetModified(false);
    QTest::keyClick(edit_.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(edit_->Modified());

    // An input method's pre-edit text is no change until it is committed; an edit
    // block that changes nothing is none either.
    edit_->SetModified(false);
    QInputMethodEvent preedit(QString::fromUtf8("へん"), {});
    QApplication::sendEvent(edit_.get(), &preedit);
    edit_->BeginEditBlock();
    edit_->EndEditBlock();
    QVERIFY(!edit_->Modified());
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("変"));
    QApplication::sendEvent(edit_.get(), &commit);
    QVERIFY(edit_->Modified());
}

void RichEditTest::findTextHonoursItsRange_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("found");
    // Haystack: "abcabc"
    QTest::newRow("whole text") << "abc" << 0 << -1 << 0;
    QTest::newRow("end -1 from one past the start") << "abc" << 1 << -2 << 3;
    QTest::newRow("range ending exactly at the match end") << "abc" << 0 << 3 << 0;
    QTest::newRow("range cutting the match") << "abc" << 0 << 2 << -1;
    QTest::newRow("second match inside") << "abc" << 1 << 5 << 3;
    QTest::newRow("second match cut") << "abc" << 1 << 4 << -1;
    QTest::newRow("range ending before it begins") << "abc" << 3 << -5 << -1;
    QTest::newRow("start past the end") << "abc" << 7 << -8 << -1;
    QTest::newRow("negative start") << "abc" << -3 << 9 << 0;
    QTest::newRow("length past the end") << "c" << 4 << 100 << 5;
    QTest::newRow("empty needle") << "" << 0 << -1 << -1;
    QTest::newRow("no occurrence") << "abd" << 0 << -1 << -1;
}

void RichEditTest::findTextHonoursItsRange()
{
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, found);
    edit_->SetText(QStringLiteral("abcabc"));
    QCOMPARE(edit_->FindText(needle, start, length, {}), found);
}

void RichEditTest::findTextCombinesWholeWordAndMatchCase_data()
{
    QTest::addColumn<QString>("haystack");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<int>("found");
    const QString latin = QStringLiteral("Words word wordy word");
    QTest::newRow("latin plain") << latin << "word" << false << false << 0;
    QTest::newRow("latin case") << latin << "word" << false << true << 6;
    QTest::newRow("latin whole") << latin << "WORD" << true << false << 6;
    QTest::newRow("latin whole case") << latin << "Word" << true << true << -1;
    const QString cyrillic = U("Приветствие ПРИВЕТ привет");
    QTest::newRow("cyrillic plain") << cyrillic << U("привет") << false << false << 0;
    QTest::newRow("cyrillic case") << cyrillic << U("привет") << false << true << 19;
    QTest::newRow("cyrillic whole") << cyrillic << U("привет") << true << false << 12;
    QTest::newRow("cyrillic whole case") << cyrillic << U("ПРИВЕТ") << true << true << 12;
    const QString greek = U("Καλημέρα ΚΑΛΗΜΈΡΑ καλημέρα");
    QTest::newRow("greek case-blind") << greek << U("καλημέρα") << false << false << 0;
    QTest::newRow("greek case") << greek << U("καλημέρα") << false << true << 18;
    const QString turkish = U("İstanbul istanbul");
    QTest::newRow("turkish case") << turkish << U("istanbul") << true << true << 9;
    const QString japanese = U("日本語の文書で日本を探す");
    QTest::newRow("japanese") << japanese << U("日本") << false << false << 0;
    // Scripts written without spaces have a word boundary at every character.
    QTest::newRow("japanese whole word") << japanese << U("日本") << true << true << 0;
    QTest::newRow("japanese next to latin") << U("abc日本") << U("日本") << true << false << 3;
    QTest::newRow("korean whole") << U("한국어 한국") << U("한국") << true << false << 4;
    QTest::newRow("chinese") << U("简体字中国语 繁體字") << U("繁體") << true << true << 7;
    QTest::newRow("hebrew whole") << U("שלום שלומות שלום") << U("שלום") << true << false << 0;
    QTest::newRow("arabic") << U("مرحبا بالعالم") << U("بالعالم") << true << true << 6;
    QTest::newRow("thai whole word") << U("ภาษาไทยง่าย") << U("ไทย") << true << true << 4;
    QTest::newRow("vietnamese case-blind") << U("Tiếng Việt TIẾNG") << U("tiếng") << true << false << 0;
    QTest::newRow("baltic") << U("Lietuvių kalba ĄČĘ ąčę") << U("ąčę") << true << true << 19;
    QTest::newRow("czech case-blind") << U("Příliš žluťoučký") << U("ŽLUŤOUČKÝ") << true << false << 7;
    QTest::newRow("surrogate pair") << U("a𠀋b 𠀋") << U("𠀋") << true << true << 1;
    QTest::newRow("underscore joins") << QStringLiteral("my_word word") << "word" << true << false << 8;
    QTest::newRow("digits join") << QStringLiteral("word1 word") << "word" << true << false << 6;
}

void RichEditTest::findTextCombinesWholeWordAndMatchCase()
{
    QFETCH(QString, haystack);
    QFETCH(QString, needle);
    QFETCH(bool, wholeWord);
    QFETCH(bool, matchCase);
    QFETCH(int, found);
    edit_->SetText(haystack);
    QCOMPARE(edit_->FindText(needle, 0, -1, {wholeWord, matchCase}), found);
}

void RichEditTest::findTextFindsAcrossManyParagraphsAndLargeOnes()
{
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("line %1 of filler text\n").arg(i);
    const int target = text.size() + 100000;
    text += QString(100000, QLatin1Char('x')) + QStringLiteral("needle") + QString(10, QLatin1Char('x'));
    edit_->SetText(text);
    QCOMPARE(edit_->FindText(QStringLiteral("needle"), 0, -1, {}), target);
    QCOMPARE(edit_->FindText(QStringLiteral("needle"), target, 6, {}), target);
    QCOMPARE(edit_->FindText(QStringLiteral("needle"), target + 1, -target - 2, {}), -1);
    QCOMPARE(edit_->FindText(QStringLiteral("NEEDLE"), 0, -1, {true, false}), -1);
    QCOMPARE(edit_->FindText(QStringLiteral("line 1999"), 0, -1, {true, true}),
             text.indexOf(QStringLiteral("line 1999")));
}

// Searches that reach far into a long document search its whole text at once, past
// the first 64 Ki characters from where they start; they must find what a search
// paragraph by paragraph finds, and see every edit, also one made inside an edit block.
void RichEditTest::findTextFarIntoALongDocumentKeepsUpWithEdits()
{
    QString text;
    for (int i = 0; text.size() < 65000; ++i)
        text += QStringLiteral("filler line %1\n").arg(i);
    text += QString(65533 - text.size(), QLatin1Char('x')) + QStringLiteral("straddle\n");
    // From 100 on, the first position searched in the whole text is 65636.
    text += QString(65636 - text.size(), QLatin1Char('y')) + QStringLiteral("pastedge ");
    text += QStringLiteral("swordword\nwordsmith\nthe word\nxyz\n");
    for (int i = 0; text.size() < 300000; ++i)
        text += QStringLiteral("more filler %1\n").arg(i);
    edit_->SetText(text);
    const int word = text.indexOf(QStringLiteral("the word")) + 4;
    QCOMPARE(edit_->FindText(QStringLiteral("the word"), 0, -1, {}), word - 4);
    QCoreApplication::processEvents();  // as between two of the user's searches

    QCOMPARE(edit_->FindText(QStringLiteral("straddle"), 0, -1, {}), 65533);
    QCOMPARE(edit_->FindText(QStringLiteral("pastedge"), 100, -101, {}), 65636);
    QCOMPARE(edit_->FindText(QStringLiteral("WORD"), 0, -1, {true, false}), word);
    QCOMPARE(edit_->FindText(QStringLiteral("word"), word + 1, -word - 2, {true, false}), -1);
    QCOMPARE(edit_->FindText(QStringLiteral("straddle"), 0, -1, {}), 65533);
    QCOMPARE(edit_->FindText(QStringLiteral("pastedge"), 100, 65536 + 8, {}), 65636);
    QCOMPARE(edit_->FindText(QStringLiteral("pastedge"), 100, 65536 + 7, {}), -1);
    QCOMPARE(edit_->FindText(QStringLiteral("more filler 1"), 200000, -200001, {true, true}),
             text.indexOf(QStringLiteral("more filler 1\n"), 200000));

    edit_->SetSelStart(0);
    edit_->SetSelText(QStringLiteral("ab"));
    QCOMPARE(edit_->FindText(QStringLiteral("pastedge"), 100, -101, {}), 65638);
    edit_->BeginEditBlock();
    edit_->ReplaceRange(65638, 8, QStringLiteral("gone"));
    QCOMPARE(edit_->FindText(QStringLiteral("pastedge"), 0, -1, {}), -1);
    edit_->ReplaceRange(0, 2, QString());
    QCOMPARE(edit_->FindText(QStringLiteral("gone"), 100, -101, {}), 65636);
    edit_->EndEditBlock();
    QCoreApplication::processEvents();
    QCOMPARE(edit_->FindText(QStringLiteral("gone"), 100, -101, {}), 65636);
    QCOMPARE(edit_->FindText(QStringLiteral("the word"), 100, -101, {}), word - 4 - 4);
}

void RichEditTest::displayedLinesCountWrappedParagraphs()
{
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word%1 ").arg(i, 2, 10, QLatin1Char('0'));
    edit_->SetFormattingRect(10, 10, 210, 200);
    edit_->SetText(words + QStringLiteral("\nshort\n") + words);
    const int second = words.size() + 1;
    const int firstParagraphLines = edit_->LineFromChar(second - 1) + 1;
    QVERIFY2(firstParagraphLines > 2, "the paragraph wraps");
    QCOMPARE(edit_->LineFromChar(0), 0);
    QCOMPARE(edit_->LineFromChar(second), firstParagraphLines);
    QCOMPARE(edit_->LineIndex(firstParagraphLines), second);
    // Every displayed line starts where LineIndex says, and LineFromChar agrees.
    for (int line = 0;; ++line) {
        const int start = edit_->LineIndex(line);
        if (start < 0) {
            QVERIFY(line > firstParagraphLines * 2);
            break;
        }
        QCOMPARE(edit_->LineFromChar(start), line);
        if (start > 0)
            QCOMPARE(edit_->LineFromChar(start - 1), line - 1);
    }
    // An edit before a later paragraph renumbers it.
    const int before = edit_->LineFromChar(second + 2);
    edit_->SetSelStart(0);
    edit_->SetSelText(words);
    QVERIFY(edit_->LineFromChar(second + words.size() + 2) > before);
    // A wider page has fewer lines.
    edit_->SetFormattingRect(10, 10, 20000, 200);
    QCOMPARE(edit_->LineFromChar(second + words.size()), 1);
    QCOMPARE(edit_->LineIndex(-1), -1);
}

void RichEditTest::formattingRectWrapsAtItsRightEdgeWhateverTheWindowWidth()
{
    QString words;
    for (int i = 0; i < 300; ++i)
        words += QStringLiteral("wrap ");
    edit_->SetText(words);
    for (int width : {300, 1200}) {
        edit_->resize(width, 300);
        edit_->SetFormattingRect(10, 10, 624, 280);  // 6.5 inches at 96 pixels per inch
        QCOMPARE(edit_->WrapWidth(), 614);
        QCOMPARE(edit_->document()->textWidth(), 614.0);
        // The layout lays a paragraph out when asked for its place, as the caret does.
        const QTextBlock block = edit_->document()->firstBlock();
        edit_->document()->documentLayout()->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        QVERIFY(layout->lineCount() > 1);
        for (int i = 0; i < layout->lineCount(); ++i)
            QVERIFY(layout->lineAt(i).naturalTextWidth() <= 614.0);
        QVERIFY(layout->lineAt(0).naturalTextWidth() > 500.0);
        QCOMPARE(edit_->FormattingMargins().left(), 10);
        QCOMPARE(edit_->FormattingMargins().top(), 10);
    }
    edit_->resize(300, 300);
    QTest::qWait(1);
    QVERIFY(edit_->horizontalScrollBar()->maximum() > 0);
}

void RichEditTest::degenerateFormattingRectsDoNotFail()
{
    edit_->SetText(QStringLiteral("some words to wrap"));
    for (const QRect& rect : {QRect(QPoint(10, 10), QPoint(10, 10)), QRect(QPoint(10, 10), QPoint(0, -50)),
                              QRect(QPoint(10, 10), QPoint(-2000000000, -10))}) {
        edit_->SetFormattingRect(rect.left(), rect.top(), rect.right(), rect.bottom());
        QCOMPARE(edit_->WrapWidth(), 1);
        QVERIFY(edit_->LineFromChar(edit_->TextLength()) >= 0);
    }
    edit_->SetFormattingRect(10, 10, INT_MAX, INT_MAX);
    QVERIFY(edit_->WrapWidth() > 1000000);
    QCOMPARE(edit_->LineFromChar(edit_->TextLength()), 0);
    edit_->SetFormattingRect(-5, -5, 100, 100);
    QCOMPARE(edit_->FormattingMargins().left(), 0);
}

void RichEditTest::undoRevertsTheLastEdit()
{
    QVERIFY(!edit_->CanUndo());
    edit_->setFocus();
    QTest::keyClicks(edit_.get(), QStringLiteral("hello"));
    QVERIFY(edit_->CanUndo());
    edit_->Undo();
    QCOMPARE(edit_->Text(), QString());
    edit_->SetText(QStringLiteral("loaded"));
    QVERIFY(!edit_->CanUndo());
    edit_->SetSelStart(0);
    edit_->SetSelLength(-1);
    edit_->ClearSelection();
    QVERIFY(edit_->CanUndo());
    edit_->Undo();
    QCOMPARE(edit_->Text(), QStringLiteral("loaded"));
}

void RichEditTest::indentsRoundTripThroughPixels()
{
    QCOMPARE(edit_->PixelsPerInch(), 96);
    edit_->SetText(QStringLiteral("paragraph"));
    TParaAttributes paragraph = edit_->Paragraph();
    QCOMPARE(paragraph.FirstIndent(), 0);
    QCOMPARE(paragraph.LeftIndent(), 0);
    QCOMPARE(paragraph.RightIndent(), 0);
    for (int pixels : {48, 31, 24, 1, 0, -24, 96 * 20}) {
        paragraph.SetFirstIndent(pixels);
        paragraph.SetLeftIndent(-pixels / 2);
        paragraph.SetRightIndent(pixels + 1);
        QCOMPARE(paragraph.FirstIndent(), pixels);
        QCOMPARE(paragraph.LeftIndent(), -pixels / 2);
        QCOMPARE(paragraph.RightIndent(), pixels + 1);
    }
    // Qt lays out the first line at FirstIndent and the others at FirstIndent + LeftIndent.
    paragraph.SetFirstIndent(48);
    paragraph.SetLeftIndent(24);
    const QTextBlockFormat format = edit_->document()->firstBlock().blockFormat();
    QCOMPARE(format.leftMargin(), 72.0);
    QCOMPARE(format.textIndent(), -24.0);
}

void RichEditTest::rightToLeftTextSitsWhereItsParagraphIsAligned()
{
    // A plain-text paragraph whose first strong character is Hebrew or Arabic runs right
    // to left and starts at the right edge, as other editors show it; the alignment
    // buttons name the edge the user sees, and choosing one puts the text there.
    edit_->SetText(U("שלום עולם\nمرحبا بالعالم\nlatin"));
    QTextDocument* doc = edit_->document();
    const auto edges = [doc](int blockNumber) {
        const QTextBlock block = doc->findBlockByNumber(blockNumber);
        doc->documentLayout()->blockBoundingRect(block);
        const QTextLine line = block.layout()->lineAt(0);
        const qreal a = line.cursorToX(0);
        const qreal b = line.cursorToX(block.length() - 1);
        return std::make_pair(std::min(a, b), std::max(a, b));
    };
    const qreal width = doc->textWidth() > 0 ? doc->textWidth() : edit_->viewport()->width();
    const auto alignmentAt = [this](int position) {
        edit_->SetSelStart(position);
        return edit_->Paragraph().Alignment();
    };
    QVERIFY(edges(0).second > width - 2);
    QVERIFY(edges(1).second > width - 2);
    QVERIFY(edges(2).first < 2);
    QCOMPARE(alignmentAt(0), int(taRightJustify));
    QCOMPARE(alignmentAt(12), int(taRightJustify));
    QCOMPARE(alignmentAt(30), int(taLeftJustify));
    for (const int alignment : {int(taLeftJustify), int(taRightJustify)}) {
        edit_->SetSelStart(0);
        edit_->SetSelLength(-1);
        edit_->Paragraph().SetAlignment(alignment);
        for (int i = 0; i < 3; ++i) {
            const auto [left, right] = edges(i);
            QVERIFY2(alignment == taLeftJustify ? left < 2 : right > width - 2,
                     qPrintable(QStringLiteral("paragraph %1 spans %2 to %3").arg(i).arg(left).arg(right)));
        }
        QCOMPARE(alignmentAt(0), alignment);
        QCOMPARE(alignmentAt(30), alignment);
    }
    // A paragraph read from RTF runs in the direction the file gives it: left to right
    // unless it says \rtlpar.
    edit_->PlainText = false;
    const QString path = dir_.filePath(QStringLiteral("hebrew.rtf"));
    QVERIFY(WriteTestFile(path, "{\\rtf1\\ansi \\u1513?\\u1500?\\u1493?\\u1501?\\par\\rtlpar \\u1513?\\par}"));
    edit_->LoadFromFile(path);
    QCOMPARE(edit_->Text(), U("שלום\nש"));
    QVERIFY(edges(0).first < 2);
    QCOMPARE(doc->findBlockByNumber(0).textDirection(), Qt::LeftToRight);
    QCOMPARE(doc->findBlockByNumber(1).textDirection(), Qt::RightToLeft);
    QCOMPARE(alignmentAt(0), int(taLeftJustify));
    QCOMPARE(alignmentAt(5), int(taLeftJustify));
}

void RichEditTest::paragraphAttributesApplyToEveryTouchedParagraph()
{
    edit_->SetText(QStringLiteral("one\ntwo\nthree\nfour"));
    edit_->SetSelStart(2);
    edit_->SetSelLength(6);  // from "one" into "three"
    TParaAttributes paragraph = edit_->Paragraph();
    paragraph.SetAlignment(taCenter);
    paragraph.SetNumbering(nsBullet);
    paragraph.SetFirstIndent(48);
    QTextDocument* doc = edit_->document();
    for (int i = 0; i < 3; ++i) {
        const QTextBlock block = doc->findBlockByNumber(i);
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(block.textList());
        QCOMPARE(block.textList()->format().style(), QTextListFormat::ListDisc);
    }
    const QTextBlock fourth = doc->findBlockByNumber(3);
    QVERIFY(!fourth.textList());
    QCOMPARE(fourth.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(paragraph.Alignment(), int(taCenter));
    QCOMPARE(paragraph.Numbering(), int(nsBullet));
    QCOMPARE(paragraph.FirstIndent(), 48);
    QCOMPARE(edit_->Text(), QStringLiteral("one\ntwo\nthree\nfour"));  // the bullet is not text
    edit_->Undo();
    QCOMPARE(edit_->Paragraph().FirstIndent(), 0);
    edit_->SetSelStart(0);
    edit_->SetSelLength(-1);
    paragraph.SetNumbering(nsNone);
    paragraph.SetAlignment(taRightJustify);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QVERIFY(!block.textList());
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    }
    QCOMPARE(paragraph.Numbering(), int(nsNone));
    QCOMPARE(paragraph.Alignment(), int(taRightJustify));
    paragraph.SetAlignment(taLeftJustify);
    QCOMPARE(paragraph.Alignment(), int(taLeftJustify));
}

void RichEditTest::textAttributesApplyToTheSelectionOrTheNextTypedText()
{
    edit_->SetText(QStringLiteral("plain bold"));
    const TFontSpec plain = edit_->SelAttributes().Font();
    edit_->SetSelStart(6);
    edit_->SetSelLength(4);
    TTextAttributes attributes = edit_->SelAttributes();
    TFontSpec font;
    font.name = QStringLiteral("Liberation Serif");
    font.charset = 204;
    font.size = 14;
    font.style = {true, true, true, true};
    font.color = QColor(200, 0, 0);
    attributes.Assign(font);
    const TFontSpec read = attributes.Font();
    QCOMPARE(read.name, font.name);
    QCOMPARE(read.charset, 204);
    QCOMPARE(read.size, 14);
    QVERIFY(read.style == font.style);
    QCOMPARE(read.color, font.color);
    edit_->SetSelStart(0);
    edit_->SetSelLength(5);
    QCOMPARE(edit_->SelAttributes().Font().name, plain.name);
    QVERIFY(!edit_->SelAttributes().Style().bold);

    // Nothing selected: the attributes go to the text typed next.
    edit_->SetSelStart(5);
    edit_->SelAttributes().SetSize(20);
    edit_->SelAttributes().SetColor(Qt::blue);
    edit_->setFocus();
    QTest::keyClicks(edit_.get(), QStringLiteral("BIG"));
    edit_->SetSelStart(5);
    edit_->SetSelLength(3);
    QCOMPARE(edit_->SelAttributes().Size(), 20);
    QCOMPARE(edit_->SelAttributes().Color(), QColor(Qt::blue));
    edit_->SetSelStart(0);
    edit_->SetSelLength(2);
    QCOMPARE(edit_->SelAttributes().Size(), plain.size);
}

void RichEditTest::plainTextFilesKeepTheirBytes()
{
    struct Sample { const char* name; QByteArray bytes; };
    const Sample samples[] = {
        {"utf8", U("日本語のテキスト\nКириллица\n").toUtf8()},
        {"utf8-bom-crlf", QByteArray("\xEF\xBB\xBF") + U("テスト\r\nline two").toUtf8()},
        {"utf16le-bom", QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(U("한국어\r\n").utf16()), 10)},
        {"shift-jis", QByteArray("\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67\x82\xC5\x82\xB7\x81\x42\r\n"
                                 "\x82\xB1\x82\xEA\x82\xCD\x83\x65\x83\x58\x83\x67\x82\xC5\x82\xB7\x81\x42\r\n")},
        {"no final newline", QByteArray("abc\ndef")},
        {"empty", QByteArray()},
    };
    for (const Sample& sample : samples) {
        const QString path = dir_.filePath(QString::fromLatin1(sample.name) + QStringLiteral(".txt"));
        QVERIFY(WriteTestFile(path, sample.bytes));
        edit_->LoadFromFile(path);
        const QString out = path + QStringLiteral(".out");
        edit_->SaveToFile(out);
        QCOMPARE(ReadTestFile(out), sample.bytes);
    }
    edit_->LoadFromFile(dir_.filePath(QStringLiteral("shift-jis.txt")));
    QVERIFY(edit_->Text().startsWith(U("日本語のテキストです。\n")));
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("CP932"));
    QCOMPARE(edit_->PlainTextFormat.lineEnding, LineEnding::CRLF);
    // A new text forgets the file's format: it is saved as UTF-8.
    edit_->SetText(QStringLiteral("new"));
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("UTF-8"));
}

void RichEditTest::undecodableBytesOpenAndTheUserIsToldOnce()
{
    const QString path = dir_.filePath(QStringLiteral("broken.txt"));
    QVERIFY(WriteTestFile(path, QByteArray("\xEF\xBB\xBF" "abc\xFF\xFE" "def")));
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    edit_->LoadFromFile(path);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.answeredCount(), 1);
    QVERIFY(answerer.messageTexts().first().contains(path));
    QVERIFY(edit_->Text().startsWith(QStringLiteral("abc")));
    QVERIFY(edit_->Text().endsWith(QStringLiteral("def")));
    QVERIFY(edit_->Text().contains(QChar(0xFFFD)));
}

void RichEditTest::textTheEncodingCannotHoldIsSavedAsUtf8()
{
    const QString path = dir_.filePath(QStringLiteral("cyrillic.txt"));
    QVERIFY(WriteTestFile(path, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xDD\xF2\xEE \xF2\xE5\xEA\xF1\xF2 "
                               "\xED\xE0 \xF0\xF3\xF1\xF1\xEA\xEE\xEC \xFF\xE7\xFB\xEA\xE5.\r\n")));
    edit_->LoadFromFile(path);
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("CP1251"));
    edit_->SetSelStart(0);
    edit_->SetSelText(U("日本語 "));
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    edit_->SaveToFile(path);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(QString::fromUtf8(ReadTestFile(path)),
             U("日本語 Привет, мир! Это текст на русском языке.\r\n"));
    QCOMPARE(edit_->PlainTextFormat.encoding, QByteArray("UTF-8"));
}

void RichEditTest::failedLoadsAndSavesRaiseClearErrorsAndChangeNothing()
{
    edit_->SetText(QStringLiteral("keep me"));
    edit_->SetModified(true);
    const QString missing = dir_.filePath(QStringLiteral("missing.txt"));
    try {
        edit_->LoadFromFile(missing);
        QFAIL("loading a missing file succeeded");
    } catch (const EFileError& e) {
        // The system's reason stands in a sentence of its own.
        const QString message = QString::fromUtf8(e.what());
        QVERIFY2(message.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)) && (message.endsWith(u'.') || message.endsWith(QChar(0x3002)))
                     && message.size() > missing.size() + 24,
                 qPrintable(message));
    }
    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->LoadFromFile(dir_.path()));
    QCOMPARE(edit_->Text(), QStringLiteral("keep me"));
    QVERIFY(edit_->Modified());

    const QString existing = dir_.filePath(QStringLiteral("existing.txt"));
    QVERIFY(WriteTestFile(existing, "old contents"));
    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->SaveToFile(dir_.path()));
    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->SaveToFile(dir_.filePath(QStringLiteral("no/such/dir.txt"))));
    if (::geteuid() != 0) {
        QFile::setPermissions(existing, QFile::ReadOwner);
        QVERIFY_THROWS_EXCEPTION(EFileError, edit_->SaveToFile(existing));
        QFile::setPermissions(existing, QFile::ReadOwner | QFile::WriteOwner);
    }
    QCOMPARE(ReadTestFile(existing), QByteArray("old contents"));
    QCOMPARE(edit_->Text(), QStringLiteral("keep me"));
}

void RichEditTest::richTextModeReadsFilesWithoutRtfAsText()
{
    edit_->PlainText = false;
    const QString source = U("if (x) { y = \\n; }\n日本語 — Кириллица\n");
    const QString path = dir_.filePath(QStringLiteral("code.rtf"));
    QVERIFY(WriteTestFile(path, source.toUtf8()));
    edit_->LoadFromFile(path);
    QCOMPARE(edit_->Text(), source);
    // The control stays in rich-text mode: the text is saved as RTF and reads back whole.
    QVERIFY(!edit_->PlainText);
    const QString saved = dir_.filePath(QStringLiteral("saved.rtf"));
    edit_->SaveToFile(saved);
    QVERIFY(ReadTestFile(saved).startsWith("{\\rtf1"));
    edit_->SetText(QString());
    edit_->LoadFromFile(saved);
    QCOMPARE(edit_->Text(), source);
    // Bytes in front of an RTF group do not make the file plain text.
    QVERIFY(WriteTestFile(path, "header{\\rtf1 a{\\b b}}"));
    edit_->LoadFromFile(path);
    QCOMPARE(edit_->Text(), QStringLiteral("ab"));
}

void RichEditTest::theBusyCursorIsGoneForMessagesAndAfterFailures()
{
    // Each warning is answered with a note of whether a cursor was forced over it.
    QList<bool> busyOverMessage;
    ModalAnswerer answerer;
    for (int i = 0; i < 2; ++i)
        answerer.expect(
            QStringLiteral("warning"), [](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
            [&busyOverMessage](QWidget* w) {
                busyOverMessage << (QApplication::overrideCursor() != nullptr);
                QTest::keyClick(w, Qt::Key_Return);
            });
    const QString broken = dir_.filePath(QStringLiteral("broken.txt"));
    QVERIFY(WriteTestFile(broken, QByteArray("\xEF\xBB\xBF" "abc\xFF\xFE" "def")));
    edit_->LoadFromFile(broken);
    QVERIFY(!QApplication::overrideCursor());
    edit_->SetText(U("日本語"));
    edit_->PlainTextFormat.encoding = "CP1251";
    edit_->SaveToFile(broken);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(busyOverMessage, (QList<bool>{false, false}));
    QVERIFY(!QApplication::overrideCursor());

    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->LoadFromFile(dir_.filePath(QStringLiteral("missing.txt"))));
    QVERIFY_THROWS_EXCEPTION(EFileError, edit_->SaveToFile(dir_.path()));
    QVERIFY(!QApplication::overrideCursor());
}

void RichEditTest::qtInternalsHoldAsChecked()
{
    // The caret in a paragraph laid out in segments: the text control finds no lines in
    // the paragraph's own layout and asks to show its stand-in caret.
    const int threshold = TLongParagraph::threshold;
    TLongParagraph::threshold = 2000;
    QString words;
    while (words.size() < 5000)
        words += QStringLiteral("words ");
    edit_->SetText(words);
    const auto restore = qScopeGuard([threshold]() { TLongParagraph::threshold = threshold; });
    QObject* control = QtInternals::TextControl(edit_.get());
    QVERIFY2(control, Changed("gives QTextEdit a QWidgetTextControl"));
    QSignalSpy requests(control, SIGNAL(visibilityRequest(QRectF)));
    QVERIFY2(requests.isValid(), Changed("has QWidgetTextControl::visibilityRequest(QRectF)"));
    edit_->SetSelStart(3000);
    edit_->ensureCursorVisible();
    QVERIFY2(!requests.isEmpty() && QtInternals::IsCaretFallback(requests.last().at(0).toRectF()),
             Changed("asks for a 10-pixel caret in a paragraph without lines"));

    // Requests redirected away from QTextEdit's own slot, and that slot scrolling.
    QTextEdit plain;
    plain.resize(200, 100);
    plain.setPlainText(QString(200, QLatin1Char('\n')));
    plain.setCursorWidth(3);
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QCOMPARE(QtInternals::CursorWidth(plain.document()->documentLayout()), 3);
    QAction receiver;
    QSignalSpy redirected(&receiver, &QAction::triggered);
    QVERIFY2(QtInternals::RedirectVisibilityRequests(&plain, &receiver, SLOT(trigger())),
             Changed("connects visibilityRequest to QTextEdit::_q_ensureVisible"));
    QTextCursor end(plain.document());
    end.movePosition(QTextCursor::End);
    plain.setTextCursor(end);
    plain.ensureCursorVisible();
    QVERIFY(!redirected.isEmpty());
    QCOMPARE(plain.verticalScrollBar()->value(), 0);
    QtInternals::EnsureVisible(&plain, plain.document()->documentLayout()->blockBoundingRect(end.block()));
    QVERIFY2(plain.verticalScrollBar()->value() > 0, Changed("scrolls with QTextEdit::_q_ensureVisible(QRectF)"));

    // A cursor placed inside an edit block leaves the paragraph's lines alone.
    QTextDocument document;
    auto* counting = new CountingLayout(&document);
    document.setDocumentLayout(counting);
    QTextCursor(&document).insertText(QStringLiteral("some text"));
    document.firstBlock().layout()->clearLayout();
    counting->asked = 0;
    QtInternals::CursorWithoutColumn(&document, 2, 5);
    QVERIFY2(counting->asked == 0, Changed("skips the cursor's column inside an edit block"));
    QTextCursor(&document).setPosition(5);
    QVERIFY(counting->asked > 0);

    // A layout readied through Qt's text engine keeps no lines, and then lays out exactly
    // as one that was not.
    const QString sentence = U("日本語の文 and words, Кириллица ").repeated(20);
    QTextLayout readied(sentence, edit_->font());
    QtInternals::PrepareEmptyLayout(&readied);
    QCOMPARE(readied.lineCount(), 0);
    QTextLayout reference(sentence, edit_->font());
    for (QTextLayout* layout : {&readied, &reference}) {
        layout->beginLayout();
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine())
            line.setLineWidth(150);
        layout->endLayout();
    }
    QVERIFY2(readied.lineCount() > 1 && readied.lineCount() == reference.lineCount(),
             Changed("lays out a QTextLayout the same after QTextEngine::validate()"));
    for (int i = 0; i < reference.lineCount(); ++i)
        QCOMPARE(readied.lineAt(i).textStart(), reference.lineAt(i).textStart());

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QVERIFY2(QtInternals::FileNameEdit(dialog), Changed("names its file dialog's line edit fileNameEdit"));
    QVERIFY2(QtInternals::FileDialogGrid(dialog), Changed("lays its file dialog out in a grid"));
}

QTEST_MAIN(RichEditTest)
#include "tst_rich_edit.moc"
