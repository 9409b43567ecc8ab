// Find, Find Next, Replace and Replace All through the real dialogs.
#include "edit/StandardSearch.h"
#include "platform/forms/Actions.h"
#include "platform/dialogs/FindReplaceDialogs.h"
#include "platform/richedit/RichEdit.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class StandardSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void dialogsAreModelessAndInJapanese();
    void upwardThenFindNextTwice();
    void upFromTheTopThenF3SearchesDown();
    void f3UpFromTheTopStaysUp();
    void findNextUsesOnlyTheStoredSearch();
    void replaceReplacesWhateverIsSelectedThenFindsOn();
    void replaceAllCoversTheWholeDocumentOnceAndIsOneUndoStep_data();
    void replaceAllCoversTheWholeDocumentOnceAndIsOneUndoStep();
    void replaceAllWithNoOccurrenceChangesNothing();
    void replaceAllJudgesAWholeWordWithTheReplacementBeforeIt();
    void replaceAllFarApartInALongDocument();

private:
    TRichEdit* edit() const { return form_->RichEdit1; }
    void typeFind(TFindDialog* dialog, const QString& text)
    {
        dialog->FindEdit()->clear();
        TypeText(dialog->FindEdit(), text);
    }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void StandardSearchTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    edit()->setFocus();
}

void StandardSearchTest::cleanup()
{
    fixture_.reset();
}

void StandardSearchTest::dialogsAreModelessAndInJapanese()
{
    QTest::keyClick(edit(), Qt::Key_F, Qt::ControlModifier);
    TFindDialog* find = form_->FindDialog1;
    QVERIFY(find->isVisible());
    QVERIFY(!find->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(find->windowTitle(), QString::fromUtf8("検索"));
    QCOMPARE(find->FindNextButton()->text(), QString::fromUtf8("次を検索(&F)"));
    QVERIFY(!find->FindNextButton()->isEnabled());
    typeFind(find, QStringLiteral("x"));
    QVERIFY(find->FindNextButton()->isEnabled());
    // Defaults: down, match case and whole word off.
    QCOMPARE(find->Options() & (frDown | frMatchCase | frWholeWord), int(frDown));
    // The document stays editable while the dialog is open.
    TypeText(edit(), QStringLiteral("typed"));
    QCOMPARE(edit()->Text(), QStringLiteral("typed"));
    QTest::keyClick(edit(), Qt::Key_H, Qt::ControlModifier);
    QVERIFY(form_->ReplaceDialog1->isVisible());
    QCOMPARE(form_->ReplaceDialog1->ReplaceAllButton()->text(), QString::fromUtf8("すべて置換(&A)"));
    QVERIFY(!form_->ReplaceDialog1->ReplaceAllButton()->isEnabled());
    find->close();
    form_->ReplaceDialog1->close();
}

void StandardSearchTest::upwardThenFindNextTwice()
{
    edit()->SetText(QStringLiteral("abcabc"));
    edit()->SetSelStart(6);
    TFindDialog* find = form_->FindDialog1;
    find->Execute();
    typeFind(find, QStringLiteral("abc"));
    QTest::mouseClick(find->findChild<QRadioButton*>(QStringLiteral("Up")), Qt::LeftButton);
    QTest::mouseClick(find->FindNextButton(), Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), 3);
    QCOMPARE(edit()->SelLength(), 3);
    QVERIFY(!form_->LastSearchDown);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 0);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 0);
    QCOMPARE(edit()->SelLength(), 3);
    find->close();
}

void StandardSearchTest::upFromTheTopThenF3SearchesDown()
{
    edit()->SetText(QStringLiteral("abc abc"));
    edit()->SetSelStart(0);
    TFindDialog* find = form_->FindDialog1;
    find->Execute();
    typeFind(find, QStringLiteral("abc"));
    QTest::mouseClick(find->findChild<QRadioButton*>(QStringLiteral("Up")), Qt::LeftButton);
    QTest::mouseClick(find->FindNextButton(), Qt::LeftButton);
    QCOMPARE(edit()->SelLength(), 0);
    QVERIFY(form_->LastSearchDown);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 0);
    QCOMPARE(edit()->SelLength(), 3);
    find->close();
}

