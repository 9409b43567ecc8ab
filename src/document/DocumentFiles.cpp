// The document's identity and its life on disk: New, Open, Save, Save As.
#include "shell/SDIMain.h"

#include "document/DocumentNames.h"
#include "document/EncodingChoices.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/dialogs/FileDialogs.h"
#include "platform/system/FileStamp.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/NoticeBar.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "platform/richedit/rtf/Rtf.h"

namespace {

// A question before a save, answered yes or no; true for Yes.
bool ConfirmSave(QWidget* owner, const QString& question)
{
    return MessageBox(owner, question, QString::fromUtf8("確認"), MB_YESNO) == IDYES;
}

// True when the user allows writing over a file that changed on disk since the
// document last read or wrote it; no question when it did not, or is gone.
bool MayWriteOver(QWidget* owner, const QString& path, const TFileStamp& known)
{
    const TFileStamp now = FileStampOf(path);
    if (!now.exists || now == known)
        return true;
    return ConfirmSave(
        owner, QString::fromUtf8("ファイル \"%1\" は開いた後に他のプログラムによって変更されています。上書きしますか?").arg(path));
}

// True when the user allows replacing the file the document was read from although
// a save leaves out what the control could not keep of it; no question otherwise.
bool MayLeaveOut(QWidget* owner, const QString& path, const QStringList& unkept)
{
    if (unkept.isEmpty())
        return true;
    return ConfirmSave(owner, QString::fromUtf8("ファイル \"%1\" を上書きすると、次の内容は保存されません: %2。\n上書きしますか?")
                                  .arg(path, JoinUnkept(unkept)));
}

// True when the plain-text format's encoding holds every character of the text, or
// the user agreed to save in UTF-8 instead, which then becomes the format's encoding.
// False when the user would rather not save.
bool MayEncode(QWidget* owner, const QString& text, TextFileFormat& format)
{
    const UnencodableCharacters unencodable = FindUnencodableCharacters(text, format.encoding);
    if (unencodable.count == 0)
        return true;
    const QString first = QString::fromUcs4(&unencodable.first, 1);
    const QString code = QStringLiteral("U+%1").arg(uint(unencodable.first), 4, 16, QLatin1Char('0')).toUpper();
    if (!ConfirmSave(owner, QString::fromUtf8("文書の %1 文字は %2 で保存できません（最初の文字: 「%3」 %4）。\n"
                                              "すべての文字を残すため UTF-8 で保存しますか?")
                                .arg(QString::number(unencodable.count), EncodingLabel(format), first, code)))
        return false;
    format.encoding = "UTF-8";
    format.byteOrderMark = false;
    return true;
}

} // namespace

void TSDIAppForm::RememberDocumentFile()
{
    DocumentStampName = DocumentFileName;
    DocumentFileStamp = FileStampOf(DocumentFileName);
}

void TSDIAppForm::CreateFileDialogs()
{
    OpenDialog = std::make_unique<TFileDialog>(this, QStringLiteral("OpenDialog"), false);
    SaveDialog = std::make_unique<TFileDialog>(this, QStringLiteral("SaveDialog"), true);
    OpenDialog->Filter = DocumentFileFilter();
    SaveDialog->Filter = DocumentFileFilter();
    // Encodings and line endings are for plain text: an RTF file names its own.
    const QString encodingCaption = QString::fromUtf8("文字コード(&E):");
    OpenDialog->Choices = {{QStringLiteral("cbEncoding"), encodingCaption, OpenEncodingLabels(), 0}};
    SaveDialog->Choices = {{QStringLiteral("cbEncoding"), encodingCaption, {}, 0},
                           {QStringLiteral("cbLineEnding"), QString::fromUtf8("改行コード(&L):"), LineEndingLabels(), 0}};
    OpenDialog->ChoicesApplyTo = SaveDialog->ChoicesApplyTo = [](const QString& name) { return !IsRichTextName(name); };
}

