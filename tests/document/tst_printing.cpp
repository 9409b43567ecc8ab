// Printing through a real print server: the toolbar's immediate print, the print dialog
// and the printer-setup dialog, read back from the PDF files the server's PDF printers
// write. Runs under tests/support/cups-sandbox with two PDF printers.
#include "document/PrintedJobs.h"
#include "platform/forms/Menus.h"
#include "platform/dialogs/PrintDialogs.h"
#include "platform/system/Printer.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/ToolBar.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

const QString kFirst = QStringLiteral("TesserinePDF");
const QString kSecond = QStringLiteral("TesserinePDF2");

// 200 numbered lines of Japanese and Russian: several pages at any usual paper size.
QString MultiPageText()
{
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << QStringLiteral("%1 日本語の行です Русская строка").arg(i, 3, 10, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n'));
}

// The numbered lines found in the printed text, in the order they were printed.
QStringList PrintedLines(const QString& text)
{
    QStringList found;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed().remove(QLatin1Char('\f'));
        if (trimmed.contains(QStringLiteral("日本語の行です Русская строка")))
            found << trimmed;
    }
    return found;
}

// One finished print: the job, the document the server received, the printer's PDF.
struct Printout {
    PrintedJob job;
    PrintedPdf document;
    PrintedPdf output;
};

Printout WaitForPrintout(const QString& printer, const QStringList& pdfsBefore)
{
    Printout printout;
    printout.output = WaitForNewPdf(printer, pdfsBefore);
    const QList<PrintedJob> jobs = PrintedJobs();
    if (!jobs.isEmpty()) {
        printout.job = jobs.last();
        printout.document = JobDocument(printout.job.id);
    }
    return printout;
}

// The checks every printout of a numbered document passes. The PDF printer turns the
// document into PostScript and back, which keeps the pages and the Japanese text but
// not the character maps of every Latin and Cyrillic glyph; the document the server
// received carries all of its text.
void VerifyPrintout(const Printout& printout, const QString& printer, const QString& text)
{
    QVERIFY2(!printout.output.path.isEmpty(), "the printer wrote no PDF");
    QVERIFY2(!printout.document.path.isEmpty(), "the server kept no document for the job");
    QCOMPARE(printout.job.printer, printer);
    QCOMPARE(printout.job.title, QString());
    QCOMPARE(PrintedLines(printout.document.text), text.split(QLatin1Char('\n')));
    // The control prints its content only: no page numbers or other lines of its own.
    QStringList printed;
    for (const QString& line : printout.document.text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed().remove(QLatin1Char('\f'));
        if (!trimmed.isEmpty())
            printed << trimmed;
    }
    QCOMPARE(printed, PrintedLines(printout.document.text));
    QCOMPARE(printout.document.text.count(QLatin1Char('\f')), printout.document.pages);
    QCOMPARE(printout.output.pages, printout.document.pages);
    QCOMPARE(printout.output.text.count(QStringLiteral("日本語の行です")), text.count(QStringLiteral("日本語の行です")));
}

void Accept(QWidget* dialog)
{
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(box);
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            button->click();
            return;
        }
    QFAIL("the dialog has no button that accepts it");
}

void Reject(QWidget* dialog)
{
    QTest::keyClick(dialog, Qt::Key_Escape);
}

// Rejects any modal dialog that shows up during a command that should show none.
class NoDialogGuard {
public:
    NoDialogGuard()
    {
        timer_.setInterval(200);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this]() {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen_ << modal->objectName() + QLatin1Char(' ') + modal->windowTitle();
                modal->close();
            }
        });
        timer_.start();
    }
    QStringList seen() const { return seen_; }

private:
    QTimer timer_;
    QStringList seen_;
};

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void toolbarPrintsTheWholeDocumentAtOnceAndChangesNothing();
    void toolbarPrintsAnEmptyDocumentToo();
    void pastedHtmlPrintsAsTheScreenShowsIt();
    void menuPrintPrintsOnlyWhenTheDialogIsConfirmed();
    void aPageRangeChosenInTheDialogLastsForThatJobOnly();
    void printerSetupChoosesPrinterPaperAndOrientationOfTheNextPrint();
    void aPrinterThatRefusesTheJobGivesAMessage();

private:
    void clickPrintButton();
    TRichEdit* edit() const { return form_->RichEdit1; }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void PrintingTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("TESSERINE_PDF_ROOT"))
        QSKIP("needs the private print server of tests/support/cups-sandbox");
    QCOMPARE(InstalledPrinters(), QStringList({kFirst, kSecond}));
    QCOMPARE(DefaultPrinterName(), kFirst);
}

void PrintingTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    // The current printer outlives the windows; each test starts from the default one.
    QPrinter& printer = CurrentPrinter();
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(kFirst);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    QVERIFY(WaitForPrintServerIdle());
}

void PrintingTest::cleanup()
{
    fixture_.reset();
}

void PrintingTest::clickPrintButton()
{
    QTest::mouseClick(form_->ToolButton(QStringLiteral("ToolButton10")), Qt::LeftButton);
}

