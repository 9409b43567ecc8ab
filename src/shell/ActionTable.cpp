#include "shell/ActionTable.h"

#include "shell/SDIMain.h"

const std::vector<ActionRow>& MainActionTable()
{
    using F = TSDIAppForm;
    static const std::vector<ActionRow> rows = {
        {"FileNew1", "ファイル", "新規作成(&N)", "新規|新規ファイルの作成", 6, "Ctrl+N", &F::FileNew1Execute, StandardEdit::None},
        {"FileOpen1", "ファイル", "開く(&O)...", "開く|ファイルを開く", 7, "Ctrl+O", &F::FileOpen1Execute, StandardEdit::None},
        {"FileSave1", "ファイル", "上書き保存(&S)", "保存|現在のファイルを保存", 8, "Ctrl+S", &F::FileSave1Execute, StandardEdit::None},
        {"FileSaveAs1", "ファイル", "名前をつけて保存(&A)...", "別名保存|現在のファイルに別の名前をつけて保存", -1, "", &F::FileSaveAs1Execute, StandardEdit::None},
        {"EditUndo1", "編集", "元に戻す(&U)", "元に戻す|直前に行った操作の取り消し", 3, "Ctrl+U", &F::EditUndo1Execute, StandardEdit::None},
        {"EditCut1", "編集", "切り取り(&X)", "切り取り|選択部分を切り取りクリップボードに送る", 0, "Ctrl+X", nullptr, StandardEdit::Cut},
        {"EditCopy1", "編集", "コピー(&C)", "コピー|選択部分をコピーしクリップボードに送る", 1, "Ctrl+C", nullptr, StandardEdit::Copy},
        {"EditPaste1", "編集", "貼り付け(&P)", "貼り付け|クリップボードの内容を貼り付け", 2, "Ctrl+V", nullptr, StandardEdit::Paste},
        {"HelpAbout1", "ヘルプ", "バージョン情報(&A)...", "バージョン情報|バージョンなど固有の情報を表示", -1, "", &F::HelpAbout1Execute, StandardEdit::None},
        {"FilePrinterSetup1", "ファイル", "FilePrinterSetup1", "", -1, "", &F::FilePrinterSetup1Execute, StandardEdit::None},
        {"FilePrint1", "ファイル", "FilePrint1", "", 14, "", &F::FilePrint1Execute, StandardEdit::None},
        {"FileExit1", "ファイル", "終了(&X)", "終了|アプリケーション終了", -1, "", &F::FileExit1Execute, StandardEdit::None},
        {"EditDelete1", "編集", "削除", "削除|選択部分を削除", 5, "Del", &F::EditDelete1Execute, StandardEdit::None},
        {"EditSelectAll1", "編集", "全てを選択(&A)", "全てを選択|ドキュメント全体を選択", -1, "", &F::SelectAll1Click, StandardEdit::None},
        {"EditFind1", "編集", "検索(&F)...", "検索|指定された文字列を選択", 12, "Ctrl+F", &F::EditFind1Execute, StandardEdit::None},
        {"EditFindNext1", "編集", "次を検索", "次を検索|直前に行った検索を繰り返す", -1, "F3", &F::EditFindNext1Execute, StandardEdit::None},
        {"EditReplace1", "編集", "置換(&E)...", "置換|指定された文字列を他の文字列に置き換え", 13, "Ctrl+H", &F::EditReplace1Execute, StandardEdit::None},
        {"FormatAlignLeft1", "書式", "左揃え(&L)", "左揃え|選択部分の左揃え", 16, "", &F::FormatAlignLeft1Execute, StandardEdit::None},
        {"FormatAlignCenter1", "書式", "中央揃え(&C)", "中央揃え|選択部分の中央揃え", 17, "", &F::FormatAlignCenter1Execute, StandardEdit::None},
        {"FormatAlignRight1", "書式", "右揃え(&R)", "右揃え|選択部分の右揃え", 18, "", &F::FormatAlignRight1Execute, StandardEdit::None},
        {"FormatFont", "書式", "フォント(&F)...", "フォント|選択部分のフォント指定", -1, "", &F::FormatFontExecute, StandardEdit::None},
        {"FormatBullets", "書式", "箇条書き(&B)", "箇条書き|行頭文字を挿入", 15, "", &F::FormatBulletsExecute, StandardEdit::None},
        {"FormatPageWidth1", "書式", "ページ幅(W)...", "ページ幅|ページ幅を指定", -1, "", &F::FormatPageWidth1Execute, StandardEdit::None},
        {"FormatParagraph1", "書式", "段落(&P)...", "段落現在の段落、または選択された段落の設定", -1, "", &F::FormatParagraph1Execute, StandardEdit::None},
        {"EidtFindRus1", "編集", "外国語検索(&R)...", "", 12, "Ctrl+R", &F::EidtFindRus1Execute, StandardEdit::None},
        {"EditFindRusNext1", "編集", "次の外国語検索", "次の外国語検索|直前に行った外国語検索を繰り返す", -1, "F4", &F::EditFindRusNext1Execute, StandardEdit::None},
    };
    return rows;
}