void StandardSearchTest::f3UpFromTheTopStaysUp()
{
    edit()->SetText(QStringLiteral("abc"));
    form_->LastFindText = QStringLiteral("abc");
    form_->LastSearchDown = false;
    edit()->SetSelStart(0);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelLength(), 0);
    QVERIFY(!form_->LastSearchDown);
    // An empty stored text finds nothing, in either direction.
    form_->LastFindText.clear();
    form_->EditFindNext1Execute();
    form_->LastSearchDown = true;
    form_->EditFindNext1Execute();
    QCOMPARE(edit()->SelLength(), 0);
}

void StandardSearchTest::findNextUsesOnlyTheStoredSearch()
{
    edit()->SetText(QStringLiteral("Word word WORD"));
    edit()->SetSelStart(0);
    TFindDialog* find = form_->FindDialog1;
    find->Execute();
    typeFind(find, QStringLiteral("WORD"));
    QTest::mouseClick(find->findChild<QCheckBox*>(QStringLiteral("MatchCase")), Qt::LeftButton);
    QTest::mouseClick(find->FindNextButton(), Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), 10);
    QVERIFY(form_->LastMatchCase);
    QCOMPARE(form_->LastFindText, QStringLiteral("WORD"));
    // Editing the dialog without pressing its button does not change F3.
    typeFind(find, QStringLiteral("word"));
    edit()->SetSelStart(0);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 10);
    // After a new document F3 searches it for the same text.
    form_->NewDocument();
    edit()->SetText(QStringLiteral("new WORD"));
    edit()->SetSelStart(0);
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 4);
    find->close();
}

void StandardSearchTest::replaceReplacesWhateverIsSelectedThenFindsOn()
{
    edit()->SetText(QStringLiteral("zz ab ab"));
    edit()->SetSelStart(0);
    edit()->SetSelLength(2);
    TFindDialog* replace = form_->ReplaceDialog1;
    replace->Execute();
    typeFind(replace, QStringLiteral("ab"));
    TypeText(replace->ReplaceEdit(), QStringLiteral("X"));
    QTest::mouseClick(replace->ReplaceButton(), Qt::LeftButton);
    QCOMPARE(edit()->Text(), QStringLiteral("X ab ab"));
    QCOMPARE(edit()->SelStart(), 2);
    QCOMPARE(edit()->SelLength(), 2);
    QCOMPARE(form_->LastFindText, QStringLiteral("ab"));
    QVERIFY(form_->LastSearchDown);
    // With nothing selected Replace only finds.
    edit()->SetSelStart(0);
    QTest::mouseClick(replace->ReplaceButton(), Qt::LeftButton);
    QCOMPARE(edit()->Text(), QStringLiteral("X ab ab"));
    QCOMPARE(edit()->SelStart(), 2);
    // The search it makes is the one F3 repeats.
    QTest::keyClick(edit(), Qt::Key_F3);
    QCOMPARE(edit()->SelStart(), 5);
    replace->close();
}

void StandardSearchTest::replaceAllCoversTheWholeDocumentOnceAndIsOneUndoStep_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("result");
    QTest::newRow("abab ab") << "abab ab" << "ab" << "x" << "xx x";
    QTest::newRow("replacement holds the find text") << "abb" << "ab" << "xa" << "xab";
    QTest::newRow("replacement equals the find text") << "aaa" << "a" << "aa" << "aaaaaa";
    QTest::newRow("replacement contains it later") << "ab ab" << "ab" << "xab" << "xab xab";
    QTest::newRow("empty replacement") << "a-b-c" << "-" << "" << "abc";
    QTest::newRow("case-blind") << "Ab aB" << "ab" << "c" << "c c";
    QTest::newRow("japanese") << QString::fromUtf8("東京と東京") << QString::fromUtf8("東京")
                              << QString::fromUtf8("大阪") << QString::fromUtf8("大阪と大阪");
}

