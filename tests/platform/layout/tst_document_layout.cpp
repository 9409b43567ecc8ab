// The control's own document layout, checked against Qt's: a plain QTextEdit set up like
// the control and showing a copy of the same document is the reference for what is
// drawn, where a click lands and where the caret goes; edits and the background layout
// must leave the same heights and line numbers as a layout done from scratch.
#include "edit/StandardSearch.h"
#include "platform/forms/Application.h"
#include "platform/layout/DocumentLayout.h"
#include "platform/layout/LongParagraph.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "support/ReferenceEdit.h"
#include "support/WindowSetFixture.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QUrl>
#include <functional>

namespace {

TDocumentLayout* LayoutOf(const TRichEdit& edit)
{
    return qobject_cast<TDocumentLayout*>(edit.document()->documentLayout());
}

// Per paragraph: top, height and number of displayed lines.
QList<QList<qreal>> Geometry(QTextDocument* doc)
{
    QList<QList<qreal>> rows;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QRectF rect = doc->documentLayout()->blockBoundingRect(block);
        rows.append({rect.top(), rect.height(), qreal(block.layout()->lineCount())});
    }
    return rows;
}

QString FormattedRtf()
{
    return U("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
             "{\\f1\\fnil\\fcharset128 MS Gothic;}{\\f2\\fnil\\fcharset204 Arial CYR;}"
             "{\\f3\\fnil\\fcharset177 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}\n"
             "\\pard\\fs20 Plain text first, then {\\b bold}, {\\i italic}, {\\ul underlined}, {\\strike struck} "
             "and {\\cf1 red} words in one paragraph that is long enough to wrap at the page width.\\par\n"
             "\\pard\\qc\\fs28 A centred heading\\par\n"
             "\\pard\\qr\\fs20 right aligned\\par\n"
             "\\pard\\rtlpar\\f3 \\u1513?\\u1500?\\u1493?\\u1501? \\u1506?\\u1493?\\u1500?\\u1501?\\f0 , a right-to-left "
             "paragraph long enough to wrap at the page width.\\par\n"
             "\\pard\\rtlpar\\qr\\fi-360\\li720\\ri200\\f3 \\u1513?\\u1500?\\u1493?\\u1501?\\f0  right aligned, with a "
             "hanging indent at its right edge.\\par\n"
             "\\pard\\fi-360\\li720\\ri400 Hanging indent: the first line starts left of the others, and the "
             "right indent keeps the lines short of the page edge.\\par\n"
             "\\pard{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'95}}\\fi-360\\li360 first bullet\\par\n"
             "{\\pntext\\'95\\tab}second bullet with more words than fit on one line of this narrow page\\par\n"
             "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'B7}}\\fi-360\\li720 a bullet "
             "whose hanging indent holds the bullet, its lines one under the other\\par\n"
             "\\pard\\f1\\fs24 \\u26085?\\u26412?\\u35486?\\u12398?\\u25991?\\u31456?\\f0  mixed with "
             "\\f2 \\u1050?\\u1080?\\u1088?\\u1080?\\u1083?\\u1083?\\u1080?\\u1094?\\u1072?\\f0  and "
             "\\f3 \\u1513?\\u1500?\\u1493?\\u1501?\\f0  inside.\\par\n"
             "\\pard tab\\tab separated\\tab columns\\par\n"
             "\\pard\\par\n"
             "last line}");
}

// Calls back when a widget is about to paint.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* widget, std::function<void()> painted) : painted_(std::move(painted))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted_();
        return false;
    }

private:
    std::function<void()> painted_;
};

const QUrl kPictureName(QStringLiteral("picture"));

// Inserts a picture of one colour at position of edit's document, as a paste from a
// web page does (a resource of the document, no data of its own); returns the picture,
// for a reference edit to hold as well.
QImage InsertPicture(TRichEdit& edit, int position, QSize size, QColor color)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(color);
    edit.document()->addResource(QTextDocument::ImageResource, kPictureName, picture);
    QTextCursor cursor(edit.document());
    cursor.setPosition(position);
    QTextImageFormat image;
    image.setName(kPictureName.toString());
    cursor.insertImage(image);
    return picture;
}

} // namespace

class DocumentLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void drawsHitsAndMovesTheCaretAsQtsOwnLayout();
    void rtfParagraphsStandWhereOtherReadersShowThem();
    void inputMethodPreeditIsDrawnAsQtDrawsIt();
    void editsLeaveTheLayoutAFreshLayoutWouldMake();
    void backgroundLayoutFinishesWhateverTheUserTypes();
    void nothingIsDrawnBelowTheFormattingRectangle();
    void theViewKeepsItsPlaceWhileHeightsAboveSettle();
    void aLongParagraphIsLaidOutInPiecesAsQtLaysItOutWhole();
    void keysInALongParagraphDoWhatTheyDoElsewhere();
    void randomEditsLeaveLongParagraphsAsQtLaysThemOut();
    void aPictureInALongParagraphIsDrawnAsQtDrawsIt();
    void aLongParagraphKeepsTheLayoutsOfAFewPiecesOnly();
    void aJumpFarIntoALongParagraphEndsAsALayoutFromItsStart();
    void wideEditsOfALongParagraphEndAsQtLaysItOut();

