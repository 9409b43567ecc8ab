// Printing on a print system with no printer installed: each way of printing says so
// plainly and nothing else happens. Runs under tests/support/cups-sandbox with none.
#include "document/PrintedJobs.h"
#include "platform/forms/Menus.h"
#include "platform/system/Printer.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/ToolBar.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class PrintingWithoutPrinterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void toolbarAndSetupSayThereIsNoPrinter();
    void theDialogCanStillPrintToAFile();

private:
    TRichEdit* edit() const { return form_->RichEdit1; }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void PrintingWithoutPrinterTest::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("TESSERINE_PDF_ROOT"))
        QSKIP("needs the private print server of tests/support/cups-sandbox");
    QCOMPARE(InstalledPrinters(), QStringList());
}

void PrintingWithoutPrinterTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
}

void PrintingWithoutPrinterTest::cleanup()
{
    fixture_.reset();
}

void PrintingWithoutPrinterTest::toolbarAndSetupSayThereIsNoPrinter()
{
    edit()->SetText(QStringLiteral("印刷できない文書 — документ"));
    edit()->SetModified(true);
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    answerer.expectMessageBox(QString::fromUtf8("プリンタの設定"), Qt::Key_Return);
    QTest::mouseClick(form_->ToolButton(QStringLiteral("ToolButton10")), Qt::LeftButton);
    form_->MenuItem(QStringLiteral("PrintSetup1"))->trigger();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QStringList texts = answerer.messageTexts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts.at(0).startsWith(QStringLiteral("No printer is installed")), qPrintable(texts.at(0)));
    QVERIFY2(texts.at(1).startsWith(QStringLiteral("No printer is installed")), qPrintable(texts.at(1)));
    QCOMPARE(PrintedJobs().size(), 0);
    QCOMPARE(edit()->Text(), QStringLiteral("印刷できない文書 — документ"));
    QVERIFY(edit()->Modified());
}

void PrintingWithoutPrinterTest::theDialogCanStillPrintToAFile()
{
    // With no printer Qt's print dialog offers printing to a PDF file; that choice works.
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out.pdf"));
    edit()->SetText(QStringLiteral("ファイルへ印刷 — в файл"));
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("PrintDialog1"), [&target](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
        QVERIFY(name);
        name->setText(target);
        QTest::keyClick(dialog, Qt::Key_Return);
    });
    form_->MenuItem(QStringLiteral("Print1"))->trigger();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(QFileInfo(target).size() > 0);
    QCOMPARE(PrintedJobs().size(), 0);

    // The file was that job's choice: a later toolbar print does not write it again.
    QVERIFY(QFile::remove(target));
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    QTest::mouseClick(form_->ToolButton(QStringLiteral("ToolButton10")), Qt::LeftButton);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2(answerer.messageTexts().last().startsWith(QStringLiteral("No printer is installed")),
             qPrintable(answerer.messageTexts().last()));
    QVERIFY(!QFileInfo::exists(target));
}

QTEST_MAIN(PrintingWithoutPrinterTest)
#include "tst_printing_without_printer.moc"
