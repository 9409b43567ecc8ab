#pragma once
// The main window. Declared once here with its members grouped by subsystem; each
// subsystem folder defines the members it owns.
#include "platform/system/FileStamp.h"
#include "platform/forms/Forms.h"

#include <QString>
#include <memory>

class TAction;
class TActionList;
class TButton;
class TCheckBox;
class TComboBox;
class TDocumentJournal;
class TEdit;
class TFileDialog;
class TFindDialog;
class TFontDialog;
class TPrintDialog;
class TPrinterSetupDialog;
class TRegistry;
class TImageList;
class TMenuItem;
class TNoticeBar;
class TPopupMenu;
class TRadioGroup;
class TRichEdit;
struct TRecoverySet;
class TStatusBar;
class TToolBar;
class TToolButton;

class TSDIAppForm : public TMainForm {
    Q_OBJECT
public:
    TSDIAppForm();
    ~TSDIAppForm() override;

    // --- Composition (shell/SDIMain.cpp) -------------------------------------
    TToolBar* ToolBar1 = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    // Above the editor: says which encoding a file was read in when detection was not
    // sure, and offers the others.
    TNoticeBar* EncodingBar = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPopupMenu* File1 = nullptr;
    TPopupMenu* Edit1 = nullptr;
    TPopupMenu* Format1 = nullptr;
    TPopupMenu* Help1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TActionList* ActionList1 = nullptr;
    std::unique_ptr<TImageList> ImageList1;

    // Hidden controls on the toolbar that keep the last foreign-language search.
    TEdit* lastFindWord = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TCheckBox* chMatchCase = nullptr;
    TCheckBox* chWholeWord = nullptr;
    TRadioGroup* grDown = nullptr;

    // Looks up a component by name (menu item, toolbar button, action).
    TMenuItem* MenuItem(const QString& name) const;
    TToolButton* ToolButton(const QString& name) const;
    TAction* Action(const QString& name) const;

    // --- Document (document/) --------------------------------------------------
    QString DocumentFileName;
    // The file as it was when last read or written, and its name then: Save asks before
    // writing over a file another program has changed since.
    TFileStamp DocumentFileStamp;
    QString DocumentStampName;
    void RememberDocumentFile();
    std::unique_ptr<TFileDialog> OpenDialog;
    std::unique_ptr<TFileDialog> SaveDialog;
    std::unique_ptr<TPrinterSetupDialog> PrinterSetupDialog1;
    std::unique_ptr<TPrintDialog> PrintDialog1;
    bool NewDocument();
    bool SaveDocument();
    bool SaveDocumentAs();
    // A big file's load that went on after OpenDocumentFile returned has ended: the
    // document is the file once the whole of it is in.
    void DocumentLoadEnded(bool whole);
    bool JournalHeldForLoad = false;
    void FileNew1Execute();
    void FileOpen1Execute();
    // Opens a file named outside the Open dialog, by a file argument or a drop, the way
    // Open does: the save prompt first when the document is modified.
    void OpenFileFromDesktop(const QString& path);
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FilePrinterSetup1Execute();
    void Print1Click();
    void FilePrint1Execute();

    // --- Recovery of unsaved work (document/DocumentRecovery.cpp) ----------------
    // The journal of the document's unsaved changes; its data goes when the changes are
    // saved or discarded (Save, Save As, New, Open, a close after いいえ), and only then.
    // Destroyed before RichEdit1, whose document it reads.
    std::unique_ptr<TDocumentJournal> DocumentJournal;
    void StartDocumentJournal();
    // Tells the journal the document's name and file format; after a file was read or
    // written, also that the document is that file, which a journal can start from.
    void RecordDocumentState(bool documentIsTheFile = false);
    void DiscardRecoveryData();
    // Offers, one after another, the documents of instances that ended without saving
    // them. The first one restored goes into this window when intoThisWindow, the
    // others open in new instances.
    void OfferRecoveredDocuments(bool intoThisWindow);
    // Restores the set named id without asking (in an instance started for it).
    void RestoreRecoverySet(const QString& id);

    // --- Editing and standard search (edit/) -----------------------------------
    QString LastFindText;
    bool LastMatchCase = false;
    bool LastWholeWord = false;
    bool LastSearchDown = false;
    void EditUndo1Execute();
    void EditDelete1Execute();
    void SelectAll1Click();
    void Edit1Click();
    void RichEdit1SelectionChange();
    void EditFind1Execute();
    void EditFindNext1Execute();
    void EditReplace1Execute();
    TFindDialog* FindDialog1 = nullptr;
    TFindDialog* ReplaceDialog1 = nullptr;
    void FindDialog1Find(TFindDialog* sender);
    void ReplaceDialog1Replace();

    // --- Foreign-language search (foreignsearch/) --------------------------------
    void EidtFindRus1Execute();
    void EditFindRusNext1Execute();
    void ApplyLanguageCharset();

    // --- Formatting (format/) ---------------------------------------------------
    double PageWidthInches = 6.5;
    TFontDialog* FontDialog1 = nullptr;
    void UpdateFormattingRect();
    void FormatAlignLeft1Execute();
    void FormatAlignCenter1Execute();
    void FormatAlignRight1Execute();
    void FormatFontExecute();
    void FormatBulletsExecute();
    void FormatPageWidth1Execute();
    void FormatParagraph1Execute();

    // --- Shell: lifecycle, status bar, About, Exit (shell/) ---------------------
    std::unique_ptr<TRegistry> SettingsRegistry;
    void FormCreate() override;
    void FormCloseQuery(bool& canClose) override;
    void FormClose() override;
    void FormResize() override;
    void UpdateStatusBar();
    // The status line shows an estimated line, to be shown again as layout goes on.
    bool StatusLineEstimated = false;
    void HelpAbout1Execute();
    void FileExit1Execute();

private:
    // Asks whether to save a modified document (New and Open in one way, the close of
    // the window in another) and saves it on Yes; true when the user cancelled, at the
    // question or in the Save As dialog, and nothing may change. An unmodified
    // document asks nothing.
    enum class SavePrompt { NewOrOpen, Close };
    bool CancelledAtSavePrompt(SavePrompt prompt);
    // Reads a file into the document in the format its name calls for; plain text in
    // encoding, or in the one detected when it is empty.
    void OpenDocumentFile(const QString& name, const QByteArray& encoding);
    // Shows EncodingBar for a plain-text file whose encoding was detected unsure; hides
    // it otherwise.
    void ShowEncodingNotice();
    // Replaces the document with the one a recovery set holds, modified; false when the
    // set holds no journal of this program.
    bool RestoreRecovered(TRecoverySet& set);
    void CreateImageList();
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateHiddenSearchControls();
    void CreateFileDialogs();
    void CreateSearchDialogs();
};

extern TSDIAppForm* SDIAppForm;