void PrintingTest::toolbarPrintsTheWholeDocumentAtOnceAndChangesNothing()
{
    const QString text = MultiPageText();
    edit()->SetText(text);
    edit()->SetSelStart(120);
    edit()->SetSelLength(30);
    for (const bool modified : {true, false}) {
        edit()->SetModified(modified);
        form_->UpdateStatusBar();
        QStringList panels;
        for (int i = 0; i < form_->StatusBar->PanelCount(); ++i)
            panels << form_->StatusBar->PanelText(i);
        const int jobsBefore = PrintedJobs().size();
        const QStringList before = PdfFiles(kFirst);

        NoDialogGuard guard;
        clickPrintButton();
        const Printout printout = WaitForPrintout(kFirst, before);
        QCOMPARE(guard.seen(), QStringList());
        QCOMPARE(PrintedJobs().size(), jobsBefore + 1);
        VerifyPrintout(printout, kFirst, text);
        QVERIFY2(printout.document.pages >= 3, qPrintable(QString::number(printout.document.pages)));
        QVERIFY2(printout.output.pageSize.contains(QStringLiteral("595 x 842")), qPrintable(printout.output.pageSize));

        QCOMPARE(edit()->Text(), text);
        QCOMPARE(edit()->Modified(), modified);
        QCOMPARE(edit()->SelStart(), 120);
        QCOMPARE(edit()->SelLength(), 30);
        for (int i = 0; i < form_->StatusBar->PanelCount(); ++i)
            QCOMPARE(form_->StatusBar->PanelText(i), panels.at(i));
    }
}

void PrintingTest::toolbarPrintsAnEmptyDocumentToo()
{
    QVERIFY(edit()->Text().isEmpty());
    const QStringList before = PdfFiles(kFirst);
    NoDialogGuard guard;
    clickPrintButton();
    const Printout printout = WaitForPrintout(kFirst, before);
    QCOMPARE(guard.seen(), QStringList());
    QVERIFY2(!printout.output.path.isEmpty(), "the printer wrote no PDF");
    QCOMPARE(printout.job.title, QString());
    QCOMPARE(printout.document.pages, 1);
    QCOMPARE(printout.output.pages, 1);
    // A blank page, with no page number the document does not hold.
    QCOMPARE(printout.document.text.trimmed(), QString());
    QVERIFY(edit()->Text().isEmpty());
    QVERIFY(!edit()->Modified());
}

void PrintingTest::pastedHtmlPrintsAsTheScreenShowsIt()
{
    // A web page's space above a paragraph, page break and table: the screen shows the
    // paragraphs one under the other, the cells too, and so does the paper, on one page.
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<p>Before the gap</p>"
                                 "<p style=\"margin-top: 3000px; page-break-before: always\">After the gap</p>"
                                 "<table border=\"1\"><tr><td>First cell</td><td>Second cell</td></tr></table>"));
    QApplication::clipboard()->setMimeData(mime);
    edit()->paste();
    QCOMPARE(edit()->Text(), QStringLiteral("Before the gap\nAfter the gap\nFirst cell\nSecond cell"));
    const QStringList before = PdfFiles(kFirst);
    clickPrintButton();
    const Printout printout = WaitForPrintout(kFirst, before);
    QVERIFY2(!printout.document.path.isEmpty(), "the server kept no document for the job");
    QStringList printed;
    for (const QString& line : printout.document.text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed().remove(QLatin1Char('\f'));
        if (!trimmed.isEmpty())
            printed << trimmed;
    }
    QCOMPARE(printed, edit()->Text().split(QLatin1Char('\n')));
    QCOMPARE(printout.document.pages, 1);
}

void PrintingTest::menuPrintPrintsOnlyWhenTheDialogIsConfirmed()
{
    const QString text = MultiPageText();
    edit()->SetText(text);
    edit()->SetModified(true);
    TMenuItem* print = form_->MenuItem(QStringLiteral("Print1"));

    // Cancelled: no job at all.
    const int jobsBefore = PrintedJobs().size();
    {
        ModalAnswerer answerer;
        answerer.expectDialog(QStringLiteral("PrintDialog1"), Reject);
        print->trigger();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    }
    QVERIFY(WaitForPrintServerIdle());
    QCOMPARE(PrintedJobs().size(), jobsBefore);
    QCOMPARE(edit()->Text(), text);
    QVERIFY(edit()->Modified());

    // Confirmed: the whole document, on the printer the dialog showed, with no title.
    const QStringList before = PdfFiles(kFirst);
    QString shownPrinter;
    {
        ModalAnswerer answerer;
        answerer.expectDialog(QStringLiteral("PrintDialog1"), [&shownPrinter](QWidget* dialog) {
            for (QComboBox* box : dialog->findChildren<QComboBox*>())
                if (box->currentText() == kFirst)
                    shownPrinter = box->currentText();
            Accept(dialog);
        });
        print->trigger();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    }
    QCOMPARE(shownPrinter, kFirst);
    VerifyPrintout(WaitForPrintout(kFirst, before), kFirst, text);
    QCOMPARE(PrintedJobs().size(), jobsBefore + 1);
    QCOMPARE(edit()->Text(), text);
    QVERIFY(edit()->Modified());
}

