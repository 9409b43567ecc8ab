// What the user does in a paragraph laid out in segments, checked against a QTextEdit on
// Qt's own layout given the same document and the same mouse and input-method events:
// clicks that select words and paragraphs, compositions, and what a screen reader asks.
#include "platform/forms/Application.h"
#include "platform/layout/LongParagraph.h"
#include "platform/richedit/LongParagraphEditing.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "support/ReferenceEdit.h"
#include "support/WindowSetFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>

namespace {

// A paragraph of Latin words and Japanese sentences, about `size` characters long.
QString LongText(int size)
{
    QString text;
    for (int i = 0; text.size() < size; ++i)
        text += i % 4 ? QStringLiteral("word%1, more words ").arg(i) : U("日本語の文が続く。");
    return text;
}

QList<QTextEdit*> Both(TRichEdit& edit, ReferenceEdit& reference)
{
    return {&edit, &reference};
}

} // namespace

class LongParagraphEditingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void doubleAndTripleClicksSelectAsElsewhere();
    void aCompositionPushesTheTextAlongInItsOwnFormats();
    void aScreenReaderFindsCharactersAndLinesAsElsewhere();
    void aDragAfterADoubleClickExtendsByWords();
    void aClickInACompositionLeavesItToTheInputMethod();
    void aSelectionFromTheParagraphBeforeIsDrawnAsElsewhere();

private:
    std::unique_ptr<TRichEdit> edit_;
    const int defaultThreshold_ = TLongParagraph::threshold;
};

void LongParagraphEditingTest::initTestCase()
{
    SilencePlatformNoise();
    static TApplication application;
    application.Initialize();
    QApplication::setCursorFlashTime(0);
}

void LongParagraphEditingTest::init()
{
    // Paragraphs this long are laid out in segments.
    TLongParagraph::threshold = 2000;
    edit_ = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    edit_->resize(420, 360);
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
    edit_->SetFormattingRect(10, 10, 330, 340);
    edit_->SetText(QStringLiteral("short\n") + LongText(8000) + QStringLiteral("\nend"));
}

void LongParagraphEditingTest::cleanup()
{
    edit_.reset();
    TLongParagraph::threshold = defaultThreshold_;
    TLongParagraphEditing::compositionClicked = nullptr;
}

void LongParagraphEditingTest::doubleAndTripleClicksSelectAsElsewhere()
{
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    const auto sameSelection = [&](const char* when) {
        const QTextCursor ours = edit_->textCursor();
        const QTextCursor theirs = reference.textCursor();
        if (ours.anchor() == theirs.anchor() && ours.position() == theirs.position())
            return true;
        qWarning() << when << ours.anchor() << ours.position() << "Qt" << theirs.anchor() << theirs.position();
        return false;
    };
    // On a word of the long paragraph's third line, and on a Japanese one.
    for (const QPoint point : {QPoint(75, 40), QPoint(20, 22)}) {
        for (QTextEdit* view : Both(*edit_, reference)) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
        }
        QVERIFY(edit_->textCursor().hasSelection());
        QVERIFY(sameSelection("double-click"));
    }
    // A click on the same spot once the double-click is long past places the caret only;
    // one right after it selects the paragraph.
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    for (QTextEdit* view : Both(*edit_, reference))
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 22));
    QVERIFY(!edit_->textCursor().hasSelection());
    QVERIFY(sameSelection("later click"));
    for (QTextEdit* view : Both(*edit_, reference)) {
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 22));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, 22));
    }
    QCOMPARE(edit_->textCursor().selectedText().size(), edit_->document()->findBlockByNumber(1).length());
    QVERIFY(sameSelection("triple click"));
}

