// The RTF reader on real files of the shared corpus, on damaged and hostile input,
// and on a large Japanese document.
#include "platform/richedit/rtf/RecordingSink.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextEdit>

using namespace rtf;

namespace {

QString CorpusPath(const QString& name)
{
    return QStringLiteral(TESSERINE_CORPUS_DIR "/") + name;
}

QByteArray ReadCorpus(const QString& name)
{
    QFile file(CorpusPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

RecordingSink Read(const QByteArray& rtf)
{
    RecordingSink sink;
    ReadRtfInto(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())), sink);
    return sink;
}

// Paragraphs of an expected plain-text file: lines without trailing tabs (this reader
// ends a table row without one) and without the empty lines at the end.
QStringList ExpectedParagraphs(const QString& name)
{
    QFile file(CorpusPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line.remove(QLatin1Char('\r'));
        while (line.endsWith(QLatin1Char('\t')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Reads input into a document and a recording sink, failing when either takes too long.
// Reads input both into a document and into the recording sink; a hang is caught by
// the test's time limit, and the figures for speed are in bench/bench_rtf.
bool ReadsIntoADocument(const QByteArray& input, QString* text)
{
    QTextDocument doc;
    ReadRtf(input, doc, 96);
    const RecordingSink sink = Read(input);
    *text = sink.PlainText();
    return doc.blockCount() >= 1;
}

} // namespace

class RtfCorpusTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void filesGiveTheirTextAndNoJunk_data();
    void filesGiveTheirTextAndNoJunk();
    void bulletsOfBothFormsAreFound_data();
    void bulletsOfBothFormsAreFound();
    void aWordDocumentGivesTheExpectedParagraphs();
    void formattingOfRealFilesIsKept();
    void damagedFilesLoadWithoutHanging_data();
    void damagedFilesLoadWithoutHanging();
    void everyTruncationOfEveryFileLoads();
    void randomBytesAndMutationsLoad();
    void aLargeJapaneseDocumentLoadsWhole();
};

void RtfCorpusTest::initTestCase()
{
    if (!QDir(QStringLiteral(TESSERINE_CORPUS_DIR)).exists())
        QSKIP("The shared corpus is not there.");
}

void RtfCorpusTest::filesGiveTheirTextAndNoJunk_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    const QStringList fontNames{QStringLiteral("Tahoma;"), QStringLiteral("Arial;"), QStringLiteral("Calibri;"),
                                QStringLiteral("Times New Roman;")};

    // Given each file of the corpus, when read, then the sentences it holds are in the
    // text, and font names, bullets of \pntext or \listtext, field instructions,
    // generator names and other destinations are not.
    QTest::newRow("japanese nec") << "rpk_japanese_cp932_nec.rtf"
                                  << QStringList{"BLC U=>L Splice でU/W No.2 Dancerからシワ発生。Set時に表層10㎜ほどムーニング　pallet底のRoll"}
                                  << QStringList{"MS UI Gothic", "MS Sans Serif"};
    QTest::newRow("japanese riched") << "rpk_japanese_cp932_riched.rtf" << QStringList{"お元気ですか？"}
                                     << QStringList{"ＭＳ Ｐゴシック", "Riched20"};
    QTest::newRow("japanese in cp1252") << "rpk_japanese_fcharset128_in_cp1252.rtf" << QStringList{"中國"}
                                        << QStringList{"Arial Unicode MS"};
    QTest::newRow("japanese ms gothic") << "rp_msftedit_japanese_msgothic.rtf"
                                        << QStringList{"バージョンアップ注文書（銀行振込）"} << QStringList{"MS Gothic", "Msftedit"};
    QTest::newRow("japanese uc2") << "rp_word_cp932_uc2.rtf"
                                  << QStringList{"これはテストです。", "The sentence above says that “This is just a test” in Japanese."}
                                  << QStringList{"¢", "£", "\u2252", "\uFFFD"};
    QTest::newRow("japanese mac") << "rpk_mac_japanese_cp10001_cocoa.rtf" << QStringList{"お読みください"}
                                  << QStringList{"HiraKakuPro", "disc", "Helvetica"};
    QTest::newRow("japanese word mac") << "rp_rtf2xml_japanese_wordmac.rtf"
                                       << QStringList{"NeoOffice/JはPatrick LubyとEdward Peterlinによるオープンソース・ソフトウエアのプロジェクトです。",
                                                      "NeoOffice/J は Mac OS X 用の機能豊富なオフィス・ソフト"}
                                       << QStringList{};
    QTest::newRow("korean") << "rpk_korean_cp949_riched.rtf" << QStringList{"MS Project Addin ProjectPlus"}
                            << QStringList{"맑은 고딕", "Riched20", "mwrapIndent"};
    QTest::newRow("chinese gb2312") << "rp_chinese_gb2312_pntext.rtf" << QStringList{} << QStringList{"\u00b7\t"};
    QTest::newRow("chinese raw font name") << "rp_word_gb_fontname_raw_bytes.rtf"
                                           << QStringList{"就诊时间:\t 2018年9月12日 11时45分25秒", "一日前无明显诱因出现发热，咳嗽。"}
                                           << QStringList{"宋体"};
    QTest::newRow("big5") << "rpk_big5_cp950_cocoa.rtf" << QStringList{"Test Text", "Copyright © 2004-2013 Test Project"}
                          << QStringList{"Title", "Test Author", "LucidaGrande"};
    QTest::newRow("greek") << "rpk_greek_fcharset161.rtf" << QStringList{"Unicode €Ω"} << fontNames;
    QTest::newRow("turkish") << "rpk_turkish_cp1254.rtf" << QStringList{"Turkish Encoding."} << QStringList{"Segoe UI", "Riched20"};
    QTest::newRow("thai") << "rpk_thai_cp874_word.rtf" << QStringList{"1. Test Heading", "Some test text", "Some more test text"}
                          << fontNames;
    QTest::newRow("cyrillic") << "rp_cp1251_nested_tables.rtf" << QStringList{"У Х В А Л А", "Б.І. Гулько", "М.Є.Червинська", "В.А.Черненко"} << QStringList{};
    QTest::newRow("unicode scripts") << "rpk_unicode_multiscript.rtf"
                                     << QStringList{"René Magritte", "বাংলা", "ᓄᓇᕗᒻᒥᐅᑦ", "中国", "Česká republika"} << fontNames;
    QTest::newRow("negative unicode") << "rpk_unicode_negative_uN.rtf"
                                      << QStringList{"From: http://unicode-table.com/en/#private-use-area", "F700\uF700\uF701",
                                                     "F720\uF720\uF721\uF722\uF723\uF724\uF725\uF726"}
                                      << QStringList{"HYPERLINK", "?"};
    QTest::newRow("pandoc unicode") << "pandoc_unicode_uc.rtf" << QStringList{"“hi”‘hi’\uF0B7αä"} << QStringList{"?", "è"};
    QTest::newRow("mac roman") << "rp_rtf2xml_char_upper_ranges_hex.rtf" << QStringList{"Ä:00C4", "€:20AC", "Ÿ:0178"}
                               << QStringList{};
    QTest::newRow("utf8 escapes") << "rp_phprtflite_utf8.rtf"
                                  << QStringList{"Lietuviškos raidės ąčęėįšųūžĄČĘĖĮŠŲŪŽ", "русский техт"} << QStringList{};
    QTest::newRow("openoffice") << "rp_rtf2xml_openoffice_hello.rtf" << QStringList{"Hello world."} << QStringList{"Nimbus"};
    QTest::newRow("textedit faces") << "rp_rtf2xml_textedit_faces.rtf" << QStringList{"Normal text", "bold&italics"}
                                    << QStringList{"Helvetica"};
    QTest::newRow("phprtflite") << "rp_phprtflite_paragraphs_fonts.rtf"
                                << QStringList{"Times New Roman, 9pt, Red", "Alignment: center", "Official phpRtf site."}
                                << QStringList{"HYPERLINK"};
    QTest::newRow("itext") << "rpk_itext_generator.rtf"
                           << QStringList{"INNEN. KÜCHE - TAG", "Ein Absatz mit Line-Separator:", "Hier ist die zweite Szene."}
                           << QStringList{"PAGE"};
    QTest::newRow("google docs") << "d0rianb_google_docs_aspose.rtf" << QStringList{"Lorem ipsum odor amet"}
                                 << QStringList{"Aspose"};
    QTest::newRow("unclosed font table") << "rp_malformed_fonttbl_unclosed.rtf" << QStringList{"5% Auf Patronen"}
                                         << QStringList{};
    QTest::newRow("nested tables") << "pandoc_nested_table_malformed_itap.rtf"
                                   << QStringList{"Parent before", "Child at skipped level", "Parent after", "Outer cell"}
                                   << QStringList{};
    QTest::newRow("junk before") << "rp_fail_0.rtf" << QStringList{"Hello world in {RTF}…"} << QStringList{"/", "Courier"};
    QTest::newRow("junk after") << "rp_fail_1.rtf" << QStringList{"Hello world in {RTF}…"} << QStringList{"-"};
    QTest::newRow("truncated") << "rp_fail_3.rtf" << QStringList{"Hello world in {RTF}"} << QStringList{};
    QTest::newRow("empty") << "rp_fail_4.rtf" << QStringList{} << QStringList{};
}

void RtfCorpusTest::filesGiveTheirTextAndNoJunk()
{
    QFETCH(QString, file);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QByteArray bytes = ReadCorpus(file);
    QVERIFY(!bytes.isNull() || file == QLatin1String("rp_fail_4.rtf"));
    const QString text = Read(bytes).PlainText();
    for (const QString& piece : present)
        QVERIFY2(text.contains(piece), qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(piece, text.left(2000))));
    for (const QString& piece : absent)
        QVERIFY2(!text.contains(piece), qPrintable(QStringLiteral("junk \"%1\" in:\n%2").arg(piece, text.left(2000))));
    QVERIFY(!text.contains(QStringLiteral("\\")) && !text.contains(QStringLiteral("fcharset")));
}

void RtfCorpusTest::bulletsOfBothFormsAreFound_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("bulleted");
    QTest::addColumn<QStringList>("plain");

