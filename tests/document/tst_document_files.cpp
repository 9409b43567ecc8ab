// New, Open, Save and Save As through the real window, its prompts and file dialogs.
#include "document/DocumentNames.h"
#include "edit/StandardSearch.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/forms/Actions.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kPrompt = QString::fromUtf8("ワードプロセッサ");

} // namespace

class DocumentFilesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void richTextNamesEndInRtfInAnyCase_data();
    void richTextNamesEndInRtfInAnyCase();
    void newAsksBeforeDiscardingChanges();
    void newWithYesOnAnUntitledDocumentGoesThroughSaveAs();
    void openAsksFirstAndCancellingChangesOnlyTheStatusBar();
    void openReadsByTheNameAndTakesTheName();
    void saveOfAnUntitledDocumentProposesUntitledRtfAndLeavesModifiedShown();
    void saveAsProposesTheCurrentNameAndChoosesTheFormatByTheNewName();
    void saveAsAsksBeforeReplacingAnExistingFile();
    void aNameWithDoubleQuotesIsTakenLiterally();
    void saveAsksBeforeWritingOverAFileChangedElsewhere();
    void anRtfTheControlCannotKeepWholeIsNamedAndItsFirstSaveAsks();
    void anUnchangedFileSavedAgainKeepsEveryByte();
    void failedLoadsAndSavesKeepTheDocumentItsNameAndItsFlag();
    void aBigFileShowsAtOnceAndIsTheDocumentOnceWhole();

private:
    QString panel(int i) const { return form_->StatusBar->PanelText(i); }
    void type(const QString& text) { TypeText(form_->RichEdit1, text); }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void DocumentFilesTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    form_->RichEdit1->setFocus();
}

void DocumentFilesTest::cleanup()
{
    fixture_.reset();
    QCOMPARE(VisibleTopLevelCount(), 0);
}

void DocumentFilesTest::richTextNamesEndInRtfInAnyCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("rich");
    QTest::newRow("NOTES.Rtf") << "NOTES.Rtf" << true;
    QTest::newRow("notes.rtf") << "/home/u/notes.rtf" << true;
    QTest::newRow("notes.rtf.bak") << "notes.rtf.bak" << false;
    QTest::newRow("notes.txt") << "notes.txt" << false;
    QTest::newRow("notes") << "notes" << false;
    QTest::newRow("short") << "rtf" << false;
    QTest::newRow("only the extension") << ".rtf" << true;
    QTest::newRow("full-width letters") << U("文書.ｒｔｆ") << false;
}

void DocumentFilesTest::richTextNamesEndInRtfInAnyCase()
{
    QFETCH(QString, name);
    QFETCH(bool, rich);
    QCOMPARE(IsRichTextName(name), rich);
}

void DocumentFilesTest::newAsksBeforeDiscardingChanges()
{
    type(QStringLiteral("draft"));
    form_->DocumentFileName = dir_.filePath(QStringLiteral("draft.txt"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(kPrompt, Qt::Key_Escape);
    form_->Action(QStringLiteral("FileNew1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts(), QStringList(U("変更点を保存しますか?")));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft"));
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(form_->DocumentFileName, dir_.filePath(QStringLiteral("draft.txt")));

    answerer.expectMessageBox(kPrompt, Qt::Key_N);
    QVERIFY(!form_->NewDocument());
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QString());
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(form_->DocumentFileName, QString());
    QCOMPARE(panel(2), QStringLiteral("(Untitled)"));
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("draft.txt"))));
}