private:
    std::unique_ptr<TRichEdit> edit_;
    QTemporaryDir dir_;
    const int defaultThreshold_ = TLongParagraph::threshold;
};

void DocumentLayoutTest::initTestCase()
{
    SilencePlatformNoise();
    static TApplication application;
    application.Initialize();
    // A caret that does not blink is drawn the same in both controls.
    QApplication::setCursorFlashTime(0);
}

void DocumentLayoutTest::init()
{
    edit_ = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    edit_->resize(420, 360);
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
    edit_->SetFormattingRect(10, 10, 330, 340);
}

void DocumentLayoutTest::cleanup()
{
    edit_.reset();
    TLongParagraph::threshold = defaultThreshold_;
}

void DocumentLayoutTest::drawsHitsAndMovesTheCaretAsQtsOwnLayout()
{
    const QString path = dir_.filePath(QStringLiteral("formatted.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(FormattedRtf().toLatin1());
    file.close();
    edit_->LoadFromFile(path);
    // A picture at the end of a paragraph, as one pasted from a web page.
    const QImage picture = InsertPicture(*edit_, edit_->TextLength(), QSize(30, 20), QColor(200, 40, 40));
    ReferenceEdit reference(*edit_);
    reference.document()->addResource(QTextDocument::ImageResource, kPictureName, picture);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));

    QCOMPARE(Geometry(edit_->document()), Geometry(reference.document()));
    QCOMPARE(edit_->document()->documentLayout()->documentSize(), reference.document()->documentLayout()->documentSize());

    // A selection from inside the first paragraph into the bullets, caret and all.
    for (QTextEdit* view : {static_cast<QTextEdit*>(edit_.get()), static_cast<QTextEdit*>(&reference)}) {
        QTextCursor cursor(view->document());
        cursor.setPosition(30);
        cursor.setPosition(260, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
    }
    QVERIFY(Focus(edit_.get()));
    const QImage ours = edit_->viewport()->grab().toImage();
    QVERIFY(Focus(&reference));
    const QImage theirs = reference.viewport()->grab().toImage();
    if (ours != theirs) {
        ours.save(dir_.filePath(QStringLiteral("ours.png")));
        theirs.save(dir_.filePath(QStringLiteral("qt.png")));
        dir_.setAutoRemove(false);
        QFAIL(qPrintable(QStringLiteral("the document is drawn differently; see %1").arg(dir_.path())));
    }

    // Clicks anywhere, in the margins and below the text too.
    for (int y = -5; y < 400; y += 7)
        for (int x = -5; x < 360; x += 23) {
            const QPointF point(x, y);
            QCOMPARE(edit_->document()->documentLayout()->hitTest(point, Qt::FuzzyHit),
                     reference.document()->documentLayout()->hitTest(point, Qt::FuzzyHit));
            QCOMPARE(edit_->document()->documentLayout()->hitTest(point, Qt::ExactHit),
                     reference.document()->documentLayout()->hitTest(point, Qt::ExactHit));
        }

    // The caret keeps its column going down and back up across wrapped lines.
    for (QTextEdit* view : {static_cast<QTextEdit*>(edit_.get()), static_cast<QTextEdit*>(&reference)}) {
        QTextCursor cursor(view->document());
        cursor.setPosition(12);
        view->setTextCursor(cursor);
    }
    QVERIFY(Focus(edit_.get()));
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
                              Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_End, Qt::Key_Down}) {
        QTest::keyClick(edit_.get(), key);
        QTest::keyClick(&reference, key);
        QCOMPARE(edit_->textCursor().position(), reference.textCursor().position());
        QCOMPARE(edit_->cursorRect(), reference.cursorRect());
    }
}