void PrintingTest::aPageRangeChosenInTheDialogLastsForThatJobOnly()
{
    const QString text = MultiPageText();
    edit()->SetText(text);
    QStringList before = PdfFiles(kFirst);
    {
        ModalAnswerer answerer;
        answerer.expectDialog(QStringLiteral("PrintDialog1"), [](QWidget* dialog) {
            auto* range = dialog->findChild<QRadioButton*>(QStringLiteral("printRange"));
            auto* from = dialog->findChild<QSpinBox*>(QStringLiteral("from"));
            auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
            QVERIFY(range && from && to);
            range->click();
            to->setValue(2);
            from->setValue(2);
            Accept(dialog);
        });
        form_->MenuItem(QStringLiteral("Print1"))->trigger();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    }
    const Printout ranged = WaitForPrintout(kFirst, before);
    QCOMPARE(ranged.document.pages, 1);

    before = PdfFiles(kFirst);
    clickPrintButton();
    const Printout whole = WaitForPrintout(kFirst, before);
    VerifyPrintout(whole, kFirst, text);
    QVERIFY2(whole.document.pages >= 3, qPrintable(QString::number(whole.document.pages)));
}

void PrintingTest::printerSetupChoosesPrinterPaperAndOrientationOfTheNextPrint()
{
    const QString text = MultiPageText();
    edit()->SetText(text);
    TMenuItem* setup = form_->MenuItem(QStringLiteral("PrintSetup1"));
    const auto choose = [](const QString& printer, const QString& paper, bool landscape) {
        return [=](QWidget* dialog) {
            auto* form = qobject_cast<TPrinterSetupForm*>(dialog);
            QVERIFY(form);
            QCOMPARE(form->PrinterBox()->currentText(), kFirst);
            QVERIFY(form->PortraitButton()->isChecked());
            form->PrinterBox()->setCurrentIndex(form->PrinterBox()->findText(printer));
            const int size = form->PaperBox()->findText(paper);
            QVERIFY2(size >= 0, qPrintable(paper));
            form->PaperBox()->setCurrentIndex(size);
            (landscape ? form->LandscapeButton() : form->PortraitButton())->setChecked(true);
        };
    };

    // Cancelled after choosing: the next print still goes to the first printer, A4 upright.
    {
        ModalAnswerer answerer;
        answerer.expectDialog(QStringLiteral("PrinterSetupDialog1"), [&](QWidget* dialog) {
            choose(kSecond, QStringLiteral("A5"), true)(dialog);
            Reject(dialog);
        });
        setup->trigger();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    }
    QStringList before = PdfFiles(kFirst);
    clickPrintButton();
    Printout printout = WaitForPrintout(kFirst, before);
    VerifyPrintout(printout, kFirst, text);
    QVERIFY2(printout.document.pageSize.contains(QStringLiteral("595 x 842")), qPrintable(printout.document.pageSize));

    // Confirmed: the second printer, A5 across.
    {
        ModalAnswerer answerer;
        answerer.expectDialog(QStringLiteral("PrinterSetupDialog1"), [&](QWidget* dialog) {
            choose(kSecond, QStringLiteral("A5"), true)(dialog);
            Accept(dialog);
        });
        setup->trigger();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    }
    const QStringList beforeFirst = PdfFiles(kFirst);
    before = PdfFiles(kSecond);
    clickPrintButton();
    printout = WaitForPrintout(kSecond, before);
    VerifyPrintout(printout, kSecond, text);
    // Pages go out across; the PDF printer stores them upright, turned.
    QVERIFY2(printout.document.pageSize.startsWith(QStringLiteral("595 x 420")), qPrintable(printout.document.pageSize));
    QVERIFY2(printout.output.pageSize.endsWith(QStringLiteral("(A5)")), qPrintable(printout.output.pageSize));
    QCOMPARE(PdfFiles(kFirst), beforeFirst);
    QVERIFY(!edit()->Modified());
}

void PrintingTest::aPrinterThatRefusesTheJobGivesAMessage()
{
    edit()->SetText(QStringLiteral("拒否されるページ"));
    QVERIFY(RunPrintTool(QStringLiteral("cupsreject"), {kFirst}));
    const int jobsBefore = PrintedJobs().size();
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    clickPrintButton();
    QVERIFY(RunPrintTool(QStringLiteral("cupsaccept"), {kFirst}));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts().size(), 1);
    QVERIFY2(answerer.messageTexts().first().startsWith(
                 QStringLiteral("The printer \"TesserinePDF\" did not accept the document.")),
             qPrintable(answerer.messageTexts().first()));
    QCOMPARE(PrintedJobs().size(), jobsBefore);
    QCOMPARE(edit()->Text(), QStringLiteral("拒否されるページ"));
}

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