void DocumentFilesTest::newWithYesOnAnUntitledDocumentGoesThroughSaveAs()
{
    type(QStringLiteral("draft"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(kPrompt, Qt::Key_Y).expectFileDialog(QStringLiteral("SaveDialog"), QString());
    QVERIFY(form_->NewDocument());
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft"));
    QVERIFY(form_->RichEdit1->Modified());

    const QString path = dir_.filePath(QStringLiteral("kept.txt"));
    answerer.expectMessageBox(kPrompt, Qt::Key_Y).expectFileDialog(QStringLiteral("SaveDialog"), path);
    QVERIFY(!form_->NewDocument());
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(ReadTestFile(path), QByteArray("draft"));
    QCOMPARE(form_->RichEdit1->Text(), QString());
    QCOMPARE(form_->DocumentFileName, QString());
    // New leaves the plain-text mode that the save set.
    QVERIFY(form_->RichEdit1->PlainText);
}

void DocumentFilesTest::openAsksFirstAndCancellingChangesOnlyTheStatusBar()
{
    type(QStringLiteral("draft"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(kPrompt, Qt::Key_Escape);
    form_->Action(QStringLiteral("FileOpen1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.answeredCount(), 1);  // no Open dialog
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft"));

    form_->RichEdit1->SetModified(false);
    form_->StatusBar->SetPanelText(0, QStringLiteral("stale"));
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), QString());
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft"));
    QCOMPARE(form_->DocumentFileName, QString());
    QCOMPARE(panel(0), QStringLiteral("1: 6"));
}

void DocumentFilesTest::openReadsByTheNameAndTakesTheName()
{
    const QString text = dir_.filePath(QStringLiteral("source.TXT"));
    WriteTestFile(text, "{\\rtf1\\ansi hello}\n");
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), text);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    // An RTF file under a plain-text name shows its source.
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("{\\rtf1\\ansi hello}\n"));
    QVERIFY(form_->RichEdit1->PlainText);
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(form_->DocumentFileName, text);
    QCOMPARE(panel(2), text);
    QCOMPARE(panel(1), QString());

    const QString rich = dir_.filePath(QStringLiteral("NOTES.Rtf"));
    WriteTestFile(rich, "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'93\\'fa\\'96\\'7b\\par}");
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), rich);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(!form_->RichEdit1->PlainText);
    QVERIFY(form_->RichEdit1->Text().startsWith(U("日本")));
    QCOMPARE(form_->DocumentFileName, rich);
}

void DocumentFilesTest::saveOfAnUntitledDocumentProposesUntitledRtfAndLeavesModifiedShown()
{
    type(U("日本語"));
    const QString path = dir_.filePath(QStringLiteral("Untitled.rtf"));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), path);
    QTest::keyClick(form_->RichEdit1, Qt::Key_S, Qt::ControlModifier);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.proposedNames(), QStringList(QStringLiteral("Untitled.rtf")));
    QVERIFY(ReadTestFile(path).startsWith("{\\rtf1"));
    QVERIFY(!form_->RichEdit1->Modified());
    QVERIFY(!form_->RichEdit1->PlainText);
    QCOMPARE(panel(1), QStringLiteral("Modified"));  // refreshed before the write
    QCOMPARE(panel(2), path);
    form_->RichEdit1->SetSelStart(0);
    QCOMPARE(panel(1), QString());
    // Save of a titled document writes at once and does not refresh the status bar.
    type(QStringLiteral("x"));
    QCOMPARE(panel(1), QStringLiteral("Modified"));
    form_->FileSave1Execute();
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(panel(1), QStringLiteral("Modified"));
}

void DocumentFilesTest::saveAsProposesTheCurrentNameAndChoosesTheFormatByTheNewName()
{
    const QString first = dir_.filePath(QStringLiteral("first.rtf"));
    type(QStringLiteral("formatted?"));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), first);
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString second = dir_.filePath(QStringLiteral("second"));
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), second);
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.proposedNames().last(), QStringLiteral("first.rtf"));
    QVERIFY(form_->RichEdit1->PlainText);
    QCOMPARE(ReadTestFile(second), QByteArray("formatted?"));
    QCOMPARE(form_->DocumentFileName, second);
}