void DocumentLayoutTest::rtfParagraphsStandWhereOtherReadersShowThem()
{
    // A right-to-left paragraph ends at its left: its final period stands there, at the
    // left edge for \\ql and short of the right one by \\li for \\qr. A bullet's hanging
    // indent holds the bullet, and the text of both lines starts at \\li (0.5 in), as
    // LibreOffice shows them.
    const QString path = dir_.filePath(QStringLiteral("readers.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\n"
               "\\pard\\rtlpar \\u1513?\\u1500?\\u1493?\\u1501?.\\par\n"
               "\\pard\\rtlpar\\qr\\li720 \\u1513?\\u1500?\\u1493?\\u1501?.\\par\n"
               "\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'B7}}\\fi-360\\li720 "
               "words enough to wrap the bullet's paragraph at the page width, twice over if need be\\par}");
    file.close();
    edit_->LoadFromFile(path);
    QTextDocument* doc = edit_->document();
    const auto line = [doc](int blockNumber, int lineNumber) {
        const QTextBlock block = doc->findBlockByNumber(blockNumber);
        doc->documentLayout()->blockBoundingRect(block);
        return block.layout()->lineAt(lineNumber);
    };
    const qreal halfInch = edit_->PixelsPerInch() / 2;
    // The text's end, after the period, and its start, before the first letter.
    QCOMPARE(line(0, 0).cursorToX(5), 0.0);
    QVERIFY(line(0, 0).cursorToX(4) > 0);
    QVERIFY(line(0, 0).cursorToX(0) > line(0, 0).cursorToX(4));
    QVERIFY(line(1, 0).cursorToX(5) < line(1, 0).cursorToX(4));
    QCOMPARE(line(1, 0).cursorToX(0), edit_->WrapWidth() - halfInch);
    QVERIFY(doc->findBlockByNumber(2).layout()->lineCount() >= 2);
    QCOMPARE(line(2, 0).cursorToX(0), halfInch);
    QCOMPARE(line(2, 1).x(), halfInch);
}

void DocumentLayoutTest::inputMethodPreeditIsDrawnAsQtDrawsIt()
{
    edit_->SetText(U("かな漢字変換の前後\nsecond line"));
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    const QList<QInputMethodEvent::Attribute> attributes = {
        {QInputMethodEvent::TextFormat, 0, 3, QVariant::fromValue(QTextFormat(QTextCharFormat()))},
        {QInputMethodEvent::Cursor, 2, 1, QVariant()}};
    QImage images[2];
    int i = 0;
    for (QTextEdit* view : {static_cast<QTextEdit*>(edit_.get()), static_cast<QTextEdit*>(&reference)}) {
        QTextCursor cursor(view->document());
        cursor.setPosition(4);
        view->setTextCursor(cursor);
        QVERIFY(Focus(view));
        QInputMethodEvent preedit(U("へんかん"), attributes);
        QApplication::sendEvent(view, &preedit);
        images[i++] = view->viewport()->grab().toImage();
        QCOMPARE(view->document()->toPlainText(), U("かな漢字変換の前後\nsecond line"));
    }
    QVERIFY(images[0] == images[1]);
    QInputMethodEvent commit;
    commit.setCommitString(U("変換"));
    QApplication::sendEvent(edit_.get(), &commit);
    QCOMPARE(edit_->Text(), U("かな漢字変換変換の前後\nsecond line"));
}

void DocumentLayoutTest::editsLeaveTheLayoutAFreshLayoutWouldMake()
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QStringLiteral("line %1 with a needle and enough words to wrap once at this width, or twice\n").arg(i);
    edit_->SetText(text);
    TDocumentLayout* layout = LayoutOf(*edit_);
    QVERIFY(layout);
    layout->FinishLayout();
    const auto sameAsFresh = [this, layout]() {
        layout->FinishLayout();
        ReferenceEdit reference(*edit_);
        const auto ours = Geometry(edit_->document());
        const auto theirs = Geometry(reference.document());
        for (int i = 0; i < std::min(ours.size(), theirs.size()); ++i)
            if (ours[i] != theirs[i]) {
                qWarning() << "paragraph" << i << "ours" << ours[i] << "Qt's" << theirs[i];
                break;
            }
        return ours == theirs;
    };

    // Typing and a paragraph break at the top, a paragraph joined in the middle.
    edit_->setFocus();
    edit_->SetSelStart(0);
    QTest::keyClicks(edit_.get(), QStringLiteral("typed at the top of the document so that it wraps differently "));
    QTest::keyClick(edit_.get(), Qt::Key_Return);
    edit_->SetSelStart(edit_->LineIndex(300));
    QTest::keyClick(edit_.get(), Qt::Key_Backspace);
    QVERIFY(sameAsFresh());

    // One edit block changing paragraphs far apart (every tenth), then its undo.
    edit_->BeginEditBlock();
    int occurrence = 0;
    for (int p = edit_->FindText(QStringLiteral("needle"), 0, -1, {}); p >= 0;
         p = edit_->FindText(QStringLiteral("needle"), p + 1, -p - 2, {}))
        if (occurrence++ % 10 == 0)
            edit_->ReplaceRange(p, 6, p % 3 ? QStringLiteral("x") : QStringLiteral("a much longer replacement text"));
    edit_->EndEditBlock();
    // Only the paragraphs that changed wait to be laid out again.
    QVERIFY2(layout->EstimatedParagraphs() <= 45, qPrintable(QString::number(layout->EstimatedParagraphs())));
    QVERIFY(sameAsFresh());
    edit_->Undo();
    QVERIFY(sameAsFresh());

    // A format change over everything, a narrower page, and the exact line numbers.
    edit_->SetSelStart(0);
    edit_->SetSelLength(-1);
    edit_->SelAttributes().SetSize(14);
    edit_->SetFormattingRect(10, 10, 250, 340);
    QVERIFY(sameAsFresh());
    const int lastLine = edit_->LineFromChar(edit_->TextLength());
    int lines = 0;
    for (const QList<qreal>& row : Geometry(edit_->document()))
        lines += int(row[2]);
    QCOMPARE(lastLine, lines - 1);
    const QTextBlock block = edit_->document()->findBlockByNumber(200);
    const int line = edit_->LineFromChar(block.position());
    QCOMPARE(edit_->LineIndex(line), block.position());
    QCOMPARE(edit_->LineIndex(line + 1), block.position() + block.layout()->lineAt(1).textStart());
}