    // Given files with \pn bullets, numbers and Word 97 lists, when read, then the
    // list paragraphs are bullets, the others are not, and no bullet text is left.
    QTest::newRow("riched pn") << "rp_riched10_pn_bullets_numbers.rtf"
                               << QStringList{"Bullet", "Bullet 2", "List 1", "List 2"}
                               << QStringList{"Paragraph", "Paragraph 2"};
    QTest::newRow("pandoc pn") << "pandoc_list_legacy_pn.rtf"
                               << QStringList{"A", "Numbered", "List", "A", "Bulleted", "List"} << QStringList{};
    QTest::newRow("mac list") << "rpk_mac_japanese_cp10001_cocoa.rtf" << QStringList{"お読みください"} << QStringList{};
}

void RtfCorpusTest::bulletsOfBothFormsAreFound()
{
    QFETCH(QString, file);
    QFETCH(QStringList, bulleted);
    QFETCH(QStringList, plain);
    const RecordingSink sink = Read(ReadCorpus(file));
    QStringList gotBulleted, gotPlain;
    for (const RecordingSink::Paragraph& paragraph : sink.Paragraphs()) {
        const QString text = paragraph.Text();
        if (text.isEmpty())
            continue;
        (paragraph.format.bullet ? gotBulleted : gotPlain).append(text);
    }
    QCOMPARE(gotBulleted, bulleted);
    QCOMPARE(gotPlain, plain);
}

