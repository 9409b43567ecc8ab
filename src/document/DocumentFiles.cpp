// The document's identity and its life on disk: New, Open, Save, Save As.
#include "shell/SDIMain.h"

#include "document/DocumentNames.h"
#include "platform/FileDialogs.h"
#include "platform/FileStamp.h"
#include "platform/MessageBox.h"
#include "platform/RichEdit.h"

namespace {

// The prompt of New and Open; the close of the main window has its own.
int AskToSaveChanges(QWidget* owner)
{
    return MessageBox(owner, QString::fromUtf8("変更点を保存しますか?"),
                      QString::fromUtf8("ワードプロセッサ"), MB_YESNOCANCEL);
}

// The question before a save writes over its file; true for Yes.
bool ConfirmOverwrite(QWidget* owner, const QString& question)
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
    return ConfirmOverwrite(
        owner, QString::fromUtf8("ファイル \"%1\" は開いた後に他のプログラムによって変更されています。上書きしますか?").arg(path));
}

// True when the user allows replacing the file the document was read from although
// a save leaves out what the control could not keep of it; no question otherwise.
bool MayLeaveOut(QWidget* owner, const QString& path, const QStringList& unkept)
{
    if (unkept.isEmpty())
        return true;
    return ConfirmOverwrite(owner, QString::fromUtf8("ファイル \"%1\" を上書きすると、次の内容は保存されません: %2\n上書きしますか?")
                                       .arg(path, unkept.join(QStringLiteral(", "))));
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
}

bool TSDIAppForm::NewDocument()
{
    if (RichEdit1->Modified()) {
        switch (AskToSaveChanges(this)) {
        case IDYES:
            if (SaveDocument())
                return true;
            break;
        case IDNO:
            break;
        default:
            return true;
        }
    }
    RichEdit1->SetText(QString());
    RichEdit1->SetModified(false);
    DocumentFileName.clear();
    DocumentStampName.clear();
    UpdateStatusBar();
    return false;
}

void TSDIAppForm::FileOpen1Execute()
{
    if (RichEdit1->Modified()) {
        switch (AskToSaveChanges(this)) {
        case IDYES:
            if (SaveDocument())
                return;
            break;
        case IDNO:
            break;
        default:
            return;
        }
    }
    if (OpenDialog->Execute()) {
        const QString name = OpenDialog->FileName;
        const bool previousMode = RichEdit1->PlainText;
        RichEdit1->PlainText = !IsRichTextName(name);
        try {
            RichEdit1->LoadFromFile(name);
        } catch (...) {
            // The old document stays, so it keeps the mode it is saved in.
            RichEdit1->PlainText = previousMode;
            UpdateStatusBar();
            throw;
        }
        RichEdit1->SetModified(false);
        DocumentFileName = name;
        RememberDocumentFile();
    }
    UpdateStatusBar();
}

bool TSDIAppForm::SaveDocument()
{
    if (DocumentFileName.isEmpty())
        return SaveDocumentAs();
    if (DocumentFileName == DocumentStampName
        && (!MayWriteOver(this, DocumentFileName, DocumentFileStamp)
            || !MayLeaveOut(this, DocumentFileName, RichEdit1->UnkeptOnSave)))
        return true;
    RichEdit1->SaveToFile(DocumentFileName);
    RichEdit1->SetModified(false);
    // The file now holds what the document holds.
    RichEdit1->UnkeptOnSave.clear();
    RememberDocumentFile();
    return false;
}

bool TSDIAppForm::SaveDocumentAs()
{
    SaveDialog->FileName = DocumentFileName.isEmpty() ? QStringLiteral("Untitled.rtf") : DocumentFileName;
    if (!SaveDialog->Execute())
        return true;
    const QString previousName = DocumentFileName;
    const QString previousStampName = DocumentStampName;
    const bool previousMode = RichEdit1->PlainText;
    DocumentFileName = SaveDialog->FileName;
    // The dialog has asked before replacing a file that exists.
    DocumentStampName.clear();
    RichEdit1->PlainText = !IsRichTextName(DocumentFileName);
    UpdateStatusBar();
    try {
        SaveDocument();
    } catch (...) {
        // Nothing was written: the document keeps the name and format it had.
        DocumentFileName = previousName;
        DocumentStampName = previousStampName;
        RichEdit1->PlainText = previousMode;
        UpdateStatusBar();
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