void DocumentFilesTest::saveAsAsksBeforeReplacingAnExistingFile()
{
    const QString path = dir_.filePath(QStringLiteral("existing.txt"));
    WriteTestFile(path, "precious");
    type(QStringLiteral("new"));
    ModalAnswerer answerer;
    bool asked = false;
    const auto isBox = [](QWidget* w) { return w->inherits("QMessageBox"); };
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), path)
        .expect(QStringLiteral("replace question"), isBox, [&asked](QWidget* w) {
            asked = true;
            QWidget* saveDialog = w->parentWidget();
            QTest::keyClick(w, Qt::Key_Escape);
            // Refusing to replace leaves the Save dialog open; then cancel it too.
            QTimer::singleShot(0, saveDialog, [saveDialog]() { QTest::keyClick(saveDialog, Qt::Key_Escape); });
        });
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(asked);
    QCOMPARE(ReadTestFile(path), QByteArray("precious"));
    QVERIFY(form_->RichEdit1->Modified());
}

void DocumentFilesTest::aNameWithDoubleQuotesIsTakenLiterally()
{
    // Qt's file dialog would read the quotes as a list of names and choose "double".
    const QString path = dir_.filePath(QStringLiteral("a \"double\" quote.txt"));
    type(QStringLiteral("quoted"));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), path);
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(ReadTestFile(path), QByteArray("quoted"));
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("double"))));
    QCOMPARE(form_->DocumentFileName, path);

    form_->NewDocument();
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("quoted"));
}

void DocumentFilesTest::saveAsksBeforeWritingOverAFileChangedElsewhere()
{
    const QString path = dir_.filePath(QStringLiteral("shared.txt"));
    WriteTestFile(path, "v1\n");
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    type(QStringLiteral("mine "));
    // Our own save writes without a question.
    form_->FileSave1Execute();
    QCOMPARE(ReadTestFile(path), QByteArray("mine v1\n"));

    // Another program writes the file; No leaves its version and the document alone.
    WriteTestFile(path, "theirs, longer\n");
    type(QStringLiteral("more "));
    const QString question = QStringLiteral("確認");
    answerer.expectMessageBox(question, Qt::Key_N);
    form_->FileSave1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(answerer.messageTexts().last().contains(path));
    QCOMPARE(ReadTestFile(path), QByteArray("theirs, longer\n"));
    QVERIFY(form_->RichEdit1->Modified());
    // Yes writes over it; the next save asks nothing.
    answerer.expectMessageBox(question, Qt::Key_Y);
    form_->FileSave1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(ReadTestFile(path), QByteArray("mine more v1\n"));
    const int asked = answerer.answeredCount();
    type(QStringLiteral("!"));
    form_->FileSave1Execute();
    QCOMPARE(answerer.answeredCount(), asked);
}

void DocumentFilesTest::anRtfTheControlCannotKeepWholeIsNamedAndItsFirstSaveAsks()
{
    const QString path = dir_.filePath(QStringLiteral("justified.rtf"));
    const QByteArray original("{\\rtf1\\ansi\\qj justified text{\\footnote note}\\par}");
    WriteTestFile(path, original);
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path).expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    // The notice is in Japanese, as the save question is, and names both in one list.
    const QString unkept = U("両端揃え（左揃えとして表示）、脚注。");
    QString notice = answerer.messageTexts().last();
    QVERIFY2(notice.contains(unkept), qPrintable(notice));
    QVERIFY2(notice.endsWith(U("。")), qPrintable(notice));
    notice.remove(path).remove(QStringLiteral("Tesserine"));
    QVERIFY2(!notice.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(notice));
    // The first save over the same file asks, naming the same; No writes nothing.
    answerer.expectMessageBox(QStringLiteral("確認"), Qt::Key_N);
    form_->FileSave1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2(answerer.messageTexts().last().contains(unkept), qPrintable(answerer.messageTexts().last()));
    QCOMPARE(ReadTestFile(path), original);
    answerer.expectMessageBox(QStringLiteral("確認"), Qt::Key_Y);
    form_->FileSave1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(ReadTestFile(path).contains("justified text"));
    const int asked = answerer.answeredCount();
    form_->FileSave1Execute();
    QCOMPARE(answerer.answeredCount(), asked);
}

