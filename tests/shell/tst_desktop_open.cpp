// Opening a file from the desktop: a file named on the command line, and a file
// dropped on the window.
#include "platform/richedit/RichEdit.h"
#include "shell/CommandLine.h"
#include "shell/SDIMain.h"
#include "shell/StartupFile.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

namespace {

const QString kPrompt = QString::fromUtf8("ワードプロセッサ");

// Drags mime over target and drops it there, as a file manager does; true when the
// target took the drag.
bool DragAndDrop(QWidget* target, QMimeData* mime)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A drag's data outlives its events: the drag source owns it.
std::unique_ptr<QMimeData> FilesMime(const QStringList& paths)
{
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    return mime;
}

} // namespace

class DesktopOpenTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void theFileArgumentIsFound_data();
    void theFileArgumentIsFound();
    void optionsAreReadAndUnknownOnesRefused();
    void aFileGivenAtStartOpensOnceTheWindowRuns();
    void aFileGivenAtStartThatCannotBeReadLeavesTheEmptyDocument();
    void aDroppedFileOpensAfterTheSavePrompt();
    void aDropOnTheStatusBarOpensTooAndTextIsNotTakenForAFile();

private:
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void DesktopOpenTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
}

void DesktopOpenTest::cleanup()
{
    fixture_.reset();
    QCOMPARE(VisibleTopLevelCount(), 0);
}

void DesktopOpenTest::theFileArgumentIsFound_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("ignored");
    const QString here = QDir::currentPath();
    QTest::newRow("none") << QStringList{"tesserine"} << QString() << QStringList();
    QTest::newRow("only --") << QStringList{"tesserine", "--"} << QString() << QStringList();
    QTest::newRow("absolute") << QStringList{"tesserine", "/tmp/a b.txt"} << "/tmp/a b.txt" << QStringList();
    QTest::newRow("relative") << QStringList{"tesserine", "notes.rtf"} << here + "/notes.rtf" << QStringList();
    QTest::newRow("after --") << QStringList{"tesserine", "--", "-dash.txt"} << here + "/-dash.txt" << QStringList();
    QTest::newRow("file URL") << QStringList{"tesserine", "file:///tmp/%E6%97%A5.txt"} << QString::fromUtf8("/tmp/日.txt")
                              << QStringList();
    QTest::newRow("two names") << QStringList{"tesserine", "/tmp/a.txt", "/tmp/b.txt"} << "/tmp/a.txt"
                               << QStringList{"/tmp/b.txt"};
}

void DesktopOpenTest::theFileArgumentIsFound()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QFETCH(QStringList, ignored);
    QStringList notOpened;
    QCOMPARE(StartupFileOf(arguments, &notOpened), file);
    QCOMPARE(notOpened, ignored);
}

void DesktopOpenTest::optionsAreReadAndUnknownOnesRefused()
{
    using Action = TCommandLine::Action;
    QCOMPARE(ParseCommandLine({"tesserine", "--help"}).action, Action::ShowHelp);
    QCOMPARE(ParseCommandLine({"tesserine", "-v"}).action, Action::ShowVersion);
    // A name after "--" is a file, even one that reads like an option.
    const TCommandLine dashed = ParseCommandLine({"tesserine", "--", "--help"});
    QCOMPARE(dashed.action, Action::Start);
    QCOMPARE(dashed.files, QStringList{"--help"});
    QCOMPARE(ParseCommandLine({"tesserine", "--recover", "set-7"}).recoverySet, QStringLiteral("set-7"));
    // Unknown options and a missing value are refused, naming the option, rather than
    // opened as file names.
    const TCommandLine unknown = ParseCommandLine({"tesserine", "--bogus", "a.txt"});
    QCOMPARE(unknown.action, Action::Fail);
    QVERIFY2(unknown.error.contains("bogus"), qPrintable(unknown.error));
    QCOMPARE(ParseCommandLine({"tesserine", "--recover"}).action, Action::Fail);
    QCOMPARE(StartupFileOf({"tesserine", "--bogus"}), QString());
}