void StandardSearchTest::replaceAllCoversTheWholeDocumentOnceAndIsOneUndoStep()
{
    QFETCH(QString, document);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, result);
    edit()->SetText(document);
    edit()->SetSelStart(edit()->TextLength());  // the selection plays no part
    TFindDialog* replace = form_->ReplaceDialog1;
    replace->Execute();
    typeFind(replace, find);
    replace->ReplaceEdit()->clear();
    TypeText(replace->ReplaceEdit(), replacement);
    ModalAnswerer answerer;  // no message is shown
    QTest::mouseClick(replace->ReplaceAllButton(), Qt::LeftButton);
    QCOMPARE(edit()->Text(), result);
    QCOMPARE(answerer.answeredCount(), 0);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(form_->LastFindText, QString());  // Replace All stores no search
    edit()->Undo();
    QCOMPARE(edit()->Text(), document);
    replace->close();
}

void StandardSearchTest::replaceAllJudgesAWholeWordWithTheReplacementBeforeIt()
{
    // After "x-" became "y", the next "x-" follows a letter and is no word of its own;
    // the one after the space is.
    edit()->SetText(QStringLiteral("x-x- x-\nx-"));
    TSearchTypes wholeWord;
    wholeWord.wholeWord = true;
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("x-"), QStringLiteral("y"), wholeWord), 3);
    QCOMPARE(edit()->Text(), QStringLiteral("yx- y\ny"));
    // An empty replacement brings the text before it next to the following one.
    edit()->SetText(QStringLiteral("ab-ab-"));
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("b-"), QString(), wholeWord), 0);
    edit()->SetText(QStringLiteral("-b-b-"));
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("b-"), QStringLiteral("c"), wholeWord), 1);
    QCOMPARE(edit()->Text(), QStringLiteral("-cb-"));
}

void StandardSearchTest::replaceAllWithNoOccurrenceChangesNothing()
{
    edit()->SetText(QStringLiteral("nothing here"));
    edit()->SetSelStart(2);
    edit()->SetSelLength(3);
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("zz"), QStringLiteral("y"), {}), 0);
    QCOMPARE(edit()->SelStart(), 2);
    QCOMPARE(edit()->SelLength(), 3);
    QVERIFY(!edit()->Modified());
    QVERIFY(!edit()->CanUndo());
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("e"), QStringLiteral("E"), {}), 2);
    QCOMPARE(edit()->Text(), QStringLiteral("nothing hErE"));
    QCOMPARE(edit()->SelStart(), 12);  // after the last replacement
}

// Occurrences further apart than a search goes paragraph by paragraph, in a document
// whose whole text an earlier search took: each search of Replace All must see the
// replacements made before it.
void StandardSearchTest::replaceAllFarApartInALongDocument()
{
    QString text;
    for (int i = 0; text.size() < 400000; ++i)
        text += i % 8000 == 7999 ? QStringLiteral("a needle %1\n").arg(i) : QStringLiteral("filler %1\n").arg(i);
    edit()->SetText(text);
    QCOMPARE(edit()->FindText(QStringLiteral("absent"), 0, -1, {}), -1);
    QCoreApplication::processEvents();  // as between two of the user's searches
    QCOMPARE(edit()->FindText(QStringLiteral("absent"), 0, -1, {}), -1);
    QCOMPARE(ReplaceAllInDocument(*edit(), QStringLiteral("needle"), QStringLiteral("longer pin"), {}), 3);
    QCOMPARE(edit()->Text(), text.replace(QStringLiteral("needle"), QStringLiteral("longer pin")));
}

QTEST_MAIN(StandardSearchTest)
#include "tst_standard_search.moc"
