#pragma once
// The rich-edit control that holds the document. Positions and lengths are document
// positions: UTF-16 units, a paragraph break counting one.
#include "platform/richedit/TextAttributes.h"
#include "platform/text/TextEncoding.h"
#include "platform/text/TextSearch.h"

#include <QTextCursor>
#include <QStringList>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <stdexcept>

class QFile;
class TDocumentLayout;
class TLongParagraphEditing;
class TLoadInProgress;
class TPopupMenu;

// A file could not be read or written; the message names the file and the reason.
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const QString& message);
};

class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    TRichEdit(QWidget* parent, const QString& name);
    ~TRichEdit() override;

    // --- Text and selection ----------------------------------------------------
    // The whole text, paragraph breaks as '\n'.
    QString Text() const;
    // Replaces the whole content with plain text in the default format; the empty
    // text empties the document. Clears the undo history and the modified flag.
    void SetText(const QString& text);
    int TextLength() const;
    // The lower end of the selection, whichever end the caret is at.
    int SelStart() const;
    // Collapses the selection to the caret at position (clamped to the text).
    void SetSelStart(int position);
    int SelLength() const;
    // Selects from the selection start; -1 (or any negative length) selects to the end.
    void SetSelLength(int length);
    QString SelText() const;
    // Replaces the selection; afterwards the caret stands after the inserted text.
    void SetSelText(const QString& text);
    // Deletes the selected text; nothing happens without a selection.
    void ClearSelection();

    // Groups the edits until EndEditBlock into one undo step. ReplaceRange edits
    // without moving the selection each time; EndEditBlock leaves the caret after
    // the last replacement, or the selection as it was when nothing was replaced.
    void BeginEditBlock();
    void ReplaceRange(int start, int length, const QString& text);
    void EndEditBlock();

    // Set by every change of the content, by the user or the program, an undo back to
    // the saved text included; cleared only by SetModified(false).
    bool Modified() const;
    void SetModified(bool modified);

    // --- Search ---------------------------------------------------------------
    // The first occurrence lying wholly inside [start, start + length); start + length
    // of -1 reaches to the end of the text. Returns -1 when there is none.
    int FindText(const QString& text, int start, int length, TSearchTypes types) const;
    // The first occurrence starting at or after start, up to the end of the text.
    int FindTextToEnd(const QString& text, int start, TSearchTypes types) const;
    // Every occurrence that replacing them one after another, left to right, would
    // replace; positions before any replacement.
    std::vector<int> FindOccurrencesToReplace(const QString& text, const QString& replacement, TSearchTypes types) const;

    // --- Lines ----------------------------------------------------------------
    // Number of lines of text; 0 when empty (a last empty paragraph is not counted).
    int LineCount() const;
    // The 0-based displayed (wrapped) line holding position.
    int LineFromChar(int position) const;
    // The position of the first character of a displayed line; -1 past the last line.
    int LineIndex(int line) const;
    // The displayed line holding position and that line's first position: what
    // LineFromChar and LineIndex give when they are quick to answer; estimated (Exact
    // false) when the background layout has yet to reach position, without waiting for
    // it. OnLinesLaidOut is raised as the background layout goes on.
    struct TLinePlace {
        int Line = 0;
        int Start = 0;
        bool Exact = false;
    };
    TLinePlace LinePlace(int position) const;

    // The formatting rectangle in client pixels: text starts at left/top and wraps at
    // right, whatever the window width (a horizontal scroll bar appears when the
    // window is narrower). Degenerate or huge rectangles are clamped, never refused.
    void SetFormattingRect(int left, int top, int right, int bottom);
    int WrapWidth() const;
    QMargins FormattingMargins() const { return viewportMargins(); }
    // Height of the client area, inside the frame.
    int ClientHeight() const { return contentsRect().height(); }

    bool CanUndo() const;
    void Undo();

    // --- Formatting -------------------------------------------------------------
    TParaAttributes Paragraph() { return TParaAttributes(this); }
    TTextAttributes SelAttributes() { return TTextAttributes(this); }
    int PixelsPerInch() const;
    // The character set of text that carries none of its own.
    int DefaultCharset() const;

    // --- Files and printing -----------------------------------------------------
    // True: files are read and written as plain text; false: as RTF.
    bool PlainText = false;
    // Reads a whole file, replacing the content. Plain text is read in encoding (an
    // iconv name) when one is given, otherwise in the encoding detected. Throws
    // EFileError and leaves the control as it was when the file cannot be read.
    // A file of kIncrementalLoadBytes or more is loaded in steps: this returns once the
    // file's start is in the document (of plain text with the encoding decided from the
    // file's first kDetectionSampleBytes; of RTF its first paragraphs), and the rest
    // follows in slices of a few milliseconds between events (see Loading).
    void LoadFromFile(const QString& path, const QByteArray& encoding = QByteArray());
    static constexpr qint64 kIncrementalLoadBytes = 1 << 20;
    static constexpr qint64 kDetectionSampleBytes = 512 * 1024;
    // True while a file's rest is being loaded. Meanwhile the user can read, scroll,
    // select and search what is loaded but not edit it; the undo history stays empty
    // and the loading does not set the modified flag. SetSelText, ClearSelection, edit
    // blocks, SaveToFile and Print finish the load first.
    bool Loading() const { return load_ != nullptr; }
    // Loads the rest of the file now.
    void FinishLoading();
    // Stops a load and empties the document (for closing: what is loaded must not be
    // taken for the file). Nothing is done when no load is going on.
    void StopLoading();
    // Raised between slices of a load with the share loaded, 0 to 100.
    std::function<void(int percent)> OnLoadProgress;
    // Raised once for each load that goes on after LoadFromFile returned: with true
    // when the whole file is in, with false when the load was stopped (by StopLoading
    // or by another content replacing it).
    std::function<void(bool whole)> OnLoadEnd;
    // Writes the whole content atomically: on failure the old file is intact and
    // EFileError is thrown.
    void SaveToFile(const QString& path);
    // What the last RTF file read held that a save will not write back, as short
    // descriptions; empty for a document kept whole. Loading another file resets it;
    // a big RTF file fills it once the whole file is read.
    QStringList UnkeptOnSave;
    // How the last plain-text file was stored; plain-text saves use it.
    TextFileFormat PlainTextFormat;
    // The last plain-text load detected its encoding without being sure of it; the
    // encodings (iconv names) that read the file as the next likeliest other texts.
    bool EncodingUnsure = false;
    QList<QByteArray> OtherLikelyEncodings;
    // The caret's rectangle in the viewport, wherever it stands.
    QRect CaretRect() const;
    // Prints the whole content as one job on the current printer.
    void Print(const QString& title);

    TPopupMenu* PopupMenu = nullptr;
    // Raised on every move of the caret or the selection (after an edit, once the
    // modified flag reflects it).
    std::function<void()> OnSelectionChange;
    // Raised after each stretch of background layout.
    std::function<void()> OnLinesLaidOut;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The clipboard and drags carry the selection as RTF beside HTML and plain text;
    // a paste reads RTF first, then a picture, then HTML, then plain text.
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void SelectionMoved();
    // The whole content replaced by text in the default format, caret at the start,
    // no undo history, not modified.
    void ReplaceWithPlainText(const QString& text);
    // Each returns the warning to show once the file is done with, or an empty text.
    QString LoadPlainText(const QString& path, QByteArray bytes, const QByteArray& encoding);
    // Loads the start of a big file and leaves the rest to LoadSlice; file, when given,
    // is read on from where bytes end. Its encoding is decided from bytes up to
    // sampleEnd, or from furtherSample when that is given.
    QString StartLoading(const QString& path, std::unique_ptr<QFile> file, QByteArray bytes, qsizetype sampleEnd,
                         const QByteArray& encoding, const QByteArray& furtherSample);
    // Reads the start of a big RTF file and leaves the rest to LoadSlice: bytes, then
    // the rest of file when given, read as the reader needs it.
    QString StartRtfLoading(const QString& path, const QByteArray& bytes, std::unique_ptr<QFile> file = nullptr);
    // Makes load the one in progress: the text read-only, undo off, slices scheduled.
    void BeginLoad(std::unique_ptr<TLoadInProgress> load);
    // Loads more of the file, for about budgetNs nanoseconds (all of it when negative).
    void LoadSlice(qint64 budgetNs);
    void ScheduleLoadSlice();
    // While it lives, what a load puts in the document is no edit: no modified flag,
    // no signals, and the caret and selection stay where they are.
    class TLoadedTextGuard {
    public:
        explicit TLoadedTextGuard(TRichEdit& edit);
        ~TLoadedTextGuard();
        TLoadedTextGuard(const TLoadedTextGuard&) = delete;
        TLoadedTextGuard& operator=(const TLoadedTextGuard&) = delete;

    private:
        TRichEdit& edit_;
        int anchor_;
        int position_;
    };
    // Ends the load in progress, if any, restoring what it changed; raises OnLoadEnd.
    void EndLoad(bool whole);
    QString SavePlainText(const QString& path);

    // Inserts pasted content at the caret as one edit, its pictures with it.
    void InsertPasted(const QTextDocument& pasted);

    void KeepViewPlace();
    void RestoreViewPlace();

    TDocumentLayout* layout_;
    TLongParagraphEditing* longParagraphs_;
    int viewAnchorBlock_ = 0;
    int viewAnchorOffset_ = 0;
    QTextCursor blockCursor_;
    int blockCaret_ = -1;
    bool modified_ = false;
    bool changePending_ = false;  // the content changed in the edit being finished
    bool preeditOnly_ = false;    // an input method changes its pre-edit text only
    bool appendingLoaded_ = false;  // a load appends text, which is no edit
    bool holdSelectionReports_ = false;  // while an edit block or a whole new text is made
    int wrapWidth_ = -1;
    int lastAnchor_ = -1;
    int lastPosition_ = -1;
    std::unique_ptr<TLoadInProgress> load_;
    int loadGeneration_ = 0;  // tells a scheduled slice whether its load still runs
};