void DocumentLayoutTest::backgroundLayoutFinishesWhateverTheUserTypes()
{
    QString text;
    for (int i = 0; i < 6000; ++i)
        text += (i % 2 ? U("日本語の行と") : QStringLiteral("a latin line ")) + QString::number(i) + QLatin1Char('\n');
    edit_->SetText(text + QStringLiteral("the very last line"));
    TDocumentLayout* layout = LayoutOf(*edit_);
    QVERIFY(layout->LayoutPending());
    // A key typed while the rest is still laid out in the background is shown, and the
    // background goes on in a later turn of the event loop, after the keys typed
    // meanwhile.
    QStringList order;
    const PaintWatch watch(edit_->viewport(), [&order]() { order << QStringLiteral("paint"); });
    const QMetaObject::Connection slices =
        QObject::connect(layout, &TDocumentLayout::LinesLaidOut, [&order]() { order << QStringLiteral("slice"); });
    edit_->setFocus();
    QTest::keyClick(edit_.get(), Qt::Key_X);
    QVERIFY(layout->LayoutPending());
    QCoreApplication::processEvents();
    QCOMPARE(order, QStringList{QStringLiteral("paint")});
    QObject::disconnect(slices);
    QTRY_VERIFY_WITH_TIMEOUT(!layout->LayoutPending(), 60000);
    QCoreApplication::processEvents();

    // The scroll range reaches the last line, whose place is exact.
    QScrollBar* bar = edit_->verticalScrollBar();
    const QTextBlock last = edit_->document()->lastBlock();
    const QRectF lastRect = layout->blockBoundingRect(last);
    QCOMPARE(bar->maximum(), qRound(lastRect.bottom()) - edit_->viewport()->height());
    ReferenceEdit reference(*edit_);
    QCOMPARE(lastRect, reference.document()->documentLayout()->blockBoundingRect(reference.document()->lastBlock()));
    QTest::keyClick(edit_.get(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(edit_->SelStart(), edit_->TextLength());
    QVERIFY(edit_->viewport()->rect().contains(edit_->cursorRect().center()));
    QCOMPARE(edit_->LineFromChar(edit_->TextLength()), 6000);
}

void DocumentLayoutTest::nothingIsDrawnBelowTheFormattingRectangle()
{
    QString text;
    for (int i = 0; i < 100; ++i)
        text += QStringLiteral("████ line %1 ████\n").arg(i);
    edit_->SetText(text);
    const int bottom = edit_->ClientHeight() - 40;
    edit_->SetFormattingRect(10, 10, 330, bottom);
    const QImage image = edit_->grab().toImage();
    const QRect client = edit_->contentsRect();
    const QRgb base = edit_->palette().color(QPalette::Base).rgb();
    const auto inkInRows = [&](int from, int to) {
        int ink = 0;
        for (int y = client.top() + from; y < client.top() + to; ++y)
            for (int x = client.left(); x < client.left() + 330; ++x)
                ink += image.pixel(x, y) != base;
        return ink;
    };
    QVERIFY(inkInRows(bottom - 30, bottom) > 0);
    QCOMPARE(inkInRows(bottom, edit_->ClientHeight()), 0);
    // A bottom edge above the top edge leaves the text visible.
    edit_->SetFormattingRect(10, 10, 330, 5);
    QVERIFY(edit_->viewport()->height() > 100);
}

void DocumentLayoutTest::theViewKeepsItsPlaceWhileHeightsAboveSettle()
{
    // Long Japanese lines wrap where an estimate from the average character width says
    // they would not, so the paragraphs above the view change height when laid out.
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("%1 ").arg(i) + U("長い日本語の行は折り返されます。").repeated(1 + i % 4) + QLatin1Char('\n');
    edit_->SetText(text);
    TDocumentLayout* layout = LayoutOf(*edit_);
    QScrollBar* bar = edit_->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    edit_->viewport()->repaint();  // what the user sees there
    const int shown = edit_->cursorForPosition(QPoint(5, 5)).position();
    QVERIFY(layout->LayoutPending());
    QTRY_VERIFY_WITH_TIMEOUT(!layout->LayoutPending(), 60000);
    QCOMPARE(edit_->cursorForPosition(QPoint(5, 5)).position(), shown);
}

// Every displayed line's first position, from Qt's layout of the reference.
QList<int> LineStarts(QTextDocument* doc)
{
    QList<int> starts;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);
        for (int n = 0; n < std::max(1, block.layout()->lineCount()); ++n)
            starts.append(block.position() + (n < block.layout()->lineCount() ? block.layout()->lineAt(n).textStart() : 0));
    }
    return starts;
}

