// The main window's composition: actions, menus, toolbar, hidden search controls, the
// editor, and the commands that work from the start (clipboard, About, Exit).
#include "platform/forms/Actions.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/NoticeBar.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/ToolBar.h"
#include "platform/text/Utf8Literal.h"
#include "shell/About.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QClipboard>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList ItemNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void windowHasItsCaptionBoundsAndFont();
    void actionListHoldsTheTwentySixCommandsInOrder();
    void everyActionRunsItsHandler();
    void menusHoldTheirItemsInOrder();
    void boundItemsShowTheirActionAndOwnItemsTheirOwnTexts();
    void toolbarHoldsItsButtonsSeparatorsAndOwnHints();
    void everyToolbarButtonAndImageHasArtwork();
    void hoveringAButtonShowsItsLongHintUntilTheNextRefresh();
    void hiddenSearchControlsAreNeverShownAtAnyWidth();
    void editorHasItsFontScrollBarsAndContextMenu();
    void ctrlURunsUndoAndTheProgramBindsNothingToCtrlZ();
    void ctrlASelectsAllThroughTheMenuItemWhateverItsState();
    void shortcutsWorkWhenTheirItemsAreDisabled();
    void delDeletesTheSelectionOrTheNextCharacter();
    void cutCopyPasteWorkOnTheFocusedEditThroughTheClipboard();
    void aboutBoxShowsTheSameBoxEachTimeAndChangesNothing();
    void exitClosesThroughTheCloseQuery();

private:
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void MainWindowTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    form_->RichEdit1->setFocus();
}

void MainWindowTest::cleanup()
{
    fixture_.reset();
    QCOMPARE(VisibleTopLevelCount(), 0);
}

void MainWindowTest::windowHasItsCaptionBoundsAndFont()
{
    QCOMPARE(form_->windowTitle(), QStringLiteral("Tesserine"));
    QCOMPARE(form_->pos(), QPoint(204, 186));
    QVERIFY(form_->width() > 500 && form_->width() <= 542);
    QVERIFY(form_->height() > 200 && form_->height() <= 255);
    QCOMPARE(form_->font().family(), QStringLiteral("System"));
    QCOMPARE(form_->font().pixelSize(), 12);
    QCOMPARE(form_->ToolBar1->height(), 33);
    QCOMPARE(form_->StatusBar->PanelCount(), 3);
    QCOMPARE(form_->StatusBar->PanelWidth(0), 200);
    QCOMPARE(form_->StatusBar->PanelWidth(1), 75);
    QVERIFY(form_->StatusBar->PanelWidth(2) >= 50);
}

