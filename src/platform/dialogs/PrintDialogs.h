#pragma once
// The print dialog and the printer-setup dialog. Both work on the current printer: what
// the user confirms in them is what the next print uses.
#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;
class QWidget;

// The system's print dialog (printer, copies, page range, print to file).
class TPrintDialog {
public:
    TPrintDialog(QWidget* owner, const QString& name);

    // Shows the dialog modally; true when the user chose to print.
    bool Execute();

private:
    QWidget* owner_;
    QString name_;
};

// Printer, paper size and orientation, in Japanese, as a printer-setup dialog offers.
class TPrinterSetupForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrinterSetupForm(QWidget* owner);

    QComboBox* PrinterBox() const { return printer_; }
    QComboBox* PaperBox() const { return paper_; }
    QRadioButton* PortraitButton() const { return portrait_; }
    QRadioButton* LandscapeButton() const { return landscape_; }

    // Fills the form from the current printer, and writes the choice back to it.
    void LoadFromCurrentPrinter();
    void StoreToCurrentPrinter() const;

private:
    void ShowPrinter(int index);

    QComboBox* printer_;
    QLabel* model_;
    QLabel* location_;
    QComboBox* paper_;
    QRadioButton* portrait_;
    QRadioButton* landscape_;
};

class TPrinterSetupDialog {
public:
    TPrinterSetupDialog(QWidget* owner, const QString& name);

    // Shows the dialog modally; true when the user confirmed it. With no printer
    // installed it says so instead and returns false.
    bool Execute();

private:
    QWidget* owner_;
    QString name_;
};
