// Recovery of unsaved work through the real window: what removes the data, the
// question at start and its three answers, and the one message when the journal cannot
// be written.
#include "document/RecoveryState.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/recovery/RecoveryStore.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace {

const QString kQuestion = U("文書の復元");

// Clicks the button of a message box whose caption is label.
ModalAnswerer::Answer Click(const QString& label)
{
    return [label](QWidget* box) {
        for (QPushButton* button : box->findChildren<QPushButton*>())
            if (button->text() == label) {
                button->click();
                return;
            }
        box->close();
    };
}

ModalAnswerer::Match Caption(const QString& caption)
{
    return [caption](QWidget* widget) { return widget->windowTitle() == caption; };
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void saveNewOpenAndCloseRemoveTheDataOnlyOnceDone();
    void restoreBringsBackTheDocumentAsItWas();
    void laterKeepsAndDeleteAsksThenRemoves();
    void severalSetsAreOfferedOneAfterAnother();
    void anOpenedFileIsCoveredFromTheFirstChange();
    void aJournalThatCannotBeWrittenSaysSoOnce();

private:
    // A window set whose recovery folder is the test's shared one, as after a restart.
    void start();
    // Ends the window set without its close question, as a crash does; unless told so,
    // once the journal's snapshot is written.
    void crash(bool snapshotWritten = true);
    void type(const QString& text) { TypeText(form_->RichEdit1, text); }
    QStringList recoveryFiles() const
    {
        if (form_ && form_->DocumentJournal)
            form_->DocumentJournal->Settle();
        return QDir(state_.path() + QStringLiteral("/Orvalde/Tesserine/recovery")).entryList(QDir::Files);
    }

    QTemporaryDir state_;
    QTemporaryDir dir_;
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void RecoveryTest::init()
{
    QDir(state_.path()).removeRecursively();
    QDir().mkpath(state_.path());
    start();
}

void RecoveryTest::cleanup()
{
    fixture_.reset();
    form_ = nullptr;
    QCOMPARE(VisibleTopLevelCount(), 0);
}

void RecoveryTest::start()
{
    const QString state = state_.path();
    fixture_ = std::make_unique<WindowSetFixture>(
        [state](const QString&) { qputenv("XDG_STATE_HOME", state.toLocal8Bit()); });
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    form_->RichEdit1->setFocus();
}

void RecoveryTest::crash(bool snapshotWritten)
{
    form_->DocumentJournal->Settle(snapshotWritten);
    fixture_.reset();
    form_ = nullptr;
}

void RecoveryTest::saveNewOpenAndCloseRemoveTheDataOnlyOnceDone()
{
    // Nothing is kept for a document nobody changed.
    QVERIFY(recoveryFiles().isEmpty());
    type(QStringLiteral("draft"));
    QCOMPARE(recoveryFiles().size(), 2);  // the journal and its lock

    // A Save As cancelled keeps it; one done removes it.
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), QString());
    form_->SaveDocumentAs();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(recoveryFiles().size(), 2);
    const QString path = dir_.filePath(QStringLiteral("draft.rtf"));
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), path);
    form_->SaveDocumentAs();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(recoveryFiles().isEmpty());

    // Save of a titled document.
    type(QStringLiteral(" more"));
    QCOMPARE(recoveryFiles().size(), 2);
    form_->SaveDocument();
    QVERIFY(recoveryFiles().isEmpty());

    // New and Open after いいえ.
    type(QStringLiteral(" lost"));
    answerer.expectMessageBox(U("ワードプロセッサ"), Qt::Key_N);
    form_->NewDocument();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(recoveryFiles().isEmpty());
    type(QStringLiteral("again"));
    answerer.expectMessageBox(U("ワードプロセッサ"), Qt::Key_N).expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft more"));
    QVERIFY(recoveryFiles().isEmpty());

    // The close question answered いいえ; a clean exit leaves nothing behind.
    type(QStringLiteral("x"));
    QCOMPARE(recoveryFiles().size(), 2);
    answerer.expectMessageBox(U("確認"), Qt::Key_N);
    form_->close();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(recoveryFiles().isEmpty());
}

