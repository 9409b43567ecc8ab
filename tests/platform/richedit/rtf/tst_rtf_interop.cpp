// What other programs make of the RTF we write: a multilingual document with styled
// runs, aligned paragraphs and bullets, written by WriteRtf and converted to text by
// AbiWord and by unrtf, must give back every sentence, in order, and nothing of the
// RTF markup or the font table. A tool that is not installed skips its test.
#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/rtf/Rtf.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

namespace {

constexpr int kPpi = 96;
constexpr int kToolTimeoutMs = 60000;
constexpr qsizetype kMaxGap = 2;

struct Sentence {
    const char* face;
    int charset;
    const char* text;
};

// One sentence per script, each in a face and character set of its own.
const Sentence kSentences[] = {
    {"ＭＳ 明朝", 128, "日本語の文章です。東京は日本の首都です。"},
    {"Arial", 204, "Это русское предложение о погоде."},
    {"Arial", 161, "Αυτή είναι μια ελληνική πρόταση."},
    {"Batang", 129, "이것은 한국어 문장입니다."},
    {"SimSun", 134, "这是一个简单的中文句子。"},
    {"Tahoma", 222, "นี่คือประโยคภาษาไทย"},
    {"Arial", 178, "هذه جملة عربية قصيرة."},
    {"David", 177, "זהו משפט קצר בעברית."},
    // unrtf 0.21 drops punctuation that directly ends a control word ("\\i, x" gives
    // "x"), so the run boundaries of this sentence fall between letters.
    {"Arial", 0, "A plain English sentence with commas, too."},
};

QTextCharFormat Face(const Sentence& sentence)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QString::fromUtf8(sentence.face)});
    format.setProperty(DocumentProperty::Charset, sentence.charset);
    return format;
}

void MakeBullet(QTextCursor& cursor)
{
    if (QTextList* previous = cursor.block().previous().textList()) {
        previous->add(cursor.block());
        return;
    }
    QTextListFormat list;
    list.setStyle(QTextListFormat::ListDisc);
    list.setIndent(1);
    cursor.createList(list);
}

// Inserts text split in three runs: plain, then bold red, then italic, so that every
// sentence crosses formatting changes where a converter could lose or reorder text.
void InsertStyledSentence(QTextCursor& cursor, const Sentence& sentence)
{
    const QString text = QString::fromUtf8(sentence.text);
    const qsizetype third = text.size() / 3;
    QTextCharFormat plain = Face(sentence);
    QTextCharFormat boldRed = plain;
    boldRed.setFontWeight(QFont::Bold);
    boldRed.setForeground(QColor(200, 0, 0));
    QTextCharFormat italic = plain;
    italic.setFontItalic(true);
    cursor.insertText(text.left(third), plain);
    cursor.insertText(text.mid(third, third), boldRed);
    cursor.insertText(text.mid(2 * third), italic);
}

// The sample: a left, centred and right-aligned paragraph in turn per sentence, then
// every sentence again as a bullet.
void BuildSample(QTextDocument& doc)
{
    doc.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    QTextCursor cursor(&doc);
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    bool first = true;
    int index = 0;
    for (const Sentence& sentence : kSentences) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        first = false;
        QTextBlockFormat block;
        block.setAlignment(alignments[index++ % 3]);
        cursor.setBlockFormat(block);
        InsertStyledSentence(cursor, sentence);
    }
    for (const Sentence& sentence : kSentences) {
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        MakeBullet(cursor);
        InsertStyledSentence(cursor, sentence);
    }
}

// Text with every run of white space (line breaks included) made one space, without
// the byte-order mark and the directional marks converters put around right-to-left text.
QString Normalized(QString text)
{
    static const QRegularExpression marks(QStringLiteral("[\\x{FEFF}\\x{200E}\\x{200F}\\x{202A}-\\x{202E}\\x{2066}-\\x{2069}]"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    text.remove(marks);
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    text.replace(space, QStringLiteral(" "));
    return text.trimmed();
}

// Where the characters of wanted are in text, in order, from `from` on, with nothing
// between them; with gaps, up to kMaxGap other characters may come between two of them.
// -1 when not found.
qsizetype Find(const QString& text, const QString& wanted, qsizetype from, bool gaps, qsizetype* end)
{
    if (!gaps) {
        const qsizetype at = text.indexOf(wanted, from);
        *end = at + wanted.size();
        return at;
    }
    const qsizetype at = text.indexOf(wanted.front(), from);
    if (at < 0)
        return -1;
    qsizetype position = at + 1;
    for (qsizetype i = 1; i < wanted.size(); ++i) {
        const qsizetype next = text.indexOf(wanted[i], position);
        if (next < 0 || next - position > kMaxGap)
            return Find(text, wanted, at + 1, gaps, end);
        position = next + 1;
    }
    *end = position;
    return at;
}

// Checks that every sentence of the sample is in text twice (paragraph and bullet), in
// the order written, and that no markup or font name came through as text. With
// dbcsGaps, the sentences in double-byte character sets may have extra characters
// between theirs.
void VerifyHasEverySentence(const QString& extracted, const QString& tool, bool dbcsGaps = false)
{
    const QString text = Normalized(extracted);
    qsizetype from = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (const Sentence& sentence : kSentences) {
            const QString wanted = Normalized(QString::fromUtf8(sentence.text));
            const bool gaps = dbcsGaps && (sentence.charset == 128 || sentence.charset == 129 || sentence.charset == 134);
            qsizetype end = 0;
            const qsizetype at = Find(text, wanted, from, gaps, &end);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("%1 lost or reordered \"%2\" (pass %3) in:\n%4")
                                              .arg(tool, wanted).arg(pass + 1).arg(text)));
            from = end;
        }
    }
    for (const char* junk : {"\\", "fcharset", "fonttbl", "Batang", "SimSun", "Tahoma", "David", "明朝"})
        QVERIFY2(!text.contains(QString::fromUtf8(junk)),
                 qPrintable(QStringLiteral("%1 shows \"%2\" in:\n%3").arg(tool, QString::fromUtf8(junk), text)));
}