void MainWindowTest::actionListHoldsTheTwentySixCommandsInOrder()
{
    struct Row { const char* name; const char* category; const char* caption; const char* tip; const char* status; int image; const char* key; };
    const Row rows[] = {
        {"FileNew1", "ファイル", "新規作成(&N)", "新規", "新規ファイルの作成", 6, "Ctrl+N"},
        {"FileOpen1", "ファイル", "開く(&O)...", "開く", "ファイルを開く", 7, "Ctrl+O"},
        {"FileSave1", "ファイル", "上書き保存(&S)", "保存", "現在のファイルを保存", 8, "Ctrl+S"},
        {"FileSaveAs1", "ファイル", "名前をつけて保存(&A)...", "別名保存", "現在のファイルに別の名前をつけて保存", -1, ""},
        {"EditUndo1", "編集", "元に戻す(&U)", "元に戻す", "直前に行った操作の取り消し", 3, "Ctrl+U"},
        {"EditCut1", "編集", "切り取り(&X)", "切り取り", "選択部分を切り取りクリップボードに送る", 0, "Ctrl+X"},
        {"EditCopy1", "編集", "コピー(&C)", "コピー", "選択部分をコピーしクリップボードに送る", 1, "Ctrl+C"},
        {"EditPaste1", "編集", "貼り付け(&P)", "貼り付け", "クリップボードの内容を貼り付け", 2, "Ctrl+V"},
        {"HelpAbout1", "ヘルプ", "バージョン情報(&A)...", "バージョン情報", "バージョンなど固有の情報を表示", -1, ""},
        {"FilePrinterSetup1", "ファイル", "FilePrinterSetup1", "", "", -1, ""},
        {"FilePrint1", "ファイル", "FilePrint1", "", "", 14, ""},
        {"FileExit1", "ファイル", "終了(&X)", "終了", "アプリケーション終了", -1, ""},
        {"EditDelete1", "編集", "削除", "削除", "選択部分を削除", 5, "Del"},
        {"EditSelectAll1", "編集", "全てを選択(&A)", "全てを選択", "ドキュメント全体を選択", -1, ""},
        {"EditFind1", "編集", "検索(&F)...", "検索", "指定された文字列を選択", 12, "Ctrl+F"},
        {"EditFindNext1", "編集", "次を検索", "次を検索", "直前に行った検索を繰り返す", -1, "F3"},
        {"EditReplace1", "編集", "置換(&E)...", "置換", "指定された文字列を他の文字列に置き換え", 13, "Ctrl+H"},
        {"FormatAlignLeft1", "書式", "左揃え(&L)", "左揃え", "選択部分の左揃え", 16, ""},
        {"FormatAlignCenter1", "書式", "中央揃え(&C)", "中央揃え", "選択部分の中央揃え", 17, ""},
        {"FormatAlignRight1", "書式", "右揃え(&R)", "右揃え", "選択部分の右揃え", 18, ""},
        {"FormatFont", "書式", "フォント(&F)...", "フォント", "選択部分のフォント指定", -1, ""},
        {"FormatBullets", "書式", "箇条書き(&B)", "箇条書き", "行頭文字を挿入", 15, ""},
        {"FormatPageWidth1", "書式", "ページ幅(W)...", "ページ幅", "ページ幅を指定", -1, ""},
        {"FormatParagraph1", "書式", "段落(&P)...", "段落現在の段落、または選択された段落の設定", "段落現在の段落、または選択された段落の設定", -1, ""},
        {"EidtFindRus1", "編集", "外国語検索(&R)...", "", "", 12, "Ctrl+R"},
        {"EditFindRusNext1", "編集", "次の外国語検索", "次の外国語検索", "直前に行った外国語検索を繰り返す", -1, "F4"},
    };
    const std::vector<TAction*>& actions = form_->ActionList1->Actions();
    QCOMPARE(int(actions.size()), 26);
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const TAction* action = actions[i];
        const Row& row = rows[i];
        QCOMPARE(action->objectName(), QString::fromLatin1(row.name));
        QCOMPARE(action->Category, U(row.category));
        QCOMPARE(action->Caption(), U(row.caption));
        QCOMPARE(ShortHint(action->Hint), U(row.tip));
        QCOMPARE(LongHint(action->Hint), U(row.status));
        if (*row.tip)
            QCOMPARE(action->toolTip(), U(row.tip));
        QCOMPARE(action->statusTip(), U(row.status));
        QCOMPARE(action->ImageIndex, row.image);
        QCOMPARE(action->ShortCut(), QKeySequence(U(row.key)));
        QVERIFY2(action->isEnabled(), row.name);
        QCOMPARE(action->icon().isNull(), row.image < 0);
    }
}

void MainWindowTest::everyActionRunsItsHandler()
{
    // Every handler runs on the window set, on a modified document with a selection;
    // each dialog it opens is cancelled. None may fail or report an error: the only
    // message boxes allowed are the save questions and the note that no printer is
    // installed.
    form_->RichEdit1->SetText(QStringLiteral("some text\nmore text"));
    form_->RichEdit1->SetSelStart(5);
    form_->RichEdit1->SetSelLength(4);
    form_->RichEdit1->SetModified(true);
    QStringList unexpected;
    bool noPrinter = false;
    QTimer canceller;
    canceller.setInterval(20);
    connect(&canceller, &QTimer::timeout, this, [&]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            const QString text = box->text();
            noPrinter = noPrinter || text.startsWith(QStringLiteral("No printer is installed"));
            if (!text.contains(U("保存しますか")) && !noPrinter)
                unexpected << text;
        }
        modal->close();
    });
    canceller.start();
    QStringList failed;
    TAction* exit = nullptr;
    for (TAction* action : form_->ActionList1->Actions()) {
        QVERIFY2(bool(action->OnExecute), qPrintable(action->objectName()));
        if (action->objectName() == QLatin1String("FileExit1")) {
            exit = action;
            continue;
        }
        noPrinter = false;
        // Printing without a printer reports that, and nothing else.
        if (!RunHandler(form_, action->OnExecute) && !noPrinter)
            failed << action->objectName();
        // The search dialogs stay open beside the window until closed.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget != form_ && widget->isVisible() && qobject_cast<QDialog*>(widget))
                widget->close();
        QVERIFY2(form_->isVisible(), qPrintable(action->objectName()));
    }
    // Exit last: its save question is cancelled, so the window stays.
    QVERIFY(exit);
    QVERIFY(RunHandler(form_, exit->OnExecute));
    QVERIFY(form_->isVisible());
    QVERIFY2(failed.isEmpty(), qPrintable(failed.join(QLatin1Char(' '))));
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}