void RecoveryTest::restoreBringsBackTheDocumentAsItWas()
{
    // An RTF file opened, then typed in and formatted, and the program dies.
    const QString path = dir_.filePath(QStringLiteral("letter.rtf"));
    type(QStringLiteral("Dear"));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), path);
    form_->SaveDocumentAs();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QByteArray onDisk = ReadTestFile(path);
    // As if the file held what the control cannot keep: the recovered Save still asks.
    form_->RichEdit1->UnkeptOnSave = QStringList{QStringLiteral("headers and footers")};
    form_->RecordDocumentState();
    QTest::keyClick(form_->RichEdit1, Qt::Key_End, Qt::ControlModifier);
    type(QStringLiteral(" friend\nПривет"));
    form_->RichEdit1->SetSelStart(0);
    form_->RichEdit1->SetSelLength(4);
    form_->FormatAlignCenter1Execute();
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    form_->RichEdit1->textCursor().mergeCharFormat(bold);
    form_->RichEdit1->SetSelStart(7);
    const QString text = form_->RichEdit1->Text();
    const Qt::Alignment alignment = form_->RichEdit1->document()->begin().blockFormat().alignment();
    crash();

    // The next start asks, naming the document; 復元 is the default.
    start();
    QString question;
    answerer.expect(kQuestion, Caption(kQuestion), [&question](QWidget* box) {
        question = qobject_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2(question.contains(path) && question.contains(U("大きさ: %1 文字").arg(text.size())), qPrintable(question));
    QCOMPARE(form_->RichEdit1->Text(), text);
    QTextCursor cursor(form_->RichEdit1->document());
    cursor.setPosition(2);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
    cursor.setPosition(6);
    QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    QCOMPARE(form_->RichEdit1->document()->begin().blockFormat().alignment(), alignment);
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(!form_->RichEdit1->PlainText);
    QCOMPARE(form_->RichEdit1->UnkeptOnSave, QStringList{QStringLiteral("headers and footers")});
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(form_->RichEdit1->SelStart(), 7);
    QCOMPARE(ReadTestFile(path), onDisk);
    // The restored document has a journal of its own; the old one is gone.
    const QStringList files = recoveryFiles();
    QCOMPARE(files.size(), 2);

    // It survives a second crash, and nothing else is offered.
    crash();
    start();
    answerer.expect(kQuestion, Caption(kQuestion), Click(U("復元(&R)")));
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), text);
    QCOMPARE(recoveryFiles().size(), 2);
}