const std::vector<TopMenuRow>& MainMenuTable()
{
    static const std::vector<TopMenuRow> rows = {
        {"File1", "ファイル(&F)", "ファイルに関連した機能"},
        {"Edit1", "編集(&E)", "編集に関連した機能"},
        {"Format1", "書式(&T)", ""},
        {"Help1", "ヘルプ(&H)", "ヘルプトピック"},
    };
    return rows;
}

const std::vector<MenuRow>& MenuItemTable()
{
    using F = TSDIAppForm;
    static const std::vector<MenuRow> rows = {
        {"File1", "New1", "FileNew1", nullptr, nullptr, nullptr, nullptr},
        {"File1", "Open1", "FileOpen1", nullptr, nullptr, nullptr, nullptr},
        {"File1", "Save1", "FileSave1", nullptr, nullptr, nullptr, nullptr},
        {"File1", "SaveAs1", "FileSaveAs1", nullptr, nullptr, nullptr, nullptr},
        {"File1", "N1", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"File1", "PrintSetup1", nullptr, "印刷設定(&U)...", "印刷設定|プリンタの設定", "", &F::FilePrinterSetup1Execute},
        {"File1", "Print1", nullptr, "印刷(&P)...", "印刷|現在のドキュメントを印刷", "", &F::Print1Click},
        {"File1", "N2", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"File1", "Exit1", "FileExit1", nullptr, nullptr, nullptr, nullptr},

        {"Edit1", "Undo1", "EditUndo1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "N3", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "CutItem", "EditCut1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "CopyItem", "EditCopy1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "PasteItem", "EditPaste1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "Delete1", "EditDelete1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "SelectAll1", nullptr, "全てを選択(&A)", "全てを選択|ドキュメント全体を選択", "Ctrl+A", &F::SelectAll1Click},
        {"Edit1", "N4", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "Find1", "EditFind1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "FindNext1", "EditFindNext1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "Replace1", "EditReplace1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "N5", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "FindRu1", "EidtFindRus1", nullptr, nullptr, nullptr, nullptr},
        {"Edit1", "FindRuNext1", "EditFindRusNext1", nullptr, nullptr, nullptr, nullptr},

        {"Format1", "AlignLeft1", "FormatAlignLeft1", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "AlignCenter1", "FormatAlignCenter1", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "AlignRight1", "FormatAlignRight1", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "N6", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"Format1", "Font1", "FormatFont", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "Bullets1", "FormatBullets", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "PageWidth1", "FormatPageWidth1", nullptr, nullptr, nullptr, nullptr},
        {"Format1", "Paragraph1", "FormatParagraph1", nullptr, nullptr, nullptr, nullptr},

        {"Help1", "About1", "HelpAbout1", nullptr, nullptr, nullptr, nullptr},

        {"PopupMenu1", "Undo2", "EditUndo1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "N7", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "Cut2", "EditCut1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "Copy2", "EditCopy1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "Paste2", "EditPaste1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "Delete2", "EditDelete1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "SelectAll2", "EditSelectAll1", nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "N8", nullptr, nullptr, nullptr, nullptr, nullptr},
        {"PopupMenu1", "Font2", "FormatFont", nullptr, nullptr, nullptr, nullptr},
    };
    return rows;
}

const std::vector<ToolBarRow>& ToolBarTable()
{
    static const std::vector<ToolBarRow> rows = {
        {"ToolButton9", "FileNew1", nullptr, ButtonStyle::Plain},
        {"ToolButton1", "FileOpen1", nullptr, ButtonStyle::Plain},
        {"ToolButton2", "FileSave1", nullptr, ButtonStyle::Plain},
        {nullptr, nullptr, nullptr, ButtonStyle::Plain},
        {"ToolButton10", "FilePrint1", "印刷|現在のドキュメントを印刷", ButtonStyle::Plain},
        {nullptr, nullptr, nullptr, ButtonStyle::Plain},
        {"Find3", "EditFind1", nullptr, ButtonStyle::Plain},
        {nullptr, nullptr, nullptr, ButtonStyle::Plain},
        {"Cut3", "EditCut1", nullptr, ButtonStyle::Plain},
        {"Copy3", "EditCopy1", nullptr, ButtonStyle::Plain},
        {"Paste3", "EditPaste1", nullptr, ButtonStyle::Plain},
        {"Undo3", "EditUndo1", "元に戻す|直前に行った操作を取り消す", ButtonStyle::Plain},
        {nullptr, nullptr, nullptr, ButtonStyle::Plain},
        {"UseBullets", "FormatBullets", nullptr, ButtonStyle::Check},
        {nullptr, nullptr, nullptr, ButtonStyle::Plain},
        {"AlignLeft2", "FormatAlignLeft1", nullptr, ButtonStyle::GroupedCheck},
        {"AlignCenter2", "FormatAlignCenter1", nullptr, ButtonStyle::GroupedCheck},
        {"AlignRight2", "FormatAlignRight1", nullptr, ButtonStyle::GroupedCheck},
    };
    return rows;
}

const std::vector<ImageRow>& ImageTable()
{
    static const std::vector<ImageRow> rows = {
        {"edit-cut", ":/icons/00-edit-cut.svg"},
        {"edit-copy", ":/icons/01-edit-copy.svg"},
        {"edit-paste", ":/icons/02-edit-paste.svg"},
        {"edit-undo", ":/icons/03-edit-undo.svg"},
        {"edit-redo", ":/icons/04-edit-redo.svg"},
        {"edit-delete", ":/icons/05-edit-delete.svg"},
        {"document-new", ":/icons/06-document-new.svg"},
        {"document-open", ":/icons/07-document-open.svg"},
        {"document-save", ":/icons/08-document-save.svg"},
        {"document-print-preview", ":/icons/09-document-print-preview.svg"},
        {"help-contents", ":/icons/10-help-contents.svg"},
        {"help-about", ":/icons/11-help-about.svg"},
        {"edit-find", ":/icons/12-edit-find.svg"},
        {"edit-find-replace", ":/icons/13-edit-find-replace.svg"},
        {"document-print", ":/icons/14-document-print.svg"},
        {"format-list-unordered", ":/icons/15-format-list-unordered.svg"},
        {"format-justify-left", ":/icons/16-format-justify-left.svg"},
        {"format-justify-center", ":/icons/17-format-justify-center.svg"},
        {"format-justify-right", ":/icons/18-format-justify-right.svg"},
    };
    return rows;
}