// Runs a tool to its end, failing the test when it cannot start, times out or fails.
bool RunTool(QProcess& process, const QString& program, const QStringList& arguments, QString* error)
{
    process.start(program, arguments);
    if (!process.waitForStarted(kToolTimeoutMs)) {
        *error = QStringLiteral("%1 did not start").arg(program);
        return false;
    }
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        *error = QStringLiteral("%1 timed out").arg(program);
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("%1 failed (%2): %3")
                     .arg(program)
                     .arg(process.exitCode())
                     .arg(QString::fromLocal8Bit(process.readAllStandardError()));
        return false;
    }
    return true;
}

// unrtf's HTML as text, through Qt's HTML reader, which knows its named entities.
// unrtf can open <center> after the first characters of a centred paragraph; Qt would
// break the paragraph there, so those tags are dropped first.
QString TextOfHtml(QString html)
{
    static const QRegularExpression center(QStringLiteral("</?center>"), QRegularExpression::CaseInsensitiveOption);
    html.remove(center);
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

} // namespace

class RtfInteropTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void abiwordReadsEverySentence();
    void unrtfReadsEverySentence();

private:
    QTemporaryDir dir_;
    QString rtfPath_;
};

void RtfInteropTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    QTextDocument doc;
    BuildSample(doc);
    // Sanity of the sample itself: our own text of it passes the same check.
    VerifyHasEverySentence(doc.toPlainText(), QStringLiteral("the sample"));
    rtfPath_ = dir_.filePath(QStringLiteral("sample.rtf"));
    QFile file(rtfPath_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(WriteRtf(doc, kPpi)) > 0);
    file.close();
    // And reading it back ourselves gives the same text.
    QFile again(rtfPath_);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QTextDocument read;
    ReadRtf(again.readAll(), read, kPpi);
    QCOMPARE(Normalized(read.toPlainText()), Normalized(doc.toPlainText()));
}

void RtfInteropTest::abiwordReadsEverySentence()
{
    // Given the sample written as RTF, when AbiWord converts it to text headless (no
    // display, a configuration directory of its own), then every sentence is there.
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (abiword.isEmpty())
        QSKIP("abiword is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "GDK_BACKEND", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir_.path());
    const QString out = dir_.filePath(QStringLiteral("abiword.txt"));
    QString error;
    QVERIFY2(RunTool(process, abiword, {QStringLiteral("--to=txt"), QStringLiteral("--to-name=") + out, rtfPath_}, &error),
             qPrintable(error));
    QFile file(out);
    QVERIFY2(file.open(QIODevice::ReadOnly), "abiword wrote no text file");
    VerifyHasEverySentence(QString::fromUtf8(file.readAll()), QStringLiteral("abiword"));
}

void RtfInteropTest::unrtfReadsEverySentence()
{
    // Given the sample written as RTF, when unrtf converts it, then its plain-text
    // output has the English sentence (it passes the code-page bytes after each \uN
    // through unconverted, so no other script can be checked there), and its HTML
    // output, which gives every \uN as a character reference, has every sentence.
    // unrtf 0.21 ignores \ucN and skips one byte after each \uN, so the second byte of
    // a double-byte fallback (Japanese, Korean, Chinese) shows as an extra character:
    // there the characters of the sentence must be there in order, with others between.
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        QSKIP("unrtf is not installed");
    QString error;
    QProcess text;
    QVERIFY2(RunTool(text, unrtf, {QStringLiteral("--text"), rtfPath_}, &error), qPrintable(error));
    QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\n'));
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const QString& line) { return line.startsWith(QLatin1String("###")); }),
                lines.end());
    const QString plain = Normalized(lines.join(QLatin1Char('\n')));
    const QString english = QString::fromUtf8(kSentences[std::size(kSentences) - 1].text);
    QVERIFY2(plain.count(english) == 2, qPrintable(plain));
    QVERIFY2(!plain.contains(QLatin1String("fonttbl")) && !plain.contains(QLatin1String("fcharset")), qPrintable(plain));

    QProcess html;
    QVERIFY2(RunTool(html, unrtf, {QStringLiteral("--html"), rtfPath_}, &error), qPrintable(error));
    VerifyHasEverySentence(TextOfHtml(QString::fromUtf8(html.readAllStandardOutput())), QStringLiteral("unrtf"), true);
}

QTEST_MAIN(RtfInteropTest)
#include "tst_rtf_interop.moc"