void DocumentLayoutTest::aLongParagraphIsLaidOutInPiecesAsQtLaysItOutWhole()
{
    // Paragraphs this long are laid out in pieces of a few thousand characters; Latin
    // words wrap at spaces, Japanese anywhere, so an edit shifts the breaks after it
    // for a line or two, or for the rest of the paragraph.
    TLongParagraph::threshold = 2000;
    QString paragraph;
    for (int i = 0; paragraph.size() < 30000; ++i)
        paragraph += i % 3 ? QStringLiteral("word%1 and some latin text ").arg(i) : U("日本語の文章が続きます。");
    edit_->SetText(QStringLiteral("a short first paragraph\n") + paragraph + QStringLiteral("\nthe last one"));
    QTextDocument* doc = edit_->document();
    TDocumentLayout* layout = LayoutOf(*edit_);

    const auto sameAsQt = [&](const char* when) {
        ReferenceEdit reference(*edit_);
        const QList<int> starts = LineStarts(reference.document());
        // The line numbers and the lines' starts, asked before everything is laid out.
        for (int line = 0; line < starts.size(); line += 7)
            if (edit_->LineIndex(line) != starts[line])
                return qWarning() << when << "line" << line << edit_->LineIndex(line) << starts[line], false;
        for (int position = 0; position < edit_->TextLength(); position += 97) {
            const int expected = int(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
            if (edit_->LineFromChar(position) != expected)
                return qWarning() << when << "position" << position << edit_->LineFromChar(position) << expected, false;
        }
        layout->FinishLayout();
        if (edit_->LineIndex(int(starts.size())) != -1
            || layout->documentSize() != reference.document()->documentLayout()->documentSize())
            return qWarning() << when << "size" << layout->documentSize(), false;
        // Clicks down the whole paragraph, and what is drawn in the middle of it.
        const qreal height = layout->documentSize().height();
        for (qreal y = 3; y < height; y += height / 97)
            for (int x = -5; x < 360; x += 41)
                if (layout->hitTest(QPointF(x, y), Qt::FuzzyHit)
                    != reference.document()->documentLayout()->hitTest(QPointF(x, y), Qt::FuzzyHit))
                    return qWarning() << when << "hit" << x << y << layout->hitTest(QPointF(x, y), Qt::FuzzyHit) << reference.document()->documentLayout()->hitTest(QPointF(x, y), Qt::FuzzyHit), false;
        edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum() / 2);
        reference.verticalScrollBar()->setValue(edit_->verticalScrollBar()->value());
        QCoreApplication::processEvents();
        if (edit_->viewport()->grab().toImage() != reference.viewport()->grab().toImage())
            return qWarning() << when << "drawn differently", false;
        return true;
    };
    QVERIFY(sameAsQt("opened"));

    // Edits in the middle of the paragraph: a word typed, a stretch deleted across
    // several pieces, a space at the start of a line, a format change, and their undo.
    const int middle = doc->findBlockByNumber(1).position() + 15000;
    QTextCursor cursor(doc);
    cursor.setPosition(middle);
    cursor.insertText(QStringLiteral("inserted "));
    QVERIFY(sameAsQt("typed"));
    cursor.setPosition(middle - 9000);
    cursor.setPosition(middle + 1000, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QVERIFY(sameAsQt("deleted"));
    cursor.setPosition(edit_->LineIndex(edit_->LineFromChar(middle - 9000) + 1));
    cursor.insertText(QStringLiteral(" "));
    QVERIFY(sameAsQt("space"));
    cursor.setPosition(middle - 12000);
    cursor.setPosition(middle - 11000, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    QVERIFY(sameAsQt("bold"));
    doc->undo();
    doc->undo();
    QVERIFY(sameAsQt("undone"));
}

void DocumentLayoutTest::keysInALongParagraphDoWhatTheyDoElsewhere()
{
    // The control moves the caret and edits in long paragraphs itself; a QTextEdit on
    // Qt's own layout, given the same keys, is the reference.
    TLongParagraph::threshold = 2000;
    QString paragraph;
    for (int i = 0; paragraph.size() < 12000; ++i)
        paragraph += i % 4 ? QStringLiteral("word%1, more words ").arg(i) : U("日本語の文が続く。");
    edit_->SetText(QStringLiteral("short\n") + paragraph + QStringLiteral("\nend"));
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    for (QTextEdit* view : {static_cast<QTextEdit*>(edit_.get()), static_cast<QTextEdit*>(&reference)}) {
        QTextCursor cursor(view->document());
        cursor.setPosition(3);
        view->setTextCursor(cursor);
    }
    QVERIFY(Focus(edit_.get()));
    using Key = std::pair<int, Qt::KeyboardModifiers>;
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const QList<Key> keys = {
        {Qt::Key_Down, none}, {Qt::Key_Down, none}, {Qt::Key_Right, none}, {Qt::Key_End, none},
        {Qt::Key_Down, none}, {Qt::Key_Home, none}, {Qt::Key_PageDown, none}, {Qt::Key_Right, Qt::ControlModifier},
        {Qt::Key_Right, Qt::ControlModifier}, {Qt::Key_Left, Qt::ControlModifier}, {Qt::Key_Down, Qt::ShiftModifier},
        {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Left, none}, {Qt::Key_Up, none}, {Qt::Key_PageDown, none},
        {Qt::Key_PageDown, none}, {Qt::Key_PageUp, none}, {Qt::Key_End, Qt::ControlModifier}, {Qt::Key_Up, none},
        {Qt::Key_Up, none}, {Qt::Key_Home, Qt::ShiftModifier}, {Qt::Key_X, none}, {Qt::Key_Y, none},
        {Qt::Key_Backspace, none}, {Qt::Key_Delete, none}, {Qt::Key_Left, none}, {Qt::Key_Return, none},
        {Qt::Key_Z, none}, {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_Down, none}, {Qt::Key_Down, none},
        {Qt::Key_Delete, none}};
    for (const Key& key : keys) {
        QTest::keyClick(edit_.get(), Qt::Key(key.first), key.second);
        QTest::keyClick(&reference, Qt::Key(key.first), key.second);
        const QTextCursor ours = edit_->textCursor();
        const QTextCursor theirs = reference.textCursor();
        QVERIFY2(ours.position() == theirs.position() && ours.anchor() == theirs.anchor(),
                 qPrintable(QStringLiteral("after key %1: %2-%3, Qt %4-%5").arg(key.first).arg(ours.anchor())
                                .arg(ours.position()).arg(theirs.anchor()).arg(theirs.position())));
        // The caret stays in view, where Qt's own layout would put it.
        QVERIFY(edit_->viewport()->rect().contains(edit_->CaretRect().center()));
        QVERIFY2(edit_->CaretRect() == reference.cursorRect(), qPrintable(QStringLiteral("key %1: scroll %2 vs %3, max %4 vs %5").arg(key.first).arg(edit_->verticalScrollBar()->value()).arg(reference.verticalScrollBar()->value()).arg(edit_->verticalScrollBar()->maximum()).arg(reference.verticalScrollBar()->maximum())));
    }
    QCOMPARE(edit_->document()->toPlainText(), reference.document()->toPlainText());

    // Typing runs undo as one step, as in QTextEdit.
    for (QTextEdit* view : {static_cast<QTextEdit*>(edit_.get()), static_cast<QTextEdit*>(&reference)}) {
        QTest::keyClicks(view, QStringLiteral("abc"));
        QTest::keyClick(view, Qt::Key_Backspace);
        view->undo();
    }
    QCOMPARE(edit_->document()->toPlainText(), reference.document()->toPlainText());

    // An input method's composition is shown but not in the text until committed.
    const QString before = edit_->Text();
    const QList<QInputMethodEvent::Attribute> attributes = {{QInputMethodEvent::Cursor, 2, 1, QVariant()}};
    QInputMethodEvent preedit(U("へんかん"), attributes);
    QApplication::sendEvent(edit_.get(), &preedit);
    QCOMPARE(edit_->Text(), before);
    QVERIFY(!edit_->Modified() || edit_->document()->isUndoAvailable());
    QInputMethodEvent commit;
    commit.setCommitString(U("変換"));
    const int at = edit_->SelStart();
    QApplication::sendEvent(edit_.get(), &commit);
    QCOMPARE(edit_->Text(), before.left(at) + U("変換") + before.mid(at));
    QCOMPARE(static_cast<QWidget*>(edit_.get())->inputMethodQuery(Qt::ImCursorRectangle).toRectF(), QRectF(edit_->CaretRect()));
}

void DocumentLayoutTest::randomEditsLeaveLongParagraphsAsQtLaysThemOut()
{
    // Edits anywhere (paragraph breaks typed and removed, stretches deleted, formats
    // changed, undone) must leave the same lines as a layout from scratch.
    TLongParagraph::threshold = 1500;
    QString text;
    for (int i = 0; text.size() < 20000; ++i)
        text += i % 5 == 4 ? U("日本語の文章が続きます。") : QStringLiteral("word%1 latin text ").arg(i);
    edit_->SetText(text.left(9000) + QLatin1Char('\n') + text.mid(9000));
    QTextDocument* doc = edit_->document();
    TDocumentLayout* layout = LayoutOf(*edit_);
    quint32 seed = qEnvironmentVariableIntValue("LAYOUT_SEED") ? quint32(qEnvironmentVariableIntValue("LAYOUT_SEED")) : 7u;
    const auto next = [&seed](int bound) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(std::max(1, bound)));
    };
    const int rounds = qEnvironmentVariableIntValue("LAYOUT_ROUNDS") ? qEnvironmentVariableIntValue("LAYOUT_ROUNDS") : 40;
    for (int round = 0; round < rounds; ++round) {
        QTextCursor cursor(doc);
        const int length = doc->characterCount() - 1;
        const int at = next(length);
        cursor.setPosition(at);
        switch (next(6)) {
        case 0: cursor.insertText(QStringLiteral("typed words ")); break;
        case 1: cursor.insertText(U("かな")); break;
        case 2: cursor.insertBlock(); break;
        case 3: cursor.setPosition(std::min(length, at + next(3000)), QTextCursor::KeepAnchor); cursor.removeSelectedText(); break;
        case 4: {
            cursor.setPosition(std::min(length, at + next(500)), QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setFontPointSize(8 + next(12));
            cursor.mergeCharFormat(format);
            break;
        }
        default: doc->undo(); break;
        }
        // Lines asked for before the background layout has finished, then all of them.
        ReferenceEdit reference(*edit_);
        const QList<int> starts = LineStarts(reference.document());
        const int probe = next(int(starts.size()));
        QCOMPARE(edit_->LineIndex(probe), starts[probe]);
        layout->FinishLayout();
        for (int line = 0; line < starts.size(); ++line)
            QVERIFY2(edit_->LineIndex(line) == starts[line], qPrintable(QStringLiteral("round %1 line %2").arg(round).arg(line)));
        QCOMPARE(layout->documentSize(), reference.document()->documentLayout()->documentSize());
    }
}

void DocumentLayoutTest::aPictureInALongParagraphIsDrawnAsQtDrawsIt()
{
    // As an RTF whose lines end in \\line reads: one paragraph, pictures inside it.
    TLongParagraph::threshold = 2000;
    QString text;
    for (int i = 0; text.size() < 6000; ++i)
        text += QStringLiteral("word%1 latin text ").arg(i);
    edit_->SetText(text);
    const QImage picture = InsertPicture(*edit_, 150, QSize(40, 30), QColor(40, 120, 200));
    ReferenceEdit reference(*edit_);
    reference.document()->addResource(QTextDocument::ImageResource, kPictureName, picture);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    QCOMPARE(Geometry(edit_->document()), Geometry(reference.document()));
    QVERIFY(edit_->viewport()->grab().toImage() == reference.viewport()->grab().toImage());
}

void DocumentLayoutTest::aLongParagraphKeepsTheLayoutsOfAFewPiecesOnly()
{
    // A paragraph of megabytes keeps the shaped lines of a few pieces near where it was
    // last read, whether its pieces were laid out in the background or by reading it
    // from end to end: memory does not grow with the paragraph.
    QString text;
    while (text.size() < 400000)
        text += U("日本語の文章と some latin words in between. ");
    QTextDocument doc;
    QTextCursor(&doc).insertText(text);
    LayoutEnvironment environment;
    environment.pageWidth = 300;
    environment.defaultFont = doc.defaultFont();
    const QTextBlock block = doc.firstBlock();
    TLongParagraph paragraph(block, environment);
    QVERIFY(paragraph.Extend(block, -1));
    const QRectF first = paragraph.CaretRect(block, 1234, 1);
    QVERIFY2(paragraph.KeptLayouts() <= 48, qPrintable(QString::number(paragraph.KeptLayouts())));
    for (int offset = 0; offset < text.size(); offset += 997)
        paragraph.CaretRect(block, offset, 1);
    QVERIFY2(paragraph.KeptLayouts() <= 48, qPrintable(QString::number(paragraph.KeptLayouts())));
    // A piece whose layout was dropped is laid out again as it was.
    QCOMPARE(paragraph.CaretRect(block, 1234, 1), first);
    QCOMPARE(paragraph.LineAt(block, paragraph.Lines() - 1).last, true);
}

void DocumentLayoutTest::aJumpFarIntoALongParagraphEndsAsALayoutFromItsStart()
{
    // A jump to the end of a paragraph of megabytes lays out its end at once, the lines
    // before estimated; once the layout from the start has met those lines, and after
    // edits before and after the place jumped to, the paragraph reads as a layout from
    // its start.
    QString text;
    for (int i = 0; text.size() < 300000; ++i)
        text += i % 3 ? QStringLiteral("word%1 and latin text ").arg(i) : U("日本語の文章が続きます。");
    QTextDocument doc;
    QTextCursor(&doc).insertText(text);
    LayoutEnvironment environment;
    environment.pageWidth = 300;
    environment.defaultFont = doc.defaultFont();
    const QTextBlock block = doc.firstBlock();
    const auto sameAsFresh = [&](TLongParagraph& paragraph, const char* when) {
        TLongParagraph fresh(block, environment);
        fresh.Extend(block, -1);
        if (paragraph.Lines() != fresh.Lines() || paragraph.Height() != fresh.Height())
            return qWarning() << when << paragraph.Lines() << fresh.Lines(), false;
        for (int offset = 0; offset < block.length(); offset += 4999)
            if (paragraph.CaretRect(block, offset, 1) != fresh.CaretRect(block, offset, 1))
                return qWarning() << when << offset, false;
        return true;
    };
    TLongParagraph paragraph(block, environment);
    paragraph.CaretRect(block, text.size(), 1);
    QVERIFY2(!paragraph.Exact() && paragraph.PendingBefore(text.size()) > 200000, "the jump laid out what lies before");
    QVERIFY(paragraph.Extend(block, -1));
    QVERIFY(sameAsFresh(paragraph, "filled"));

    // A place a screen or two before the island (the top of the view showing it) is
    // laid out with it, and what was shown stays where it was.
    TLongParagraph grown(block, environment);
    const int middle = text.size() / 2;
    grown.CaretRect(block, middle + 5000, 1);
    const QRectF shown = grown.CaretRect(block, middle, 1);
    const QRectF above = grown.CaretRect(block, middle - 6000, 1);
    QVERIFY2(above.top() < shown.top() && shown.top() - above.top() < 2000, qPrintable(QStringLiteral("%1 %2").arg(above.top()).arg(shown.top())));
    QCOMPARE(grown.CaretRect(block, middle, 1), shown);
    QVERIFY(grown.PendingBefore(middle) > 100000);
    QVERIFY(grown.Extend(block, -1));
    QVERIFY(sameAsFresh(grown, "grown back"));

    TLongParagraph edited(block, environment);
    edited.CaretRect(block, text.size() - 10, 1);
    QTextCursor cursor(&doc);
    cursor.setPosition(100);
    cursor.insertText(QStringLiteral("inserted "));
    edited.Edit(block, 100, 0, 9);
    edited.CaretRect(block, block.length() - 20, 1);
    const int nearEnd = block.length() - 50;
    cursor.setPosition(nearEnd);
    cursor.insertText(QStringLiteral(" near the end "));
    edited.Edit(block, nearEnd, 0, 14);
    QVERIFY(edited.Extend(block, -1));
    QVERIFY(sameAsFresh(edited, "edited"));
}

// Whether edit's lines, size, clicks and picture (scrolled to the middle) are those of
// Qt's own layout of the same document; warns of the first difference.
bool LaidOutAsQt(TRichEdit& edit, const char* when)
{
    TDocumentLayout* layout = LayoutOf(edit);
    ReferenceEdit reference(edit);
    const QList<int> starts = LineStarts(reference.document());
    // A line asked for before the background has laid the paragraph out, then all.
    if (edit.LineIndex(int(starts.size()) / 2) != starts[starts.size() / 2])
        return qWarning() << when << "middle line" << edit.LineIndex(int(starts.size()) / 2), false;
    layout->FinishLayout();
    for (int line = 0; line < starts.size(); ++line)
        if (edit.LineIndex(line) != starts[line])
            return qWarning() << when << "line" << line << edit.LineIndex(line) << starts[line], false;
    QAbstractTextDocumentLayout* qt = reference.document()->documentLayout();
    if (layout->documentSize() != qt->documentSize())
        return qWarning() << when << "size" << layout->documentSize() << qt->documentSize(), false;
    const qreal height = layout->documentSize().height();
    for (qreal y = 3; y < height; y += height / 53)
        for (int x = -5; x < 360; x += 67)
            if (layout->hitTest(QPointF(x, y), Qt::FuzzyHit) != qt->hitTest(QPointF(x, y), Qt::FuzzyHit))
                return qWarning() << when << "hit" << x << y, false;
    edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum() / 2);
    reference.verticalScrollBar()->setValue(edit.verticalScrollBar()->value());
    QCoreApplication::processEvents();
    if (edit.viewport()->grab().toImage() != reference.viewport()->grab().toImage())
        return qWarning() << when << "drawn differently", false;
    return true;
}