void LongParagraphEditingTest::aCompositionPushesTheTextAlongInItsOwnFormats()
{
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    // The clause being converted in the input method's colours, the rest as typed.
    QTextCharFormat clause;
    clause.setBackground(QColor(60, 90, 200));
    clause.setForeground(QColor(255, 255, 255));
    const QList<QInputMethodEvent::Attribute> attributes = {
        {QInputMethodEvent::TextFormat, 2, 3, QVariant::fromValue(QTextFormat(clause))},
        {QInputMethodEvent::Cursor, 4, 1, QVariant()}};
    const QString before = edit_->Text();
    const auto images = [&](const std::function<void(QTextEdit*)>& act) {
        QList<QImage> drawn;
        for (QTextEdit* view : Both(*edit_, reference)) {
            if (!Focus(view))
                return QList<QImage>();
            act(view);
            QCoreApplication::processEvents();
            drawn.append(view->viewport()->grab().toImage());
        }
        return drawn;
    };
    QList<QImage> drawn = images([](QTextEdit* view) {
        QTextCursor cursor(view->document());
        cursor.setPosition(60);
        view->setTextCursor(cursor);
    });
    drawn = images([&](QTextEdit* view) {
        QInputMethodEvent preedit(U("へんかんちゅうです"), attributes);
        QApplication::sendEvent(view, &preedit);
    });
    QCOMPARE(drawn.size(), 2);
    QVERIFY2(drawn[0] == drawn[1], "the composition is drawn otherwise than Qt draws it");
    QCOMPARE(edit_->Text(), before);
    // A click ends it: committed by the input method, dropped where there is none.
    drawn = images([](QTextEdit* view) { QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(150, 120)); });
    QCOMPARE(drawn.size(), 2);
    QVERIFY2(drawn[0] == drawn[1], "the composition outlives a click");
    QCOMPARE(edit_->textCursor().position(), reference.textCursor().position());
    QCOMPARE(edit_->Text(), before);
}

void LongParagraphEditingTest::aScreenReaderFindsCharactersAndLinesAsElsewhere()
{
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    QAccessibleInterface* ours = QAccessible::queryAccessibleInterface(edit_.get());
    QAccessibleInterface* theirs = QAccessible::queryAccessibleInterface(&reference);
    QVERIFY(ours && ours->textInterface() && theirs && theirs->textInterface());
    const QPoint ourOrigin = edit_->viewport()->mapToGlobal(QPoint());
    const QPoint theirOrigin = reference.viewport()->mapToGlobal(QPoint());
    // In the short paragraphs and down the long one, on screen and below it.
    for (const int offset : {3, 6, 40, 61, 62, 2500, 7000, 8008}) {
        const QRect rect = ours->textInterface()->characterRect(offset).translated(-ourOrigin);
        QCOMPARE(rect, theirs->textInterface()->characterRect(offset).translated(-theirOrigin));
        QVERIFY(rect.height() > 0);
        for (const auto type : {QAccessible::LineBoundary, QAccessible::WordBoundary, QAccessible::CharBoundary}) {
            int start[2] = {};
            int end[2] = {};
            QCOMPARE(ours->textInterface()->textAtOffset(offset, type, &start[0], &end[0]),
                     theirs->textInterface()->textAtOffset(offset, type, &start[1], &end[1]));
            QCOMPARE(start[0], start[1]);
            QCOMPARE(end[0], end[1]);
        }
    }
    QCOMPARE(ours->textInterface()->offsetAtPoint(ourOrigin + QPoint(150, 120)),
             theirs->textInterface()->offsetAtPoint(theirOrigin + QPoint(150, 120)));
}