void DesktopOpenTest::aFileGivenAtStartOpensOnceTheWindowRuns()
{
    const QString path = dir_.filePath(QStringLiteral("start.txt"));
    QVERIFY(WriteTestFile(path, QString::fromUtf8("起動時に開く\r\n").toUtf8()));
    OpenStartupFile(form_, {QStringLiteral("tesserine"), path});
    QTRY_COMPARE(form_->DocumentFileName, path);
    QCOMPARE(form_->RichEdit1->Text(), QString::fromUtf8("起動時に開く\n"));
    QVERIFY(form_->RichEdit1->PlainText);
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(form_->RichEdit1->PlainTextFormat.lineEnding, LineEnding::CRLF);

    // Without an argument nothing is opened.
    form_->NewDocument();
    OpenStartupFile(form_, {QStringLiteral("tesserine")});
    QTest::qWait(50);
    QCOMPARE(form_->DocumentFileName, QString());
}

void DesktopOpenTest::aFileGivenAtStartThatCannotBeReadLeavesTheEmptyDocument()
{
    const QString missing = dir_.filePath(QStringLiteral("missing.txt"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    OpenStartupFile(form_, {QStringLiteral("tesserine"), missing});
    QTRY_VERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(answerer.messageTexts().first().contains(missing));
    QCOMPARE(form_->DocumentFileName, QString());
    QCOMPARE(form_->RichEdit1->Text(), QString());
}

void DesktopOpenTest::aDroppedFileOpensAfterTheSavePrompt()
{
    const QString path = dir_.filePath(QStringLiteral("dropped.rtf"));
    QVERIFY(WriteTestFile(path, "{\\rtf1\\ansi dropped}"));
    form_->RichEdit1->setFocus();
    TypeText(form_->RichEdit1, QStringLiteral("draft"));

    // Cancel at the prompt: the draft stays.
    ModalAnswerer answerer;
    answerer.expectMessageBox(kPrompt, Qt::Key_Escape);
    QVERIFY(DragAndDrop(form_->RichEdit1->viewport(), FilesMime({path}).get()));
    QTRY_VERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QTest::qWait(20);
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("draft"));
    QVERIFY(form_->RichEdit1->Modified());

    // No: the file opens in its format, the first of several dropped.
    answerer.expectMessageBox(kPrompt, Qt::Key_N);
    QVERIFY(DragAndDrop(form_->RichEdit1->viewport(), FilesMime({path, dir_.filePath(QStringLiteral("other.txt"))}).get()));
    QTRY_COMPARE(form_->DocumentFileName, path);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("dropped"));
    QVERIFY(!form_->RichEdit1->PlainText);
    QVERIFY(!form_->RichEdit1->Modified());
}

void DesktopOpenTest::aDropOnTheStatusBarOpensTooAndTextIsNotTakenForAFile()
{
    const QString path = dir_.filePath(QStringLiteral("plain.txt"));
    QVERIFY(WriteTestFile(path, "plain"));
    // The status bar takes no drops: the window does, without a prompt for a clean document.
    QVERIFY(DragAndDrop(form_->statusBar(), FilesMime({path}).get()));
    QTRY_COMPARE(form_->DocumentFileName, path);
    QCOMPARE(form_->RichEdit1->Text(), QStringLiteral("plain"));

    // Text and links to other places are left to the editor.
    QMimeData text;
    text.setText(QStringLiteral("just text"));
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/a.txt"))});
    for (QMimeData* mime : {&text, &web}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form_, &enter);
        QVERIFY(!enter.isAccepted());
    }
    QTest::qWait(20);
    QCOMPARE(form_->DocumentFileName, path);
}

QTEST_MAIN(DesktopOpenTest)
#include "tst_desktop_open.moc"