void MainWindowTest::menusHoldTheirItemsInOrder()
{
    QStringList tops;
    for (const QAction* top : form_->menuBar()->actions())
        tops << top->text();
    QCOMPARE(tops, QStringList({U("ファイル(&F)"), U("編集(&E)"), U("書式(&T)"), U("ヘルプ(&H)")}));
    QCOMPARE(form_->File1->menuAction()->statusTip(), U("ファイルに関連した機能"));
    QCOMPARE(form_->Edit1->menuAction()->statusTip(), U("編集に関連した機能"));
    QCOMPARE(form_->Format1->menuAction()->statusTip(), QString());
    QCOMPARE(form_->Help1->menuAction()->statusTip(), U("ヘルプトピック"));

    QCOMPARE(ItemNames(form_->File1).join(QLatin1Char(' ')),
             QStringLiteral("New1 Open1 Save1 SaveAs1 - PrintSetup1 Print1 - Exit1"));
    QCOMPARE(ItemNames(form_->Edit1).join(QLatin1Char(' ')),
             QStringLiteral("Undo1 - CutItem CopyItem PasteItem Delete1 SelectAll1 - "
                            "Find1 FindNext1 Replace1 - FindRu1 FindRuNext1"));
    QCOMPARE(ItemNames(form_->Format1).join(QLatin1Char(' ')),
             QStringLiteral("AlignLeft1 AlignCenter1 AlignRight1 - Font1 Bullets1 PageWidth1 Paragraph1"));
    QCOMPARE(ItemNames(form_->Help1).join(QLatin1Char(' ')), QStringLiteral("About1"));
    QCOMPARE(ItemNames(form_->PopupMenu1).join(QLatin1Char(' ')),
             QStringLiteral("Undo2 - Cut2 Copy2 Paste2 Delete2 SelectAll2 - Font2"));
}

void MainWindowTest::boundItemsShowTheirActionAndOwnItemsTheirOwnTexts()
{
    const TMenuItem* undo = form_->MenuItem(QStringLiteral("Undo1"));
    QCOMPARE(undo->Action(), form_->Action(QStringLiteral("EditUndo1")));
    QCOMPARE(undo->text(), U("元に戻す(&U)\t") + QKeySequence(QStringLiteral("Ctrl+U")).toString(QKeySequence::NativeText));
    QCOMPARE(undo->statusTip(), U("直前に行った操作の取り消し"));
    QVERIFY(!undo->icon().isNull());
    // A bound menu item binds no key itself, so a disabled item cannot block its action.
    QVERIFY(undo->shortcut().isEmpty());

    const TMenuItem* setup = form_->MenuItem(QStringLiteral("PrintSetup1"));
    QCOMPARE(setup->Action(), nullptr);
    QCOMPARE(setup->Caption(), U("印刷設定(&U)..."));
    QCOMPARE(setup->toolTip(), U("印刷設定"));
    QCOMPARE(setup->statusTip(), U("プリンタの設定"));
    const TMenuItem* print = form_->MenuItem(QStringLiteral("Print1"));
    QCOMPARE(print->Caption(), U("印刷(&P)..."));
    QCOMPARE(print->statusTip(), U("現在のドキュメントを印刷"));

    const TMenuItem* selectAll = form_->MenuItem(QStringLiteral("SelectAll1"));
    QCOMPARE(selectAll->Action(), nullptr);
    QCOMPARE(selectAll->ShortCut(), QKeySequence(QStringLiteral("Ctrl+A")));
    QCOMPARE(selectAll->statusTip(), U("ドキュメント全体を選択"));
    QCOMPARE(form_->MenuItem(QStringLiteral("SelectAll2"))->Action(),
             form_->Action(QStringLiteral("EditSelectAll1")));
    QCOMPARE(form_->Action(QStringLiteral("EditSelectAll1"))->ShortCut(), QKeySequence());
    QCOMPARE(form_->MenuItem(QStringLiteral("FindRu1"))->Caption(), U("外国語検索(&R)..."));
}