bool TSDIAppForm::CancelledAtSavePrompt(SavePrompt prompt)
{
    if (!RichEdit1->Modified())
        return false;
    // New and Open ask in one way, the close of the window in another.
    const bool closing = prompt == SavePrompt::Close;
    const QString question = QString::fromUtf8(closing ? "ドキュメントの変更を保存しますか?" : "変更点を保存しますか?");
    const QString caption = QString::fromUtf8(closing ? "確認" : "ワードプロセッサ");
    switch (MessageBox(this, question, caption, MB_YESNOCANCEL)) {
    case IDYES:
        return SaveDocument();
    case IDNO:
        return false;
    default:
        return true;
    }
}

bool TSDIAppForm::NewDocument()
{
    if (CancelledAtSavePrompt(SavePrompt::NewOrOpen))
        return true;
    {
        const TJournalPause pause(DocumentJournal.get());
        RichEdit1->SetText(QString());
    }
    RichEdit1->SetModified(false);
    EncodingBar->Close();
    DocumentFileName.clear();
    DocumentStampName.clear();
    DiscardRecoveryData();
    RecordDocumentState();
    UpdateStatusBar();
    return false;
}

void TSDIAppForm::FileOpen1Execute()
{
    if (CancelledAtSavePrompt(SavePrompt::NewOrOpen))
        return;
    // Every Open starts with detection; a named encoding is for one reading.
    OpenDialog->Choices[0].ItemIndex = 0;
    if (OpenDialog->Execute()) {
        const QString name = OpenDialog->FileName;
        OpenDocumentFile(name, IsRichTextName(name) ? QByteArray() : OpenEncodingAt(OpenDialog->Choices[0].ItemIndex));
    }
    UpdateStatusBar();
}

void TSDIAppForm::OpenFileFromDesktop(const QString& path)
{
    if (CancelledAtSavePrompt(SavePrompt::NewOrOpen))
        return;
    OpenDocumentFile(path, QByteArray());
    UpdateStatusBar();
}

void TSDIAppForm::OpenDocumentFile(const QString& name, const QByteArray& encoding)
{
    const bool previousMode = RichEdit1->PlainText;
    RichEdit1->PlainText = !IsRichTextName(name);
    try {
        const TJournalPause pause(DocumentJournal.get());
        RichEdit1->LoadFromFile(name, encoding);
    } catch (...) {
        // The old document stays, so it keeps the mode it is saved in.
        RichEdit1->PlainText = previousMode;
        UpdateStatusBar();
        throw;
    }
    RichEdit1->SetModified(false);
    DocumentFileName = name;
    RememberDocumentFile();
    // The changes the user chose not to save go with the document they belonged to.
    DiscardRecoveryData();
    if (RichEdit1->Loading()) {
        // The load is no edit: the journal hears nothing of it, and starts from the
        // file once the whole of it is in (DocumentLoadEnded).
        if (DocumentJournal && !JournalHeldForLoad) {
            DocumentJournal->Pause();
            JournalHeldForLoad = true;
        }
        StatusBar->SetProgress(0);
    } else {
        RecordDocumentState(true);
    }
    // An encoding the user chose is never second-guessed.
    if (encoding.isEmpty())
        ShowEncodingNotice();
    else
        EncodingBar->Close();
}

void TSDIAppForm::DocumentLoadEnded(bool whole)
{
    StatusBar->SetProgress(-1);
    if (JournalHeldForLoad) {
        JournalHeldForLoad = false;
        if (DocumentJournal)
            DocumentJournal->Resume();
    }
    // Formatting applied while the file was loading is a change the file lacks.
    if (whole) {
        RecordDocumentState(!RichEdit1->Modified());
    } else {
        // A stopped load leaves no file behind the document: it is replaced (another
        // file, New, closing) or emptied after a failed read, and must not be saved
        // over the file it held only part of.
        DocumentFileName.clear();
        DocumentStampName.clear();
    }
    UpdateStatusBar();
}

