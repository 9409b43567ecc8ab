// The status bar: caret line and column on displayed lines, the modified mark and the
// file name.
#include "platform/layout/DocumentLayout.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "shell/SDIMain.h"
#include "support/WindowSetFixture.h"

#include <QTest>

class StatusBarTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void emptyUntitledDocumentAtStart();
    void caretOnTheThirdLine();
    void aSelectionReportsItsLowerEnd();
    void wrappedParagraphsCountAsSeveralLines();
    void modifiedFollowsTheFlagAndTheFileNameIsShownInFull();
    void everySelectionChangeRefreshes();
    void aJumpAheadOfTheLayoutIsShownAtOnceThenCorrected();

private:
    QString panel(int index) const { return form_->StatusBar->PanelText(index); }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    TRichEdit* edit_ = nullptr;
};

void StatusBarTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    edit_ = form_->RichEdit1;
    QVERIFY(fixture_->showMainWindow());
    edit_->setFocus();
}

void StatusBarTest::cleanup()
{
    fixture_.reset();
}

void StatusBarTest::emptyUntitledDocumentAtStart()
{
    QCOMPARE(panel(0), QStringLiteral("1: 1"));
    QCOMPARE(panel(1), QString());
    QCOMPARE(panel(2), QStringLiteral("(Untitled)"));
}

void StatusBarTest::caretOnTheThirdLine()
{
    QTest::keyClicks(edit_, QStringLiteral("one"));
    QTest::keyClick(edit_, Qt::Key_Return);
    QTest::keyClicks(edit_, QStringLiteral("two"));
    QTest::keyClick(edit_, Qt::Key_Return);
    QCOMPARE(panel(0), QStringLiteral("3: 1"));
    QTest::keyClicks(edit_, QStringLiteral("abcde"));
    QCOMPARE(panel(0), QStringLiteral("3: 6"));
    QTest::keyClick(edit_, Qt::Key_Up);
    QCOMPARE(panel(0), QStringLiteral("2: 4"));
    QTest::keyClick(edit_, Qt::Key_Home);
    QCOMPARE(panel(0), QStringLiteral("2: 1"));
}

void StatusBarTest::aSelectionReportsItsLowerEnd()
{
    edit_->SetText(QStringLiteral("alpha\nbeta gamma"));
    edit_->SetSelStart(8);
    QTest::keyClick(edit_, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(edit_, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(panel(0), QStringLiteral("2: 3"));  // caret at the upper end
    edit_->SetSelStart(12);
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(edit_, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(edit_->SelStart(), 3);
    QCOMPARE(panel(0), QStringLiteral("1: 4"));  // caret at the lower end
}

void StatusBarTest::wrappedParagraphsCountAsSeveralLines()
{
    QString words;
    for (int i = 0; i < 60; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    edit_->SetText(words + QStringLiteral("\nnext"));
    QTest::qWait(1);
    const int secondLine = edit_->LineIndex(1);
    QVERIFY2(secondLine > 0 && secondLine < words.size(), "the paragraph wraps");
    edit_->SetSelStart(secondLine + 2);
    QCOMPARE(panel(0), QStringLiteral("2: 3"));
    const int lastLineOfParagraph = edit_->LineFromChar(words.size() - 1);
    QVERIFY(lastLineOfParagraph >= 1);
    edit_->SetSelStart(words.size() + 1);  // start of "next"
    QCOMPARE(panel(0), QStringLiteral("%1: 1").arg(lastLineOfParagraph + 2));
    // Unicode text counts characters as the document does.
    edit_->SetText(QString::fromUtf8("日本語テキスト"));
    edit_->SetSelStart(3);
    QCOMPARE(panel(0), QStringLiteral("1: 4"));
}

void StatusBarTest::modifiedFollowsTheFlagAndTheFileNameIsShownInFull()
{
    QTest::keyClicks(edit_, QStringLiteral("x"));
    QCOMPARE(panel(1), QStringLiteral("Modified"));
    form_->DocumentFileName = QStringLiteral("/home/user/documents/a rather long name/notes.rtf");
    edit_->SetModified(false);
    form_->UpdateStatusBar();
    QCOMPARE(panel(1), QString());
    QCOMPARE(panel(2), form_->DocumentFileName);
    form_->DocumentFileName.clear();
    form_->UpdateStatusBar();
    QCOMPARE(panel(2), QStringLiteral("(Untitled)"));
}

void StatusBarTest::everySelectionChangeRefreshes()
{
    edit_->SetText(QStringLiteral("abc\ndef"));
    edit_->SetSelStart(5);
    QCOMPARE(panel(0), QStringLiteral("2: 2"));
    edit_->SetSelStart(0);
    edit_->SetSelLength(-1);
    QCOMPARE(panel(0), QStringLiteral("1: 1"));
    QTest::keyClick(edit_, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(panel(0), QStringLiteral("2: 4"));
}

void StatusBarTest::aJumpAheadOfTheLayoutIsShownAtOnceThenCorrected()
{
    // Paragraphs of one line and of several, so that an estimate is likely off.
    QString text;
    for (int i = 0; i < 6000; ++i)
        text += i % 5 ? QStringLiteral("line %1\n").arg(i) : QStringLiteral("word ").repeated(40 + i % 13) + QLatin1Char('\n');
    text += QStringLiteral("the end");
    edit_->SetText(text);
    auto* layout = qobject_cast<TDocumentLayout*>(edit_->document()->documentLayout());
    QVERIFY(layout && layout->LayoutPending());
    // The caret moves, and the status line follows, without waiting for the layout.
    QTest::keyClick(edit_, Qt::Key_End, Qt::ControlModifier);
    QVERIFY2(layout->LayoutPending(), "the status line waited for the whole document to be laid out");
    QVERIFY(panel(0).endsWith(QStringLiteral(": 8")));
    // Once the layout has passed the caret the line shown is exact.
    QTRY_VERIFY_WITH_TIMEOUT(!layout->LayoutPending(), 60000);
    const int caret = edit_->SelStart();
    const int line = edit_->LineFromChar(caret);
    QCOMPARE(panel(0), QStringLiteral("%1: %2").arg(line + 1).arg(caret - edit_->LineIndex(line) + 1));
}

QTEST_MAIN(StatusBarTest)
#include "tst_status_bar.moc"