void MainWindowTest::toolbarHoldsItsButtonsSeparatorsAndOwnHints()
{
    QStringList order;
    for (QAction* item : form_->ToolBar1->actions()) {
        QWidget* widget = form_->ToolBar1->widgetForAction(item);
        order << (qobject_cast<TToolButton*>(widget) ? widget->objectName() : QStringLiteral("|"));
    }
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral("ToolButton9 ToolButton1 ToolButton2 | ToolButton10 | Find3 | "
                            "Cut3 Copy3 Paste3 Undo3 | UseBullets | AlignLeft2 AlignCenter2 AlignRight2"));
    for (QAction* item : form_->ToolBar1->actions()) {
        QWidget* widget = form_->ToolBar1->widgetForAction(item);
        if (!qobject_cast<TToolButton*>(widget))
            QCOMPARE(widget->width(), 8);
    }
    const TToolButton* print = form_->ToolButton(QStringLiteral("ToolButton10"));
    QCOMPARE(print->Action(), form_->Action(QStringLiteral("FilePrint1")));
    QCOMPARE(print->toolTip(), U("印刷"));
    QCOMPARE(print->statusTip(), U("現在のドキュメントを印刷"));
    const TToolButton* undo = form_->ToolButton(QStringLiteral("Undo3"));
    QCOMPARE(undo->toolTip(), U("元に戻す"));
    QCOMPARE(undo->statusTip(), U("直前に行った操作を取り消す"));
    const TToolButton* open = form_->ToolButton(QStringLiteral("ToolButton1"));
    QCOMPARE(open->toolTip(), U("開く"));
    QCOMPARE(open->statusTip(), U("ファイルを開く"));
    QVERIFY(form_->ToolButton(QStringLiteral("UseBullets"))->isCheckable());
    QVERIFY(form_->ToolButton(QStringLiteral("AlignCenter2"))->isCheckable());
    QVERIFY(!form_->ToolButton(QStringLiteral("Find3"))->isCheckable());
    // Buttons never take the focus from the document.
    QCOMPARE(open->focusPolicy(), Qt::NoFocus);
}

void MainWindowTest::everyToolbarButtonAndImageHasArtwork()
{
    QCOMPARE(form_->ImageList1->Count(), 19);
    for (int i = 0; i < 19; ++i)
        QVERIFY2(!form_->ImageList1->Icon(i).pixmap(16, 16).isNull(), qPrintable(QString::number(i)));
    for (TToolButton* button : form_->ToolBar1->findChildren<TToolButton*>()) {
        const QImage image = button->icon().pixmap(16, 16).toImage();
        QVERIFY2(!image.isNull(), qPrintable(button->objectName()));
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y)
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) > 0;
        QVERIFY2(drawn, qPrintable(button->objectName()));
    }
}

void MainWindowTest::hoveringAButtonShowsItsLongHintUntilTheNextRefresh()
{
    TToolButton* open = form_->ToolButton(QStringLiteral("ToolButton1"));
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(open, &enter);
    QCOMPARE(form_->StatusBar->currentMessage(), U("ファイルを開く"));
    form_->UpdateStatusBar();
    QCOMPARE(form_->StatusBar->currentMessage(), QString());
    QCOMPARE(form_->StatusBar->PanelText(2), QStringLiteral("(Untitled)"));
}

