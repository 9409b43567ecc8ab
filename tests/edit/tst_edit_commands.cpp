// Undo, Delete, Select All, and the enabled state of the edit and search commands.
#include "edit/EditCommands.h"
#include "platform/forms/Actions.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Menus.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/ToolBar.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

class EditCommandsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void rulesFollowTheirInputs();
    void aNewEmptyDocumentDisablesTheDocumentCommands();
    void statesChangeOnlyWhenAMenuOpens();
    void findNextNeedsAStoredSearch();
    void pasteFollowsTheClipboardsText();
    void aDocumentOfSpacesIsNotEmpty();
    void undoDeleteAndSelectAll();
    void formattingButtonsFollowTheParagraph();

private:
    bool enabled(const char* name) const { return form_->MenuItem(QString::fromLatin1(name))->Enabled(); }
    bool button(const char* name) const { return form_->ToolButton(QString::fromLatin1(name))->Enabled(); }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void EditCommandsTest::init()
{
    QApplication::clipboard()->clear();
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    form_->RichEdit1->setFocus();
}

void EditCommandsTest::cleanup()
{
    fixture_.reset();
}

void EditCommandsTest::rulesFollowTheirInputs()
{
    CommandStateInputs in;
    CommandState state = ComputeCommandState(in);
    QVERIFY(!state.undo && !state.selection && !state.paste && !state.document && !state.findNext);
    in.lineCount = 1;
    in.lastFindTextEmpty = false;
    state = ComputeCommandState(in);
    QVERIFY(state.document && state.findNext && !state.foreignFindNext);
    in.lineCount = 0;
    in.lastFindWordEmpty = false;
    state = ComputeCommandState(in);
    QVERIFY(!state.findNext && !state.foreignFindNext);
    in.selectionLength = 3;
    in.clipboardTextLength = 1;
    in.canUndo = true;
    state = ComputeCommandState(in);
    QVERIFY(state.selection && state.paste && state.undo);
}

void EditCommandsTest::aNewEmptyDocumentDisablesTheDocumentCommands()
{
    for (const char* name : {"SelectAll1", "Find1", "Replace1", "FindNext1", "FindRu1", "FindRuNext1",
                             "Undo1", "CutItem", "CopyItem", "Delete1", "PasteItem", "SelectAll2"})
        QVERIFY2(!enabled(name), name);
    QVERIFY(!button("Find3"));
    QVERIFY(!button("Undo3"));
    // Items no rule names keep their state.
    QVERIFY(enabled("Font2"));
    QVERIFY(button("ToolButton9"));
}

void EditCommandsTest::statesChangeOnlyWhenAMenuOpens()
{
    TypeText(form_->RichEdit1, QStringLiteral("text"));
    QVERIFY(!button("Find3"));
    form_->Edit1->popup(form_->mapToGlobal(QPoint(10, 10)));
    QTest::qWait(1);
    form_->Edit1->hide();
    QVERIFY(button("Find3"));
    QVERIFY(enabled("Find1"));
    QVERIFY(enabled("Undo1"));
    QVERIFY(!enabled("CutItem"));
    // The context menu refreshes too.
    form_->RichEdit1->SetSelStart(0);
    form_->RichEdit1->SetSelLength(2);
    QVERIFY(!enabled("Cut2"));
    form_->PopupMenu1->Popup(form_->mapToGlobal(QPoint(40, 60)));
    QTest::qWait(1);
    form_->PopupMenu1->hide();
    QVERIFY(enabled("Cut2"));
    QVERIFY(enabled("Copy2"));
    QVERIFY(button("Cut3"));
}

void EditCommandsTest::findNextNeedsAStoredSearch()
{
    form_->RichEdit1->SetText(QStringLiteral("some text"));
    form_->Edit1Click();
    QVERIFY(!enabled("FindNext1"));
    QVERIFY(!enabled("FindRuNext1"));
    form_->LastFindText = QStringLiteral("absent");
    form_->lastFindWord->SetText(QStringLiteral("absent"));
    form_->Edit1Click();
    QVERIFY(enabled("FindNext1"));
    QVERIFY(enabled("FindRuNext1"));
    form_->RichEdit1->SetText(QString());
    form_->Edit1Click();
    QVERIFY(!enabled("FindNext1"));
    QVERIFY(!enabled("FindRuNext1"));
}

void EditCommandsTest::pasteFollowsTheClipboardsText()
{
    SetClipboardText(QStringLiteral("clip"));
    form_->Edit1Click();
    QVERIFY(enabled("PasteItem"));
    QVERIFY(button("Paste3"));
    QVERIFY(!enabled("CutItem") && !enabled("CopyItem") && !enabled("Delete1"));
    auto* image = new QMimeData;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    image->setImageData(picture);
    QApplication::clipboard()->setMimeData(image);
    form_->Edit1Click();
    QVERIFY(!enabled("PasteItem"));
    QVERIFY(!enabled("Paste2"));
}

void EditCommandsTest::aDocumentOfSpacesIsNotEmpty()
{
    form_->RichEdit1->SetText(QStringLiteral("   "));
    form_->Edit1Click();
    QVERIFY(enabled("SelectAll1"));
    QVERIFY(enabled("Find1"));
    QVERIFY(button("Find3"));
}

void EditCommandsTest::undoDeleteAndSelectAll()
{
    form_->SelectAll1Click();  // an empty document: nothing to select, no failure
    QCOMPARE(form_->RichEdit1->SelLength(), 0);
    TypeText(form_->RichEdit1, QStringLiteral("hello world"));
    form_->RichEdit1->SetSelStart(5);
    form_->EditDelete1Execute();
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("hello world"));
    form_->RichEdit1->SetSelLength(6);
    form_->EditDelete1Execute();
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("hello"));
    QTest::keyClick(form_->RichEdit1, Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("hello world"));
    form_->Action(QStringLiteral("EditSelectAll1"))->Execute();
    QCOMPARE(form_->RichEdit1->SelLength(), 11);
}

void EditCommandsTest::formattingButtonsFollowTheParagraph()
{
    form_->RichEdit1->SetText(QStringLiteral("centre\nright\nbullet"));
    TRichEdit* edit = form_->RichEdit1;
    edit->SetSelStart(0);
    edit->Paragraph().SetAlignment(taCenter);
    edit->SetSelStart(8);
    edit->Paragraph().SetAlignment(taRightJustify);
    edit->SetSelStart(15);
    edit->Paragraph().SetNumbering(nsBullet);
    edit->SetSelStart(1);
    QVERIFY(form_->ToolButton(QStringLiteral("AlignCenter2"))->Down());
    QVERIFY(!form_->ToolButton(QStringLiteral("AlignLeft2"))->Down());
    edit->SetSelStart(9);
    QVERIFY(form_->ToolButton(QStringLiteral("AlignRight2"))->Down());
    QVERIFY(!form_->ToolButton(QStringLiteral("AlignCenter2"))->Down());
    QVERIFY(!form_->ToolButton(QStringLiteral("UseBullets"))->Down());
    edit->SetSelStart(16);
    QVERIFY(form_->ToolButton(QStringLiteral("UseBullets"))->Down());
    QVERIFY(form_->ToolButton(QStringLiteral("AlignLeft2"))->Down());
    // The Format menu's items get no check marks.
    QVERIFY(!form_->MenuItem(QStringLiteral("AlignLeft1"))->isChecked());
}

QTEST_MAIN(EditCommandsTest)
#include "tst_edit_commands.moc"