void RtfCorpusTest::aWordDocumentGivesTheExpectedParagraphs()
{
    // Given a full Word document with headings and a table, when read, then its
    // paragraphs are those of the expected text, table rows as tab-separated cells.
    const RecordingSink sink = Read(ReadCorpus("rpk_word2010_textconversion.rtf"));
    QStringList paragraphs;
    for (const RecordingSink::Paragraph& paragraph : sink.Paragraphs())
        paragraphs.append(paragraph.Text());
    while (!paragraphs.isEmpty() && paragraphs.last().isEmpty())
        paragraphs.removeLast();
    QCOMPARE(paragraphs, ExpectedParagraphs("expected/rpk_word2010_textconversion.expected.txt"));
}

void RtfCorpusTest::formattingOfRealFilesIsKept()
{
    // Given WordPad's Japanese file, when read, then its text is underlined bold 20pt
    // MS Gothic of character set 128.
    const RecordingSink japanese = Read(ReadCorpus("rp_msftedit_japanese_msgothic.rtf"));
    QVERIFY(!japanese.Paragraphs().isEmpty());
    const RunFormat& run = japanese.Paragraphs().first().runs.first().format;
    QCOMPARE(run.family, QStringLiteral("MS Gothic"));
    QCOMPARE(run.charset, 128);
    QCOMPARE(run.points, 20.0);
    QVERIFY(run.bold && run.underline && !run.italic);

    // Given PHPRtfLite's paragraphs, then the centred and right-aligned ones are so, and
    // its red text is red.
    const RecordingSink paragraphs = Read(ReadCorpus("rp_phprtflite_paragraphs_fonts.rtf"));
    QMap<QString, Qt::Alignment> alignments;
    QMap<QString, QColor> colors;
    for (const RecordingSink::Paragraph& paragraph : paragraphs.Paragraphs()) {
        alignments.insert(paragraph.Text().section(QChar::LineSeparator, 0, 0), paragraph.format.alignment);
        for (const RecordingSink::Run& r : paragraph.runs)
            colors.insert(r.text, r.format.color);
    }
    QCOMPARE(alignments.value(QStringLiteral("Alignment: center")), Qt::Alignment(Qt::AlignHCenter));
    QCOMPARE(alignments.value(QStringLiteral("Alignment: right")), Qt::Alignment(Qt::AlignRight));
    QCOMPARE(colors.value(QStringLiteral("Times New Roman, 9pt, Red")), QColor(255, 0, 0));

    // Given RichEdit's bullets, then their indents are in twips as the file says.
    const RecordingSink riched = Read(ReadCorpus("rp_riched10_pn_bullets_numbers.rtf"));
    QCOMPARE(riched.Paragraphs()[1].Text(), QStringLiteral("Bullet"));
    QCOMPARE(riched.Paragraphs()[1].format.firstIndentTwips, 360);
    QCOMPARE(riched.Paragraphs()[1].format.leftIndentTwips, 360);
}