void MainWindowTest::hiddenSearchControlsAreNeverShownAtAnyWidth()
{
    const QStringList names = {QStringLiteral("lastFindWord"), QStringLiteral("ComboBox1"),
                               QStringLiteral("ComboBox2"), QStringLiteral("chMatchCase"),
                               QStringLiteral("chWholeWord"), QStringLiteral("grDown")};
    for (int width : {120, 542, 2000}) {
        form_->resize(width, form_->height());
        QTest::qWait(1);
        for (const QString& name : names) {
            QWidget* control = form_->ToolBar1->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QVERIFY2(!control->isVisible(), qPrintable(name));
            QCOMPARE(control->parentWidget(), form_->ToolBar1);
            QCOMPARE(form_->ToolBar1->actions().contains(nullptr), false);
        }
    }
    QCOMPARE(ControlFontName(form_->chMatchCase), U("ＭＳ Ｐゴシック"));
    QCOMPARE(form_->chMatchCase->font().pixelSize(), 11);
    QCOMPARE(ControlCharset(form_->grDown), 128);
    QCOMPARE(form_->grDown->Items(), QStringList({U("上へ"), U("下へ")}));
    QCOMPARE(form_->grDown->ItemIndex(), 1);
    QVERIFY(!form_->chMatchCase->Checked());
    QVERIFY(!form_->chWholeWord->Checked());
    QCOMPARE(form_->ComboBox2->count(), 14);
    QCOMPARE(form_->ComboBox2->itemText(0), U("日本語 Shift-JIS"));
    QCOMPARE(form_->ComboBox2->itemText(1), U("韓国語（Wansung）"));
    QCOMPARE(form_->ComboBox2->itemText(13), U("東欧諸国"));
    QCOMPARE(form_->lastFindWord->Text(), QString());
}

void MainWindowTest::editorHasItsFontScrollBarsAndContextMenu()
{
    // The editor fills the window's middle; the encoding bar above it shows only when
    // a file's encoding was detected unsure.
    QCOMPARE(form_->RichEdit1->parentWidget(), form_->centralWidget());
    QVERIFY(form_->EncodingBar->isHidden());
    QCOMPARE(ControlFontName(form_->RichEdit1), QStringLiteral("Arial"));
    QCOMPARE(form_->RichEdit1->font().pixelSize(), 12);
    QCOMPARE(ControlCharset(form_->RichEdit1), 204);
    QCOMPARE(form_->RichEdit1->PopupMenu, form_->PopupMenu1);
    QCOMPARE(form_->RichEdit1->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(form_->RichEdit1->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
}

void MainWindowTest::ctrlURunsUndoAndTheProgramBindsNothingToCtrlZ()
{
    for (const QAction* action : form_->actions())
        QVERIFY2(!action->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Z"))),
                 qPrintable(action->objectName()));
    QTest::keyClicks(form_->RichEdit1, QStringLiteral("abc"));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("abc"));
    QTest::keyClick(form_->RichEdit1, Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(form_->RichEdit1->Text(), QString());
}

void MainWindowTest::ctrlASelectsAllThroughTheMenuItemWhateverItsState()
{
    form_->RichEdit1->SetText(QStringLiteral("first\nsecond"));
    form_->RichEdit1->SetSelStart(3);
    form_->MenuItem(QStringLiteral("SelectAll1"))->SetEnabled(false);
    QTest::keyClick(form_->RichEdit1, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(form_->RichEdit1->SelStart(), 0);
    QCOMPARE(form_->RichEdit1->SelLength(), 12);
}

void MainWindowTest::shortcutsWorkWhenTheirItemsAreDisabled()
{
    for (QAction* action : form_->Edit1->actions())
        action->setEnabled(false);
    for (QAction* action : form_->PopupMenu1->actions())
        action->setEnabled(false);
    for (TToolButton* button : form_->ToolBar1->findChildren<TToolButton*>())
        button->SetEnabled(false);
    QTest::keyClicks(form_->RichEdit1, QStringLiteral("xy"));
    QTest::keyClick(form_->RichEdit1, Qt::Key_U, Qt::ControlModifier);
    QCOMPARE(form_->RichEdit1->Text(), QString());
}

void MainWindowTest::delDeletesTheSelectionOrTheNextCharacter()
{
    form_->RichEdit1->SetText(QStringLiteral("abcdef"));
    form_->RichEdit1->SetSelStart(1);
    form_->RichEdit1->SetSelLength(2);
    QTest::keyClick(form_->RichEdit1, Qt::Key_Delete);
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("adef"));
    QTest::keyClick(form_->RichEdit1, Qt::Key_Delete);
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("aef"));
    // The Delete command itself changes nothing without a selection.
    form_->Action(QStringLiteral("EditDelete1"))->Execute();
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("aef"));
}