void TSDIAppForm::ShowEncodingNotice()
{
    if (!RichEdit1->PlainText || !RichEdit1->EncodingUnsure) {
        EncodingBar->Close();
        return;
    }
    std::vector<TNoticeBar::Choice> choices;
    for (const QByteArray& other : RichEdit1->OtherLikelyEncodings) {
        TextFileFormat format;
        format.encoding = other;
        const QString name = DocumentFileName;
        choices.push_back({EncodingLabel(format), [this, name, other]() {
                               // The document may have been edited since the bar was
                               // shown; a re-reading then asks first, as Open does.
                               if (CancelledAtSavePrompt(SavePrompt::NewOrOpen))
                                   return;
                               OpenDocumentFile(name, other);
                               UpdateStatusBar();
                           }});
    }
    EncodingBar->Show(QString::fromUtf8("文字コードを確実には判別できなかったため、%1 として読み込みました。"
                                        "文字化けしている場合は、次の文字コードで読み直してください。")
                          .arg(EncodingLabel(RichEdit1->PlainTextFormat)),
                      choices);
}

bool TSDIAppForm::SaveDocument()
{
    // What is saved is the whole file, never the part loaded so far.
    RichEdit1->FinishLoading();
    if (DocumentFileName.isEmpty())
        return SaveDocumentAs();
    if (DocumentFileName == DocumentStampName
        && (!MayWriteOver(this, DocumentFileName, DocumentFileStamp)
            || !MayLeaveOut(this, DocumentFileName, RichEdit1->UnkeptOnSave)))
        return true;
    if (RichEdit1->PlainText && !MayEncode(this, RichEdit1->Text(), RichEdit1->PlainTextFormat))
        return true;
    RichEdit1->SaveToFile(DocumentFileName);
    RichEdit1->SetModified(false);
    // The file now holds what the document holds.
    RichEdit1->UnkeptOnSave.clear();
    RememberDocumentFile();
    // The file is written and synced: the recovery data is no longer needed.
    DiscardRecoveryData();
    RecordDocumentState(true);
    return false;
}

bool TSDIAppForm::SaveDocumentAs()
{
    SaveDialog->FileName = DocumentFileName.isEmpty() ? QStringLiteral("Untitled.rtf") : DocumentFileName;
    // The document's own encoding and line ending are proposed.
    const TextFileFormat previousFormat = RichEdit1->PlainTextFormat;
    const std::vector<EncodingChoice> encodings = SaveEncodings(previousFormat);
    TFileDialogChoice& encoding = SaveDialog->Choices[0];
    TFileDialogChoice& lineEnding = SaveDialog->Choices[1];
    encoding.Items.clear();
    for (const EncodingChoice& choice : encodings)
        encoding.Items << choice.label;
    encoding.ItemIndex = IndexOfEncoding(encodings, previousFormat);
    lineEnding.ItemIndex = IndexOfLineEnding(previousFormat.lineEnding);
    if (!SaveDialog->Execute())
        return true;
    const QString previousName = DocumentFileName;
    const QString previousStampName = DocumentStampName;
    const bool previousMode = RichEdit1->PlainText;
    DocumentFileName = SaveDialog->FileName;
    // The dialog has asked before replacing a file that exists.
    DocumentStampName.clear();
    RichEdit1->PlainText = !IsRichTextName(DocumentFileName);
    if (RichEdit1->PlainText) {
        RichEdit1->PlainTextFormat = encodings.at(encoding.ItemIndex).format;
        RichEdit1->PlainTextFormat.lineEnding = LineEndingAt(lineEnding.ItemIndex);
        // Half a code unit that a UTF-16 file ended in stays with its text while the
        // text stays in that encoding.
        if (previousMode && RichEdit1->PlainTextFormat.encoding.compare(previousFormat.encoding, Qt::CaseInsensitive) == 0)
            RichEdit1->PlainTextFormat.incompleteUnit = previousFormat.incompleteUnit;
    }
    UpdateStatusBar();
    // Nothing was written when the save failed or the user declined it: the document
    // keeps the name and format it had.
    const auto restore = [&]() {
        DocumentFileName = previousName;
        DocumentStampName = previousStampName;
        RichEdit1->PlainText = previousMode;
        RichEdit1->PlainTextFormat = previousFormat;
        UpdateStatusBar();
    };
    try {
        if (SaveDocument()) {
            restore();
            return true;
        }
    } catch (...) {
        restore();
        throw;
    }
    return false;
}

void TSDIAppForm::FileNew1Execute()
{
    NewDocument();
}

void TSDIAppForm::FileSave1Execute()
{
    SaveDocument();
}

void TSDIAppForm::FileSaveAs1Execute()
{
    SaveDocumentAs();
}