void RtfCorpusTest::damagedFilesLoadWithoutHanging_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expectedText");
    const QByteArray word = ReadCorpus("rp_word_listtable.rtf");

    // Given hostile input of each kind, when read into a document, then reading ends in
    // time and the text around the damage survives.
    QTest::newRow("unbalanced close") << QByteArray("{\\rtf1 a") + QByteArray(5000, '}') + "b" << "a";
    QTest::newRow("100000 unclosed groups") << QByteArray("{\\rtf1 a") + QByteArray(100000, '{') << "a";
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'\\'g\\'zz\\'1\\'}b}") << "a";
    QTest::newRow("many pars") << QByteArray("{\\rtf1 ") + QByteArray("\\par ").repeated(200000) + "x}" << "x";
    QTest::newRow("long keyword") << QByteArray("{\\rtf1 a\\") + QByteArray(1000000, 'k') + " b}" << "ab";
    QTest::newRow("long number") << QByteArray("{\\rtf1 a\\fs") + QByteArray(1000000, '9') + " b}" << "ab";
    QTest::newRow("only backslashes") << QByteArray("{\\rtf1 ") + QByteArray(100001, '\\') << "";
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a") + QByteArray(1000, '\0') + "b}" << "ab";
    QTest::newRow("word without closing braces") << word.left(word.lastIndexOf('}') - 200) << "";
}