void MainWindowTest::cutCopyPasteWorkOnTheFocusedEditThroughTheClipboard()
{
    form_->RichEdit1->SetText(U("日本語とКириллица"));
    form_->RichEdit1->SetSelStart(4);
    form_->RichEdit1->SetSelLength(9);
    QTest::keyClick(form_->RichEdit1, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(ClipboardText(), U("Кириллица"));
    form_->RichEdit1->SetSelStart(0);
    form_->RichEdit1->SetSelLength(3);
    form_->Action(QStringLiteral("EditCut1"))->Execute();
    QCOMPARE(ClipboardText(), U("日本語"));
    QCOMPARE(form_->RichEdit1->Text(), U("とКириллица"));
    form_->RichEdit1->SetSelStart(form_->RichEdit1->TextLength());
    QTest::keyClick(form_->RichEdit1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form_->RichEdit1->Text(), U("とКириллица日本語"));
    QVERIFY(form_->RichEdit1->Modified());
}

void MainWindowTest::aboutBoxShowsTheSameBoxEachTimeAndChangesNothing()
{
    QCOMPARE(AboutBox->windowTitle(), U("バージョン情報"));
    QCOMPARE(AboutBox->size(), QSize(273, 200));
    QCOMPARE(AboutBox->Label1->text(), U("多国語シンプルテキストエディタ"));
    QCOMPARE(AboutBox->ProductName->text(), QStringLiteral("Tesserine"));
    QCOMPARE(AboutBox->ProductName->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(AboutBox->ProductName->font().pixelSize(), 37);
    QVERIFY(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+ \\d{4}/\\d{2}/\\d{2}$"))
                .match(AboutBox->Version->text()).hasMatch());
    QCOMPARE(AboutBox->Version->font().pixelSize(), 21);
    QCOMPARE(AboutBox->Copyright->font().family(), QStringLiteral("Arial"));
    QVERIFY(AboutBox->OKButton->isDefault());
    QVERIFY(!AboutBox->ProgramIcon->pixmap().isNull());
    for (QWidget* label : std::initializer_list<QWidget*>{AboutBox->Label1, AboutBox->ProductName,
                                                          AboutBox->Version, AboutBox->Copyright})
        QVERIFY2(AboutBox->Panel1->rect().contains(label->geometry()), qPrintable(label->objectName()));

    form_->RichEdit1->SetText(QStringLiteral("unchanged"));
    form_->RichEdit1->SetModified(false);
    TAboutBox* first = AboutBox;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("AboutBox"), [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); })
        .expectDialog(QStringLiteral("AboutBox"), [](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        })
        .expectDialog(QStringLiteral("AboutBox"), [](QWidget* w) { w->close(); });
    for (int i = 0; i < 3; ++i)
        form_->Action(QStringLiteral("HelpAbout1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.answeredCount(), 3);
    QCOMPARE(AboutBox, first);
    QVERIFY(!AboutBox->isVisible());
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("unchanged"));
    QVERIFY(!form_->RichEdit1->Modified());
    QVERIFY(form_->isVisible());
}

void MainWindowTest::exitClosesThroughTheCloseQuery()
{
    // A modified document asks first; Cancel keeps the window open.
    QTest::keyClicks(form_->RichEdit1, QStringLiteral("unsaved"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(U("確認"), Qt::Key_Escape);
    QSignalSpy closed(form_, &TMainForm::Closed);
    form_->Action(QStringLiteral("FileExit1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts(), QStringList(U("ドキュメントの変更を保存しますか?")));
    QVERIFY(form_->isVisible());
    QCOMPARE(closed.count(), 0);

    // No discards the changes and closes.
    answerer.expectMessageBox(U("確認"), Qt::Key_N);
    form_->Action(QStringLiteral("FileExit1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(!form_->isVisible());
    QCOMPARE(closed.count(), 1);

    // An unmodified document closes at once, without a prompt.
    form_->show();
    form_->RichEdit1->SetModified(false);
    form_->Action(QStringLiteral("FileExit1"))->Execute();
    QVERIFY(!form_->isVisible());
    QCOMPARE(closed.count(), 2);
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