void LongParagraphEditingTest::aDragAfterADoubleClickExtendsByWords()
{
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    const auto send = [](QTextEdit* view, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    };
    // A double-click held on a word of the third line, dragged right along the line,
    // then down a line, then left of the word, and released.
    const QPoint word(75, 40);
    for (const QPoint to : {QPoint(150, 40), QPoint(200, 58), QPoint(12, 40)}) {
        for (QTextEdit* view : Both(*edit_, reference)) {
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            send(view, QEvent::MouseButtonPress, word, Qt::LeftButton);
            send(view, QEvent::MouseButtonRelease, word, Qt::NoButton);
            send(view, QEvent::MouseButtonDblClick, word, Qt::LeftButton);
            send(view, QEvent::MouseMove, to, Qt::LeftButton);
            send(view, QEvent::MouseButtonRelease, to, Qt::NoButton);
        }
        const QTextCursor ours = edit_->textCursor();
        const QTextCursor theirs = reference.textCursor();
        QVERIFY2(ours.anchor() == theirs.anchor() && ours.position() == theirs.position(),
                 qPrintable(QStringLiteral("to (%1, %2): %3-%4, Qt %5-%6").arg(to.x()).arg(to.y()).arg(ours.anchor())
                                .arg(ours.position()).arg(theirs.anchor()).arg(theirs.position())));
        QVERIFY(ours.hasSelection());
    }
}

void LongParagraphEditingTest::aClickInACompositionLeavesItToTheInputMethod()
{
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    const QString before = edit_->Text();
    QTextCursor at(reference.document());
    at.setPosition(60);
    // On the composition's third character, which starts where the caret stood: the
    // caret stays, and so does the composition (no input method here commits it).
    const QPoint onComposition = reference.cursorRect(at).center() + QPoint(30, 0);
    // The input method is told which of the composition's places was clicked, as
    // QTextEdit tells it: what its layout's hit test gives less the caret's position.
    int clicked = -1;
    TLongParagraphEditing::compositionClicked = [&](int offset) { clicked = offset; };
    int expected = -1;
    QList<QImage> drawn;
    for (QTextEdit* view : Both(*edit_, reference)) {
        QVERIFY(Focus(view));
        QTextCursor cursor(view->document());
        cursor.setPosition(60);
        view->setTextCursor(cursor);
        QInputMethodEvent preedit(U("へんかんちゅうです"), {});
        QApplication::sendEvent(view, &preedit);
        if (view == &reference) {
            const QPoint scroll(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
            expected = view->document()->documentLayout()->hitTest(onComposition + scroll, Qt::FuzzyHit) - 60;
        }
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onComposition);
        QCoreApplication::processEvents();
        drawn.append(view->viewport()->grab().toImage());
    }
    QVERIFY(expected > 0);
    QCOMPARE(clicked, expected);
    QCOMPARE(edit_->textCursor().position(), reference.textCursor().position());
    QCOMPARE(edit_->Text(), before);
    QVERIFY2(drawn[0] == drawn[1], "the composition is not shown as Qt shows it after a click on it");
    // A few characters past its end, on the same line, the click is an ordinary one.
    for (QTextEdit* view : Both(*edit_, reference))
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onComposition + QPoint(120, 0));
    QCOMPARE(edit_->textCursor().position(), reference.textCursor().position());
    QVERIFY(edit_->textCursor().position() > 60);
    QCOMPARE(edit_->Text(), before);
}


void LongParagraphEditingTest::aSelectionFromTheParagraphBeforeIsDrawnAsElsewhere()
{
    // A selection from the paragraph before into a centred long paragraph highlights
    // its first lines whole, from edge to edge of their text.
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCursor(edit_->document()->findBlockByNumber(1)).mergeBlockFormat(centred);
    ReferenceEdit reference(*edit_);
    QVERIFY(QTest::qWaitForWindowExposed(&reference));
    QList<QImage> drawn;
    for (QTextEdit* view : Both(*edit_, reference)) {
        QTextCursor cursor(view->document());
        cursor.setPosition(3);
        cursor.setPosition(1500, QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        view->verticalScrollBar()->setValue(0);
        drawn.append(view->viewport()->grab().toImage());
    }
    QVERIFY2(drawn[0] == drawn[1], "the selection is drawn otherwise than Qt draws it");
}

QTEST_MAIN(LongParagraphEditingTest)
#include "tst_long_paragraph_editing.moc"