void RtfCorpusTest::damagedFilesLoadWithoutHanging()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expectedText);
    QString text;
    QVERIFY(ReadsIntoADocument(input, &text));
    QVERIFY2(text.contains(expectedText), qPrintable(text.left(200)));
}

void RtfCorpusTest::everyTruncationOfEveryFileLoads()
{
    // Given each corpus file cut at about a hundred points, when read, then each
    // truncated file reads into a document.
    const QStringList files = QDir(QStringLiteral(TESSERINE_CORPUS_DIR)).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString& name : files) {
        const QByteArray bytes = ReadCorpus(name);
        const int step = std::max<int>(1, static_cast<int>(bytes.size() / 97));
        for (qsizetype cut = 0; cut < bytes.size(); cut += step) {
            QString text;
            QVERIFY2(ReadsIntoADocument(bytes.left(cut), &text), qPrintable(QStringLiteral("%1 cut at %2").arg(name).arg(cut)));
        }
    }
}

void RtfCorpusTest::randomBytesAndMutationsLoad()
{
    // Given random bytes, and corpus files with random bytes overwritten by RTF's own
    // special characters, when read, then each reads without failing.
    QRandomGenerator random(20240611);
    for (int i = 0; i < 100; ++i) {
        QByteArray bytes(4096, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random.bounded(256));
        if (i % 2)
            bytes.prepend("{\\rtf1 ");
        QString text;
        QVERIFY(ReadsIntoADocument(bytes, &text));
    }
    const char specials[] = {'{', '}', '\\', '\'', '*', '0', '-', ' ', '\x82', 'u', 'b'};
    const QStringList files = QDir(QStringLiteral(TESSERINE_CORPUS_DIR)).entryList({QStringLiteral("*.rtf")}, QDir::Files);
    for (const QString& name : files) {
        for (int round = 0; round < 5; ++round) {
            QByteArray bytes = ReadCorpus(name);
            if (bytes.isEmpty())
                continue;
            for (int change = 0; change < 20; ++change)
                bytes[random.bounded(static_cast<int>(bytes.size()))] = specials[random.bounded(int(sizeof specials))];
            QString text;
            QVERIFY2(ReadsIntoADocument(bytes, &text), qPrintable(name));
        }
    }
}

void RtfCorpusTest::aLargeJapaneseDocumentLoadsWhole()
{
    // Given a 5 MB RTF of Japanese text in Shift-JIS and \uN with mixed formatting, when
    // read into an editor's document, then it keeps it all (bench/bench_rtf times it).
    QByteArray rtf("{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                   "{\\f1\\froman\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}"
                   "{\\colortbl;\\red255\\green0\\blue0;}\r\n");
    const QByteArray sentence = "\\'93\\'fa\\'96\\'7b\\'8c\\'ea\\'82\\'cc\\'95\\'b6\\'8f\\'cd\\'82\\'c5\\'82\\'b7\\'81\\'42";
    int paragraphs = 0;
    while (rtf.size() < 5 * 1024 * 1024) {
        rtf += "\\pard\\fi-360\\li720\\plain\\f1\\fs21 " + sentence + sentence + "\\b " + sentence
               + "\\b0\\cf1 \\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b\\cf0 Latin text " + sentence
               + "{\\i " + sentence + "}\\par\r\n";
        ++paragraphs;
    }
    rtf += "}";
    QTextEdit edit;
    QElapsedTimer timer;
    timer.start();
    ReadRtf(rtf, *edit.document(), 96);
    const qint64 elapsed = timer.elapsed();
    qInfo("%lld bytes, %d paragraphs read in %lld ms", static_cast<long long>(rtf.size()), paragraphs,
          static_cast<long long>(elapsed));
    QCOMPARE(edit.document()->blockCount(), paragraphs);
    QVERIFY(edit.document()->lastBlock().text().startsWith(QStringLiteral("日本語の文章です。")));
}

QTEST_MAIN(RtfCorpusTest)
#include "tst_rtf_corpus.moc"