void DocumentLayoutTest::wideEditsOfALongParagraphEndAsQtLaysItOut()
{
    // Edits spanning a whole long paragraph (Replace All, a paragraph format, bold over
    // Ctrl+A) lay out only its start at once, the view when drawn, and the rest later;
    // whenever asked, and once all is laid out, the lines are those of a layout from
    // scratch, and the text and the caret are what the edit made.
    TLongParagraph::threshold = 2000;
    QString paragraph;
    for (int i = 0; paragraph.size() < 40000; ++i)
        paragraph += i % 4 ? QStringLiteral("needle%1 and latin words ").arg(i % 7) : U("日本語の文章が続きます。");
    const QString text = paragraph + QStringLiteral("\nthe last paragraph");
    edit_->SetText(text);
    QVERIFY(LaidOutAsQt(*edit_, "opened"));

    const int count = ReplaceAllInDocument(*edit_, QStringLiteral("needle"), QStringLiteral("pin"), TSearchTypes{});
    QString replaced = text;
    replaced.replace(QStringLiteral("needle"), QStringLiteral("pin"));
    QCOMPARE(count, int(text.count(QStringLiteral("needle"))));
    QCOMPARE(edit_->Text(), replaced);
    // The caret after the last replacement, as Replace All leaves it.
    QCOMPARE(edit_->SelStart(), int(replaced.lastIndexOf(QStringLiteral("pin"))) + 3);
    QVERIFY(LaidOutAsQt(*edit_, "replaced"));
    edit_->Undo();
    QCOMPARE(edit_->Text(), text);
    QVERIFY(LaidOutAsQt(*edit_, "undone"));

    edit_->SetSelStart(20000);
    edit_->Paragraph().SetAlignment(taCenter);
    // Before the rest is laid out, a click on the paragraph's last pixel lands in it.
    TDocumentLayout* layout = LayoutOf(*edit_);
    const QRectF bounds = layout->blockBoundingRect(edit_->document()->firstBlock());
    const int hit = layout->hitTest(QPointF(5, bounds.bottom() - 0.5), Qt::FuzzyHit);
    QVERIFY2(hit > 20000 && hit <= paragraph.size(), qPrintable(QString::number(hit)));
    QVERIFY(LaidOutAsQt(*edit_, "centred"));
    edit_->Paragraph().SetLeftIndent(30);
    QVERIFY(LaidOutAsQt(*edit_, "indented"));
    edit_->Paragraph().SetNumbering(nsBullet);
    QVERIFY(LaidOutAsQt(*edit_, "bulleted"));
    edit_->selectAll();
    edit_->SelAttributes().SetStyle({true, false, false, false});
    // The reference shows no selection.
    edit_->SetSelStart(20000);
    QVERIFY(LaidOutAsQt(*edit_, "bold"));
    QCOMPARE(edit_->Text(), text);
}

QTEST_MAIN(DocumentLayoutTest)
#include "tst_document_layout.moc"