void RecoveryTest::laterKeepsAndDeleteAsksThenRemoves()
{
    type(QStringLiteral("untitled work"));
    crash();
    start();
    ModalAnswerer answerer;
    QString question;
    answerer.expect(kQuestion, Caption(kQuestion), [&question](QWidget* box) {
        question = qobject_cast<QMessageBox*>(box)->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2(question.contains(U("文書: 無題")), qPrintable(question));
    QCOMPARE(form_->RichEdit1->Text(), QString());
    QCOMPARE(recoveryFiles().size(), 2);
    // Asked again only when restarted: this instance now leaves the set alone.

    // 破棄, then いいえ at the confirmation, asks again; 破棄 and はい delete.
    fixture_.reset();
    start();
    answerer.expect(kQuestion, Caption(kQuestion), Click(U("破棄(&D)")))
        .expectMessageBox(kQuestion, Qt::Key_N)
        .expect(kQuestion, Caption(kQuestion), Click(U("破棄(&D)")))
        .expectMessageBox(kQuestion, Qt::Key_Y);
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(recoveryFiles().isEmpty());
    QCOMPARE(form_->RichEdit1->Text(), QString());
    QVERIFY(!form_->RichEdit1->Modified());
}

void RecoveryTest::severalSetsAreOfferedOneAfterAnother()
{
    // Another window's document, left by an instance that died earlier.
    {
        QTextEdit other;
        TDocumentJournal journal(&other, TRecoveryStore(state_.path() + QStringLiteral("/Orvalde/Tesserine/recovery")));
        TRecoveryState named;
        named.fileName = dir_.filePath(QStringLiteral("other.txt"));
        named.plainText = true;
        journal.SetState(EncodeRecoveryState(named));
        QTextCursor(other.document()).insertText(QStringLiteral("other window"));
        journal.Settle();
    }
    type(QStringLiteral("this window"));
    crash();
    start();
    // The latest first; the second is asked about after the first is restored.
    ModalAnswerer answerer;
    QStringList questions;
    const auto answer = [&questions](const QString& label) {
        return [&questions, label](QWidget* box) {
            questions << qobject_cast<QMessageBox*>(box)->text();
            Click(label)(box);
        };
    };
    answerer.expect(kQuestion, Caption(kQuestion), answer(U("復元(&R)")))
        .expect(kQuestion, Caption(kQuestion), answer(U("後で(&L)")));
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(questions.size(), 2);
    QVERIFY2(questions[0].contains(U("文書: 無題")), qPrintable(questions[0]));
    QVERIFY2(questions[1].contains(dir_.filePath(QStringLiteral("other.txt"))), qPrintable(questions[1]));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("this window"));
    // The one kept for later, and the restored document's new journal.
    QCOMPARE(recoveryFiles().size(), 4);
}

void RecoveryTest::anOpenedFileIsCoveredFromTheFirstChange()
{
    // A large file opened and typed in; the program dies before the journal's own copy
    // of the document is written: the journal starts from the file.
    const QString path = dir_.filePath(QStringLiteral("large.txt"));
    QVERIFY(WriteTestFile(path, QStringLiteral("строка файла\n").repeated(30000).toUtf8()));
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    form_->RichEdit1->SetSelStart(13);
    type(QStringLiteral("typed"));
    QVERIFY(form_->DocumentJournal->Snapshotting());
    const QString text = form_->RichEdit1->Text();
    crash(false);
    start();
    answerer.expect(kQuestion, Caption(kQuestion), Click(U("復元(&R)")));
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), text);
    QVERIFY(form_->RichEdit1->PlainText);
    QVERIFY(form_->RichEdit1->Modified());

    // Had the file changed since, nothing is restored, the user is told, and the data
    // stays for the next start.
    type(QStringLiteral("!"));
    crash(false);
    QVERIFY(WriteTestFile(path, "changed elsewhere"));
    start();
    answerer.expect(kQuestion, Caption(kQuestion), Click(U("復元(&R)")))
        .expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->OfferRecoveredDocuments(true);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(answerer.messageTexts().last().contains(path));
    QCOMPARE(form_->RichEdit1->Text(), QString());
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(recoveryFiles().size(), 2);
}

void RecoveryTest::aJournalThatCannotBeWrittenSaysSoOnce()
{
    fixture_.reset();
    // The recovery folder's place is taken by a file.
    QDir(state_.path()).removeRecursively();
    QVERIFY(WriteTestFile(state_.path() + QStringLiteral("/Orvalde"), "not a folder"));
    start();
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    type(QStringLiteral("typing goes on"));
    QTRY_VERIFY(answerer.allAnswered());
    type(QStringLiteral(" and on"));
    QTest::qWait(50);
    QCOMPARE(answerer.answeredCount(), 1);
    QVERIFY(answerer.messageTexts().first().contains(U("保存するまで")));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("typing goes on and on"));

    // After a save the journal tries again, and says so once again.
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), dir_.filePath(QStringLiteral("saved.txt")))
        .expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->SaveDocumentAs();
    type(QStringLiteral("!"));
    QTRY_VERIFY(answerer.allAnswered());
    QCOMPARE(answerer.answeredCount(), 3);
}

QTEST_MAIN(RecoveryTest)
#include "tst_recovery.moc"
