// Bad files and bad places, through the real window set: File → Open, Save and Save As
// with files that are empty, binary, huge, nested too deep or unreadable, and folders
// that cannot be written. Each must give the document or a clear message, never a
// crash, a hang or a damaged file. Every message the user sees is printed.
//
// The permission cases need a user whom permissions bind; root is not one of them, so
// they skip as root and run_unprivileged.sh runs them again as nobody.
#include "platform/forms/Actions.h"
#include "platform/richedit/RichEdit.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kErrorCaption = QStringLiteral("Tesserine");

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    // Runs of NULs as well as scattered ones.
    bytes.replace(size / 3, 64, QByteArray(64, '\0'));
    return bytes;
}

bool PermissionsBind()
{
    return ::geteuid() != 0;
}

} // namespace

class BadInputsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void emptyFilesOpenAsEmptyDocuments();
    void binaryFilesOpenWithoutDamage();
    void aFiftyMegabyteTextFileOpensWhole();
    void anRtfNestedTooDeeplyOpensWithTheTextAroundIt();
    void hostileRtfValuesOpenAndDraw();
    void malformedTextEncodingsOpenWithAWarning();
    void specialFilesAreRefusedWithAMessage();
    void anUnreadableFileGivesAMessageAndKeepsTheDocument();
    void saveIntoAReadOnlyFolderFailsAndLeavesTheFile();
    void saveOverAReadOnlyFileFailsAndLeavesTheFile();
    void saveAsIntoAReadOnlyFolderFailsAndKeepsTheName();

private:
    // Opens path through File → Open, answering No first when the document is modified;
    // when a message is expected it is answered with Return and its text returned.
    QString open(const QString& path, bool message);
    // Opens a small document of our own, modified by typing, to see it survive a failure.
    void openOwnDocument(const QString& path, const QByteArray& bytes);
    QString text() const { return form_->RichEdit1->Text(); }
    void report(const QString& what, const QString& seen) const
    {
        qInfo("%s -> %s", qPrintable(what), qPrintable(seen));
    }

    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
};

void BadInputsTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void BadInputsTest::cleanup()
{
    fixture_.reset();
    QCOMPARE(VisibleTopLevelCount(), 0);
    if (dir_) {
        // Let the removal into folders a test made read-only.
        QFile::setPermissions(dir_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        for (const char* sub : {"locked"})
            QFile::setPermissions(dir_->filePath(QString::fromLatin1(sub)),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        dir_.reset();
    }
}

QString BadInputsTest::open(const QString& path, bool message)
{
    ModalAnswerer answerer(120000);
    if (form_->RichEdit1->Modified())
        answerer.expectMessageBox(QString::fromUtf8("ワードプロセッサ"), Qt::Key_N);
    answerer.expectFileDialog(QStringLiteral("OpenDialog"), path);
    if (message)
        answerer.expectMessageBox(kErrorCaption, Qt::Key_Return);
    form_->Action(QStringLiteral("FileOpen1"))->Execute();
    if (!answerer.allAnswered())
        QTest::qFail(qPrintable(QStringLiteral("opening %1: %2").arg(path, answerer.failure())), __FILE__, __LINE__);
    // Nothing else may be left on screen: no message that was not expected.
    if (QApplication::activeModalWidget())
        QTest::qFail(qPrintable(QStringLiteral("opening %1 left a dialog: %2")
                                    .arg(path, QApplication::activeModalWidget()->windowTitle())),
                     __FILE__, __LINE__);
    return message && !answerer.messageTexts().isEmpty() ? answerer.messageTexts().last() : QString();
}

void BadInputsTest::openOwnDocument(const QString& path, const QByteArray& bytes)
{
    QVERIFY(WriteTestFile(path, bytes));
    open(path, false);
    QCOMPARE(form_->DocumentFileName, path);
    TypeText(form_->RichEdit1, QStringLiteral(" changed"));
    QVERIFY(form_->RichEdit1->Modified());
}

void BadInputsTest::emptyFilesOpenAsEmptyDocuments()
{
    for (const QString& name : {QStringLiteral("empty.txt"), QStringLiteral("empty.rtf")}) {
        const QString path = dir_->filePath(name);
        QVERIFY(WriteTestFile(path, QByteArray()));
        TypeText(form_->RichEdit1, QStringLiteral("x"));
        open(path, false);
        QCOMPARE(text(), QString());
        QCOMPARE(form_->DocumentFileName, path);
        QVERIFY(!form_->RichEdit1->Modified());
        report(name, QStringLiteral("an empty document, no message"));

        // Typing into it and saving writes the file in its format.
        TypeText(form_->RichEdit1, QStringLiteral("now"));
        form_->Action(QStringLiteral("FileSave1"))->Execute();
        const QByteArray saved = ReadTestFile(path);
        QVERIFY2(name.endsWith(QLatin1String(".rtf")) ? saved.startsWith("{\\rtf1") && saved.contains("now")
                                                       : saved == "now",
                 saved.constData());
    }
}

void BadInputsTest::binaryFilesOpenWithoutDamage()
{
    const QByteArray bytes = RandomBytes(64 * 1024, 20261207);
    QVERIFY(bytes.contains('\0'));

    // As plain text: shown with the undecodable bytes replaced, and said so.
    const QString txt = dir_->filePath(QStringLiteral("binary.txt"));
    QVERIFY(WriteTestFile(txt, bytes));
    const QString message = open(txt, true);
    report(QStringLiteral("binary.txt"), QStringLiteral("the bytes as text, and the message: ") + message);
    QVERIFY2(message.contains(txt) && message.contains(QStringLiteral("not valid")), qPrintable(message));
    QVERIFY(!text().isEmpty());
    const QString shownAsText = text();
    QCOMPARE(form_->DocumentFileName, txt);
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(ReadTestFile(txt), bytes);

    // Named .rtf but holding no RTF: shown as text the same way, and said so.
    const QString rtf = dir_->filePath(QStringLiteral("binary.rtf"));
    QVERIFY(WriteTestFile(rtf, bytes));
    const QString rtfMessage = open(rtf, true);
    report(QStringLiteral("binary.rtf"), QStringLiteral("the bytes as text, and the message: ") + rtfMessage);
    QVERIFY2(rtfMessage.contains(rtf) && rtfMessage.contains(QStringLiteral("not valid")), qPrintable(rtfMessage));
    QCOMPARE(text(), shownAsText);
    QCOMPARE(form_->DocumentFileName, rtf);
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(ReadTestFile(rtf), bytes);

    // What was shown can be saved elsewhere as RTF and read back, all but the control
    // characters other than tab, which RTF has no way to hold.
    const QString copy = dir_->filePath(QStringLiteral("copy.rtf"));
    QString shown = text();
    shown.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    ModalAnswerer answerer;
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), copy);
    form_->Action(QStringLiteral("FileSaveAs1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(ReadTestFile(rtf), bytes);
    open(copy, false);
    QCOMPARE(text(), shown);
}

void BadInputsTest::aFiftyMegabyteTextFileOpensWhole()
{
    const QString path = dir_->filePath(QStringLiteral("big.txt"));
    QByteArray bytes;
    const QByteArray line = QString::fromUtf8("Строка текста — 日本語のテキスト %1\n").toUtf8();
    int lines = 0;
    bytes.reserve(50 * 1024 * 1024 + line.size() + 16);
    while (bytes.size() < 50 * 1024 * 1024)
        bytes += QString::fromUtf8(line).arg(lines++, 8, 10, QLatin1Char('0')).toUtf8();
    QVERIFY(WriteTestFile(path, bytes));
    bytes.clear();

    QElapsedTimer timer;
    timer.start();
    open(path, false);
    // The start shows at once; the rest loads between events.
    TRichEdit* edit = form_->RichEdit1;
    QVERIFY(QTest::qWaitFor([edit]() { return !edit->Loading(); }, 300000));
    report(QStringLiteral("big.txt (50 MB)"),
           QStringLiteral("the whole document after %1 s, no message").arg(timer.elapsed() / 1000.0));
    QTextDocument* document = form_->RichEdit1->document();
    QCOMPARE(document->blockCount(), lines + 1);  // the last line break opens an empty paragraph
    QCOMPARE(document->findBlockByNumber(lines - 1).text(),
             QString::fromUtf8(line).arg(lines - 1, 8, 10, QLatin1Char('0')).chopped(1));
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(!form_->RichEdit1->Modified());
    QCOMPARE(QFileInfo(path).size(), qint64(lines) * (line.size() + 6));
}

void BadInputsTest::anRtfNestedTooDeeplyOpensWithTheTextAroundIt()
{
    const int depth = 100000;
    const QByteArray bytes = "{\\rtf1\\ansi before " + QByteArray(depth, '{') + "deep" + QByteArray(depth, '}')
                             + " after}";
    const QString path = dir_->filePath(QStringLiteral("deep.rtf"));
    QVERIFY(WriteTestFile(path, bytes));
    open(path, false);
    report(QStringLiteral("deep.rtf (100,000 groups)"), QStringLiteral("the document: \"%1\"").arg(text()));
    QVERIFY2(text().contains(QStringLiteral("before")) && text().contains(QStringLiteral("after")),
             qPrintable(text()));
    QCOMPARE(form_->DocumentFileName, path);
    QCOMPARE(ReadTestFile(path), bytes);
}

void BadInputsTest::hostileRtfValuesOpenAndDraw()
{
    // Values at and past the ends of their ranges; each file must open, lay out and
    // draw in reasonable time, keeping the plain words around them.
    const QList<QByteArray> bodies = {
        "\\fs2147483647 huge \\fs-2147483648 negative \\fs0 zero",
        "\\li2147483647\\fi-2147483648\\ri2147483647 indents",
        "\\sb2147483647\\sa2147483647\\sl-2147483648 spacing",
        "\\cf2147483647\\highlight99999\\f2147483647 colours and fonts",
        "\\uc2147483647\\u2147483647 x\\u-2147483648 y\\u55357 z\\uc-5 unicode",
        "\\bin2147483647 binary",
        "\\bin-5 negative binary",
        "{\\*\\unknown{\\*\\deeper " + QByteArray(5000, '{') + "}} skipped",
        "\\trowd\\cellx-5\\cellx2147483647\\intbl a\\cell b\\cell\\row\\cell\\row table",
        "\\pard\\pntext\\pn\\pnlvlblt\\pnindent2147483647{\\pntxtb\\'b7} list",
        "\\'\\'zz\\'4 broken hex",
        "\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz123456789012345678901234567890 long word",
        "\\ansicpg99999\\'e4 unknown code page",
        "{\\fonttbl{\\f0\\fcharset2147483647\\fprq-1 ;}{\\f1\\cpg-1 X;}}\\f1\\'e4 font table",
        "{\\colortbl;\\red999\\green-5\\blue2147483647;}\\cf1 colour table",
    };
    for (const QByteArray& body : bodies) {
        const QByteArray bytes = "{\\rtf1\\ansi start " + body + " end}";
        const QString path = dir_->filePath(QStringLiteral("hostile.rtf"));
        QVERIFY(WriteTestFile(path, bytes));
        QElapsedTimer timer;
        timer.start();
        // A table is read as text with tabs, and the user is told its structure goes.
        const QString message = open(path, body.contains("\\trowd"));
        if (body.contains("\\trowd"))
            QVERIFY2(message.contains(QString::fromUtf8("表の構造（セルはタブになります）")), qPrintable(message));
        form_->RichEdit1->grab();  // lays out and draws the whole view
        const qint64 elapsed = timer.elapsed();
        report(QString::fromLatin1(body.left(60)),
               QStringLiteral("the document \"%1\" in %2 ms").arg(text().left(60)).arg(elapsed));
        QVERIFY2(text().startsWith(QStringLiteral("start")), qPrintable(text()));
        QVERIFY2(elapsed < 20000, body.constData());
        QCOMPARE(ReadTestFile(path), bytes);
    }
}

void BadInputsTest::malformedTextEncodingsOpenWithAWarning()
{
    struct Case {
        QByteArray bytes;
        bool warns;  // holds bytes that do not decode
    };
    const QList<Case> cases = {
        // A UTF-8 byte-order mark before invalid sequences and an encoded surrogate.
        {QByteArray("\xEF\xBB\xBF") + "utf-8 \xC3\x28 \xF0\x28\x8C\x28 \xED\xA0\x80 after", true},
        // UTF-16LE with a lone high surrogate and an odd number of bytes, and UTF-16BE
        // starting with a low surrogate: kept as they are, so nothing to warn of.
        {QByteArray("\xFF\xFE") + QByteArray("a\0b\0\x00\xD8" "c\0", 8) + "\x01", false},
        {QByteArray("\xFE\xFF") + QByteArray("\xDC\x00\0a", 4), false},
        // A byte-order mark and nothing else.
        {QByteArray("\xFF\xFE"), false},
    };
    for (const Case& c : cases) {
        const QString path = dir_->filePath(QStringLiteral("odd.txt"));
        QVERIFY(WriteTestFile(path, c.bytes));
        const QString warning = open(path, c.warns);
        report(QString::fromLatin1(c.bytes.toHex(' ').left(40)),
               QStringLiteral("the document \"%1\"%2").arg(text(), warning.isEmpty() ? QString() : ", and: " + warning));
        QCOMPARE(form_->DocumentFileName, path);
        QCOMPARE(ReadTestFile(path), c.bytes);
        if (c.warns)
            QVERIFY2(text().contains(QChar(0xFFFD)), qPrintable(text()));
        // Saving writes text that reads back as what was shown, with no warning now.
        const QString shown = text();
        TypeText(form_->RichEdit1, QStringLiteral("!"));
        form_->Action(QStringLiteral("FileSave1"))->Execute();
        QVERIFY(!form_->RichEdit1->Modified());
        open(path, false);
        QCOMPARE(text(), QStringLiteral("!") + shown);
    }
}

void BadInputsTest::specialFilesAreRefusedWithAMessage()
{
    // A pipe with no writer would block the read for ever, and a device such as
    // /dev/zero never ends: neither may be read as a document.
    const QString mine = dir_->filePath(QStringLiteral("mine.txt"));
    openOwnDocument(mine, "mine");
    const QString fifo = dir_->filePath(QStringLiteral("pipe.txt"));
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        const QString message = open(path, true);
        report(path, QStringLiteral("the message: ") + message);
        QVERIFY2(message.contains(path) && message.contains(QStringLiteral("not a regular file")),
                 qPrintable(message));
        QCOMPARE(text(), QStringLiteral(" changedmine"));
        QCOMPARE(form_->DocumentFileName, mine);
        QVERIFY(form_->RichEdit1->Modified());
        QVERIFY(form_->RichEdit1->PlainText);
    }

    // Nor written: Save As onto the pipe must neither block nor replace it.
    ModalAnswerer answerer(30000);
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), fifo)
        .expect(QStringLiteral("the Save dialog's replace question"),
                [](QWidget* w) { return w->inherits("QMessageBox") && w->windowTitle() != kErrorCaption; },
                [](QWidget* w) { QTest::keyClick(w, Qt::Key_Y); })
        .expectMessageBox(kErrorCaption, Qt::Key_Return);
    form_->Action(QStringLiteral("FileSaveAs1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString message = answerer.messageTexts().last();
    report(QStringLiteral("Save As onto a pipe"), QStringLiteral("the message: ") + message);
    QVERIFY2(message.contains(fifo) && message.contains(QStringLiteral("not a regular file")), qPrintable(message));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    QCOMPARE(form_->DocumentFileName, mine);
}

void BadInputsTest::anUnreadableFileGivesAMessageAndKeepsTheDocument()
{
    if (!PermissionsBind())
        QSKIP("running as root, which reads any file; run_unprivileged.sh runs this as nobody");
    const QString mine = dir_->filePath(QStringLiteral("mine.txt"));
    openOwnDocument(mine, "mine");
    const QString path = dir_->filePath(QStringLiteral("secret.txt"));
    QVERIFY(WriteTestFile(path, "secret"));
    QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));

    const QString message = open(path, true);
    report(QStringLiteral("secret.txt (no read permission)"), QStringLiteral("the message: ") + message);
    QVERIFY2(message.contains(path) && message.contains(QStringLiteral("Cannot open")), qPrintable(message));
    QCOMPARE(text(), QStringLiteral(" changedmine"));
    QCOMPARE(form_->DocumentFileName, mine);
    QVERIFY(form_->RichEdit1->Modified());
}