void DocumentFilesTest::anUnchangedFileSavedAgainKeepsEveryByte()
{
    const QString path = dir_.filePath(QStringLiteral("mixed.txt"));
    const QByteArray bytes = U("日本語\r\nКириллица\r\nend").toUtf8();
    WriteTestFile(path, bytes);
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    form_->FileSave1Execute();
    QCOMPARE(ReadTestFile(path), bytes);
    // Edited, then edited back: the same bytes again.
    form_->RichEdit1->SetSelStart(form_->RichEdit1->TextLength());
    type(QStringLiteral("!"));
    QTest::keyClick(form_->RichEdit1, Qt::Key_Backspace);
    form_->FileSave1Execute();
    QCOMPARE(ReadTestFile(path), bytes);
}

void DocumentFilesTest::failedLoadsAndSavesKeepTheDocumentItsNameAndItsFlag()
{
    const QString path = dir_.filePath(QStringLiteral("mine.txt"));
    WriteTestFile(path, "mine");
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    type(QStringLiteral(" edited"));

    // A file that opens but cannot be read.
    answerer.expectMessageBox(kPrompt, Qt::Key_N)
        .expectFileDialog(QStringLiteral("OpenDialog"), QStringLiteral("/proc/self/mem"))
        .expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->Action(QStringLiteral("FileOpen1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(answerer.messageTexts().last().contains(QStringLiteral("/proc/self/mem")));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral(" editedmine"));
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(form_->RichEdit1->PlainText);

    // A place that cannot be written: the old name, mode and flag stay.
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), QStringLiteral("/proc/version.rtf"))
        .expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->Action(QStringLiteral("FileSaveAs1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(answerer.messageTexts().last().contains(QStringLiteral("/proc/version.rtf")));
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(form_->RichEdit1->PlainText);
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(panel(2), path);
    QCOMPARE(ReadTestFile(path), QByteArray("mine"));
}

void DocumentFilesTest::aBigFileShowsAtOnceAndIsTheDocumentOnceWhole()
{
    // Given a 3 MB file, when it is opened, then its name and start show at once with
    // the load's progress; once whole it is the file: not modified, nothing to undo,
    // nothing in the recovery journal, no progress shown.
    QString text;
    for (int i = 0; text.size() < (3 << 20); ++i)
        text += QStringLiteral("line %1 of the file\n").arg(i);
    const int lines = text.count(u'\n');
    const QString path = dir_.filePath(QStringLiteral("big.txt"));
    QVERIFY(WriteTestFile(path, text.toUtf8()));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    TRichEdit* edit = form_->RichEdit1;
    QVERIFY(edit->Loading());
    QCOMPARE(panel(0), QStringLiteral("1: 1"));
    QCOMPARE(panel(1), QString());
    QCOMPARE(panel(2), path);
    QVERIFY(form_->StatusBar->Progress() >= 0);
    QVERIFY(QTest::qWaitFor([edit]() { return !edit->Loading(); }, 60000));
    QVERIFY(edit->Text() == text);
    QCOMPARE(form_->StatusBar->Progress(), -1);
    QCOMPARE(panel(1), QString());
    QVERIFY(!edit->CanUndo());
    QVERIFY(!form_->DocumentJournal->Active());
    type(QStringLiteral("x"));
    QVERIFY(form_->DocumentJournal->Active());
    QCOMPARE(panel(1), QStringLiteral("Modified"));

    // Replace All during a load replaces in the whole file, not only in what is loaded.
    answerer.expectMessageBox(kPrompt, Qt::Key_N);
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(edit->Loading());
    QCOMPARE(ReplaceAllInDocument(*edit, QStringLiteral("line"), QStringLiteral("LINE"), TSearchTypes()), lines);
    QVERIFY(!edit->Loading());
    QVERIFY(edit->Text() == QString(text).replace(QStringLiteral("line"), QStringLiteral("LINE")));
}

QTEST_MAIN(DocumentFilesTest)
#include "tst_document_files.moc"
