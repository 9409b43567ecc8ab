// Figures for RTF on a 5 MB Japanese document with mixed formatting, written by
// WriteRtf from a generated document: the time to read it into an editor's document
// (target under 1.5 s), the time to write it, and, for comparison, the time AbiWord
// takes to convert the same file to text. Two more figures, each beside a floor
// measured in the same run: reading 5 MB of Japanese written in code-page bytes
// (\'hh) with Korean words between as \uN, as word processors write it, beside the
// same text all in \uN; and writing 20,992 different kanji beside writing one kanji
// as many times. And the target figure: 5 MB and 20 MB of formatted Japanese and
// Cyrillic in code-page bytes with a picture every 40 paragraphs, read in one piece and
// in slices of 20 ms, beside a floor: the same paragraphs, runs and pictures built into
// a QTextDocument with a QTextCursor, with no RTF to read.
#include "MixedRtf.h"
#include "platform/text/CodePages.h"
#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfDocumentReader.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextImageFormat>
#include <QUrl>
#include <QTextList>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kPpi = 96;
constexpr qsizetype kTargetBytes = 5 * 1024 * 1024;
constexpr int kRuns = 3;

// Appends paragraphs of Japanese text in runs of six styles, with every third
// paragraph centred or right-aligned and every fifth a bullet.
void AppendParagraphs(QTextDocument& doc, int count)
{
    static const QString sentences[] = {
        QString::fromUtf8("日本語の文章です。"), QString::fromUtf8("東京は日本の首都で、人口が多い都市です。"),
        QString::fromUtf8("カタカナのテキストとひらがなの文字。"), QString::fromUtf8("漢字、仮名、そしてLatin文字が混ざっています。"),
    };
    QTextCharFormat mincho;
    mincho.setFontFamilies(QStringList{QString::fromUtf8("ＭＳ 明朝")});
    mincho.setProperty(DocumentProperty::Charset, 128);
    mincho.setFontPointSize(10.5);
    QTextCharFormat gothic = mincho;
    gothic.setFontFamilies(QStringList{QString::fromUtf8("ＭＳ ゴシック")});
    std::vector<QTextCharFormat> styles(6, mincho);
    styles[1].setFontWeight(QFont::Bold);
    styles[2].setFontItalic(true);
    styles[3].setForeground(QColor(200, 0, 0));
    styles[4] = gothic;
    styles[4].setFontPointSize(14);
    styles[5] = gothic;
    styles[5].setFontUnderline(true);
    styles[5].setForeground(QColor(0, 0, 160));

    QTextCursor cursor(&doc);
    cursor.movePosition(QTextCursor::End);
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int i = 0; i < count; ++i) {
        if (!doc.isEmpty() || i > 0)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        QTextBlockFormat block;
        block.setAlignment(alignments[i % 3]);
        cursor.setBlockFormat(block);
        if (i % 5 == 0) {
            if (QTextList* previous = cursor.block().previous().textList()) {
                previous->add(cursor.block());
            } else {
                QTextListFormat list;
                list.setStyle(QTextListFormat::ListDisc);
                list.setIndent(1);
                cursor.createList(list);
            }
        }
        for (int run = 0; run < 6; ++run)
            cursor.insertText(sentences[(i + run) % 4], styles[(i + run) % 6]);
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int kPictureEvery = 40;

// A small PNG picture, as the mixed document holds one every kPictureEvery paragraphs.
QByteArray PicturePng()
{
    QImage image(96, 64, QImage::Format_RGB32);
    image.fill(QColor(230, 240, 255));
    QPainter painter(&image);
    painter.setPen(QColor(0, 0, 160));
    painter.drawEllipse(8, 8, 80, 48);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The mixed document of MixedRtf.h, at least bytes long, with the picture after the
// first run of every kPictureEvery-th paragraph; the number of paragraphs in count.
QByteArray MixedRtfWithPictures(qint64 bytes, const QByteArray& png, int* count)
{
    const QByteArray picture = "{\\pict\\pngblip\\picw96\\pich64\\picwgoal1440\\pichgoal960\r\n" + png.toHex()
        + "}";
    return BenchRtf(bytes, count, picture, kPictureEvery);
}

// The floor: the same paragraphs, runs and pictures built with a QTextCursor.
void BuildMixedDocument(QTextDocument& doc, int count, const QImage& image)
{
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bench-picture")), image);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("bench-picture"));
    picture.setWidth(96);
    picture.setHeight(64);
    BuildBenchRtfDocument(doc, count, kPpi, &picture, kPictureEvery);
}

// The processor time this process has used, in seconds: on a busy machine it is close
// to what the wall clock would show on a quiet one.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

struct Seconds {
    double wall = 0;
    double cpu = 0;
};

// Reads rtf into a QTextEdit's document, at once or in slices of sliceMs.
Seconds ReadMixedSeconds(const QByteArray& rtf, int sliceMs, int* blocks)
{
    QTextEdit edit;
    QElapsedTimer timer;
    timer.start();
    const double cpu = CpuSeconds();
    if (sliceMs <= 0) {
        ReadRtf(rtf, *edit.document(), kPpi);
    } else {
        rtf::RtfDocumentReader reader(rtf, *edit.document(), kPpi);
        while (!reader.ReadSome(sliceMs)) {
        }
    }
    const Seconds seconds{timer.nsecsElapsed() / 1e9, CpuSeconds() - cpu};
    *blocks = edit.document()->blockCount();
    return seconds;
}

// Prints the read figures for the mixed document of about bytes; false on an error.
bool ReportMixed(qint64 bytes, const QByteArray& png)
{
    int paragraphs = 0;
    const QByteArray rtf = MixedRtfWithPictures(bytes, png, &paragraphs);
    const QImage image = QImage::fromData(png);
    std::vector<double> whole, wholeCpu, sliced, floor, floorCpu;
    for (int run = 0; run < kRuns; ++run) {
        int blocks = 0, slicedBlocks = 0;
        const Seconds read = ReadMixedSeconds(rtf, 0, &blocks);
        whole.push_back(read.wall);
        wholeCpu.push_back(read.cpu);
        sliced.push_back(ReadMixedSeconds(rtf, 20, &slicedBlocks).wall);
        if (blocks != paragraphs || slicedBlocks != paragraphs) {
            std::printf("error: read %d and %d paragraphs of %d\n", blocks, slicedBlocks, paragraphs);
            return false;
        }
        QTextEdit edit;
        QElapsedTimer timer;
        timer.start();
        const double cpu = CpuSeconds();
        BuildMixedDocument(*edit.document(), paragraphs, image);
        floor.push_back(timer.nsecsElapsed() / 1e9);
        floorCpu.push_back(CpuSeconds() - cpu);
    }
    std::printf("ReadRtf, %2lld MB mixed with pictures: median %.3f s (processor %.3f s), in 20 ms slices %.3f s "
                "(%lld bytes, %d paragraphs; floor, the same built with a QTextCursor: %.3f s, processor %.3f s)\n",
                static_cast<long long>(bytes >> 20), Median(whole), Median(wholeCpu), Median(sliced),
                static_cast<long long>(rtf.size()), paragraphs, Median(floor), Median(floorCpu));
    return true;
}

// Paragraphs of Japanese and Korean words, one after the other, about bytes long as
// RTF.
QString JapaneseAndKorean(qsizetype bytes)
{
    static const QString words[] = {
        QString::fromUtf8("日本語の"), QString::fromUtf8("한국어"), QString::fromUtf8("文章です。"),
        QString::fromUtf8("서울"),     QString::fromUtf8("東京、"), QString::fromUtf8("검색"),
        QString::fromUtf8("カタカナ"), QStringLiteral("Latin"),
    };
    QString text;
    for (int i = 0; text.size() * 11 / 2 < bytes; ++i) {
        text += words[i % 8];
        text += i % 40 == 39 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

// text as RTF in one Shift-JIS font: each character the code page has in \'hh bytes
// (with bytesForCodePage), every other one as \uN with '?' for fallback; a line feed
// ends a paragraph.
QByteArray CodePageRtf(const QString& text, bool bytesForCodePage)
{
    QByteArray out("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}}\\uc1\\f0 ");
    QHash<char16_t, QByteArray> cp932;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == '\n') {
            out += "\\par ";
        } else if (unit < 0x80) {
            if (unit == '\\' || unit == '{' || unit == '}')
                out += '\\';
            out += char(unit);
        } else {
            auto bytes = cp932.constFind(unit);
            if (bytes == cp932.constEnd())
                bytes = cp932.insert(unit, EncodeString(QString(c), "CP932").value_or(QByteArray()));
            if (!bytesForCodePage || bytes->isEmpty()) {
                out += "\\u" + QByteArray::number(unit > 0x7fff ? int(unit) - 0x10000 : int(unit)) + '?';
                continue;
            }
            for (const char b : *bytes)
                out += "\\'" + QByteArray::number(static_cast<unsigned char>(b), 16).rightJustified(2, '0');
        }
    }
    return out + '}';
}

// Seconds, median of kRuns, to read rtf into an editor's document; negative when it
// reads as other text than text.
double ReadSeconds(const QByteArray& rtf, const QString& text)
{
    std::vector<double> seconds;
    for (int run = 0; run < kRuns; ++run) {
        QTextEdit edit;
        QElapsedTimer timer;
        timer.start();
        ReadRtf(rtf, *edit.document(), kPpi);
        seconds.push_back(timer.nsecsElapsed() / 1e9);
        if (edit.document()->toPlainText() != text)
            return -1;
    }
    return Median(seconds);
}

// Paragraphs of 64 characters in a Japanese font, character i being next(i).
template <typename Next>
void AppendKanji(QTextDocument& doc, int count, Next next)
{
    QTextCharFormat mincho;
    mincho.setFontFamilies(QStringList{QString::fromUtf8("ＭＳ 明朝")});
    mincho.setProperty(DocumentProperty::Charset, 128);
    QTextCursor cursor(&doc);
    QString paragraph;
    for (int i = 0; i < count; ++i) {
        const char32_t c = next(i);
        paragraph += QString::fromUcs4(&c, 1);
        if (paragraph.size() == 64 || i + 1 == count) {
            if (i >= 64)
                cursor.insertBlock();
            cursor.insertText(paragraph, mincho);
            paragraph.clear();
        }
    }
}

// Seconds AbiWord takes to convert path to text, or a negative value when it is not
// installed or fails.
double AbiwordSeconds(const QString& path, const QString& dir)
{
    const QString abiword = QStandardPaths::findExecutable(QStringLiteral("abiword"));
    if (abiword.isEmpty())
        return -1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "GDK_BACKEND", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), dir);
    QProcess process;
    process.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    process.start(abiword, {QStringLiteral("--to=txt"), QStringLiteral("--to-name=") + dir + QStringLiteral("/out.txt"), path});
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    // --mixed: only the mixed document's figures, for profiling.
    const QByteArray png = PicturePng();
    if (!ReportMixed(kTargetBytes, png) || !ReportMixed(4 * kTargetBytes, png))
        return 1;
    if (application.arguments().contains(QStringLiteral("--mixed")))
        return 0;

    // Size the document from a sample's bytes per paragraph, then generate it whole.
    QTextDocument sample;
    AppendParagraphs(sample, 500);
    const qsizetype perParagraph = WriteRtf(sample, kPpi).size() / 500;
    QTextDocument source;
    AppendParagraphs(source, static_cast<int>(kTargetBytes / perParagraph) + 1);
    QByteArray rtf = WriteRtf(source, kPpi);
    while (rtf.size() < kTargetBytes) {
        AppendParagraphs(source, 100);
        rtf = WriteRtf(source, kPpi);
    }
    std::printf("document: %lld bytes of RTF, %d paragraphs, %d characters\n", static_cast<long long>(rtf.size()),
                source.blockCount(), source.characterCount());

    std::vector<double> reads, writes;
    int readBlocks = 0;
    for (int run = 0; run < kRuns; ++run) {
        QTextEdit edit;
        QElapsedTimer timer;
        timer.start();
        ReadRtf(rtf, *edit.document(), kPpi);
        reads.push_back(timer.nsecsElapsed() / 1e9);
        readBlocks = edit.document()->blockCount();
        timer.restart();
        const QByteArray written = WriteRtf(*edit.document(), kPpi);
        writes.push_back(timer.nsecsElapsed() / 1e9);
        if (written.size() < rtf.size() / 2) {
            std::printf("error: writing back gave only %lld bytes\n", static_cast<long long>(written.size()));
            return 1;
        }
    }
    if (readBlocks != source.blockCount()) {
        std::printf("error: read %d paragraphs of %d\n", readBlocks, source.blockCount());
        return 1;
    }
    const double read = Median(reads);
    std::printf("ReadRtf into a QTextEdit document: median %.3f s, best %.3f s of %d (target < 1.5 s: %s)\n", read,
                *std::min_element(reads.begin(), reads.end()), kRuns, read < 1.5 ? "met" : "MISSED");
    std::printf("WriteRtf of the read document:     median %.3f s, best %.3f s of %d\n", Median(writes),
                *std::min_element(writes.begin(), writes.end()), kRuns);

    // Japanese in \'hh bytes between Korean in \uN, beside all of it in \uN.
    const QString mixed = JapaneseAndKorean(kTargetBytes);
    const QByteArray inBytes = CodePageRtf(mixed, true);
    const double bytesRead = ReadSeconds(inBytes, mixed);
    const double unicodeRead = ReadSeconds(CodePageRtf(mixed, false), mixed);
    if (bytesRead < 0 || unicodeRead < 0) {
        std::printf("error: the RTF in code-page bytes reads as other text\n");
        return 1;
    }
    std::printf("ReadRtf, Japanese in \\'hh bytes:    median %.3f s (%lld bytes; floor, the same text all in \\uN: %.3f s)\n",
                bytesRead, static_cast<long long>(inBytes.size()), unicodeRead);

    // Writing many different characters, beside one character as many times.
    constexpr int kKanji = 0x9FFF - 0x4E00 + 1;
    QTextDocument distinct, repeated;
    AppendKanji(distinct, kKanji, [](int i) { return char32_t(0x4E00 + i); });
    AppendKanji(repeated, kKanji, [](int) { return char32_t(0x65E5); });
    std::vector<double> distinctWrites, repeatedWrites;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        WriteRtf(distinct, kPpi);
        distinctWrites.push_back(timer.nsecsElapsed() / 1e9);
        timer.restart();
        WriteRtf(repeated, kPpi);
        repeatedWrites.push_back(timer.nsecsElapsed() / 1e9);
    }
    std::printf("WriteRtf of %d different kanji:   median %.3f s (floor, one kanji as many times: %.3f s)\n", kKanji,
                Median(distinctWrites), Median(repeatedWrites));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.rtf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return 1;
    file.close();
    const double abiword = AbiwordSeconds(path, dir.path());
    if (abiword < 0) {
        std::printf("AbiWord --to=txt of the same file:  n/a\n");
        std::printf("load: ours %.3f s, AbiWord n/a\n", read);
    } else {
        std::printf("AbiWord --to=txt of the same file:  %.3f s (one run, process start included)\n", abiword);
        std::printf("load: ours %.3f s, AbiWord %.3f s: ours is %s (%.1fx)\n", read, abiword,
                    read < abiword ? "faster" : "slower", abiword / read);
    }
    return 0;
}
