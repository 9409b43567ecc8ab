#pragma once
// Forms: the main window and dialogs, with the events the windows handle (create,
// show, close query, close, resize) and modal results (1 OK, 2 Cancel, 0 none).
#include <QDialog>
#include <QMainWindow>

enum ModalResultCode {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
};

// Pixels per logical inch of a widget's screen.
int PixelsPerInchOf(const QWidget* widget);

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const QString& name);

    virtual void FormCreate() {}
    virtual void FormCloseQuery(bool& canClose) { canClose = true; }
    virtual void FormClose() {}
    virtual void FormResize() {}

    int PixelsPerInch() const { return PixelsPerInchOf(this); }
    // Places the window by its outer frame, as the desktop measures windows.
    void SetOuterBounds(int left, int top, int width, int height);
    // Asks the form to close: the close query decides.
    void Close() { close(); }

Q_SIGNALS:
    // The form has closed; for the main form this ends the run.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// A button that Esc presses in its dialog carries this property, set to true.
inline constexpr char kCancelButtonProperty[] = "tesserineCancelButton";

class TDialogForm : public QDialog {
    Q_OBJECT
public:
    TDialogForm(QWidget* owner, const QString& name);

    virtual void FormCreate() {}
    virtual void FormShow() {}
    virtual void FormCloseQuery(bool& canClose) { canClose = true; }
    virtual void FormClose() {}

    // Modal use: returns the modal result; closing by the close box gives mrCancel.
    int ShowModal();
    bool IsShownModal() const { return shownModal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    // Ends a modal showing with the current modal result (runs the close query).
    void CloseModal();

    // Modeless use: shows the form, or brings it to the front when already shown.
    void Show();
    void Close() { close(); }

    void CenterOnScreen();
    // Each showing starts centred on the screen rather than over the owner window.
    bool CentredOnScreen = false;

public Q_SLOTS:
    // Esc presses the cancel button if there is one; otherwise it does nothing.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool RunCloseQuery();

    int modalResult_ = mrNone;
    bool shownModal_ = false;
};