void BadInputsTest::saveIntoAReadOnlyFolderFailsAndLeavesTheFile()
{
    if (!PermissionsBind())
        QSKIP("running as root, which writes anywhere; run_unprivileged.sh runs this as nobody");
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("locked")));
    const QString path = dir_->filePath(QStringLiteral("locked/notes.rtf"));
    const QByteArray original = "{\\rtf1\\ansi original\\par}";
    openOwnDocument(path, original);
    QVERIFY(QFile::setPermissions(dir_->filePath(QStringLiteral("locked")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    ModalAnswerer answerer(30000);
    answerer.expectMessageBox(kErrorCaption, Qt::Key_Return);
    form_->Action(QStringLiteral("FileSave1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString message = answerer.messageTexts().last();
    report(QStringLiteral("Save into a read-only folder"), QStringLiteral("the message: ") + message);
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(ReadTestFile(path), original);
    QCOMPARE(QDir(dir_->filePath(QStringLiteral("locked"))).entryList(QDir::Files | QDir::Hidden),
             QStringList(QStringLiteral("notes.rtf")));
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(form_->DocumentFileName, path);
}

void BadInputsTest::saveOverAReadOnlyFileFailsAndLeavesTheFile()
{
    if (!PermissionsBind())
        QSKIP("running as root, which writes anywhere; run_unprivileged.sh runs this as nobody");
    const QString path = dir_->filePath(QStringLiteral("readonly.txt"));
    openOwnDocument(path, "original");
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));

    ModalAnswerer answerer(30000);
    answerer.expectMessageBox(kErrorCaption, Qt::Key_Return);
    form_->Action(QStringLiteral("FileSave1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString message = answerer.messageTexts().last();
    report(QStringLiteral("Save over a read-only file"), QStringLiteral("the message: ") + message);
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(ReadTestFile(path), QByteArray("original"));
    QVERIFY(form_->RichEdit1->Modified());
}

void BadInputsTest::saveAsIntoAReadOnlyFolderFailsAndKeepsTheName()
{
    if (!PermissionsBind())
        QSKIP("running as root, which writes anywhere; run_unprivileged.sh runs this as nobody");
    const QString mine = dir_->filePath(QStringLiteral("mine.txt"));
    openOwnDocument(mine, "mine");
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("locked")));
    QVERIFY(QFile::setPermissions(dir_->filePath(QStringLiteral("locked")),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString target = dir_->filePath(QStringLiteral("locked/new.rtf"));

    ModalAnswerer answerer(30000);
    answerer.expectFileDialog(QStringLiteral("SaveDialog"), target).expectMessageBox(kErrorCaption, Qt::Key_Return);
    form_->Action(QStringLiteral("FileSaveAs1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString message = answerer.messageTexts().last();
    report(QStringLiteral("Save As into a read-only folder"), QStringLiteral("the message: ") + message);
    QVERIFY2(message.contains(target), qPrintable(message));
    QVERIFY(!QFile::exists(target));
    QCOMPARE(ReadTestFile(mine), QByteArray("mine"));
    QCOMPARE(form_->DocumentFileName, mine);
    QVERIFY(form_->RichEdit1->PlainText);
    QVERIFY(form_->RichEdit1->Modified());
}

QTEST_MAIN(BadInputsTest)
#include "tst_bad_inputs.moc"
