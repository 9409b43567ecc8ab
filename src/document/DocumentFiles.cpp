// The document's identity and its life on disk: New, Open, Save, Save As.
#include "shell/SDIMain.h"

#include "platform/MessageBox.h"
#include "platform/RichEdit.h"

bool TSDIAppForm::NewDocument()
{
    if (RichEdit1->Modified()) {
        switch (MessageBox(this, QString::fromUtf8("変更点を保存しますか?"),
                           QString::fromUtf8("ワードプロセッサ"), MB_YESNOCANCEL)) {
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
    UpdateStatusBar();
    return false;
}

// Opening and saving files are not built yet; saving reports a cancel so that no
// caller believes the document was written.
void TSDIAppForm::FileOpen1Execute()
{
    UpdateStatusBar();
}

bool TSDIAppForm::SaveDocument()
{
    if (DocumentFileName.isEmpty())
        return SaveDocumentAs();
    return true;
}

bool TSDIAppForm::SaveDocumentAs()
{
    return true;
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
