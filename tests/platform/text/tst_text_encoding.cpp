// Detecting, decoding and re-encoding plain-text files.
#include "platform/text/TextEncoding.h"

#include "platform/text/CodePages.h"

#include <QElapsedTimer>
#include <QTest>

Q_DECLARE_METATYPE(LineEnding)

namespace {

TextFileFormat formatOf(const QByteArray& encoding, bool bom = false,
                        LineEnding ending = LineEnding::LF)
{
    TextFileFormat format;
    format.encoding = encoding;
    format.byteOrderMark = bom;
    format.lineEnding = ending;
    return format;
}

QByteArray encodedOrFail(const QString& text, const TextFileFormat& format)
{
    const EncodedText encoded = EncodeTextFile(text, format);
    if (encoded.fellBackToUtf8)
        qWarning("%s could not hold the sample", format.encoding.constData());
    return encoded.fellBackToUtf8 ? QByteArray() : encoded.bytes;
}

// Text given unit for unit, lone surrogates included.
QString Units(const char16_t* units)
{
    return QStringView(units).toString();
}

const QString kKorean = QStringLiteral(
    "오늘 아침에는 비가 많이 와서 버스를 타고 학교에 갔습니다. 버스 안은 사람이 너무 많아서 "
    "창밖의 풍경을 거의 볼 수 없었습니다.\n학교에 도착한 후 저는 따뜻한 차를 한 잔 마시고 오전 "
    "수업을 준비했습니다. 점심에는 친구들과 함께 근처 식당에서 김치찌개를 먹었습니다.");

}  // namespace

class TextEncodingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detectsDecodesAndRoundTrips_data();
    void detectsDecodesAndRoundTrips();
    void bomlessUtf16KeepsItsBytesThroughASave();
    void damagedUtf16KeepsItsBytesThroughASave_data();
    void damagedUtf16KeepsItsBytesThroughASave();
    void writesKnownBytes_data();
    void writesKnownBytes();
    void undetectableJohabRoundTripsWithAnExplicitFormat();
    void keepsTheFirstLineBreakStyle_data();
    void keepsTheFirstLineBreakStyle();
    void replacesUndecodableBytes_data();
    void replacesUndecodableBytes();
    void validatesUtf8Strictly_data();
    void validatesUtf8Strictly();
    void fallsBackToUtf8ForUnrepresentableText_data();
    void fallsBackToUtf8ForUnrepresentableText();
    void handlesEmptyInput();
    void convertsTenMegabytesWithoutLoss();
    void abandonedDecodingLeavesNothingBehind_data();
    void abandonedDecodingLeavesNothingBehind();
};

void TextEncodingTest::detectsDecodesAndRoundTrips_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("bom");

    const QString mixed = QStringLiteral("Tesserine — 日本語, 한국어, Ελληνικά, עברית 🎉\n"
                                         "second line 𝄞\n");
    QTest::newRow("UTF-8") << mixed << QByteArray("UTF-8") << false;
    QTest::newRow("UTF-8 with BOM") << mixed << QByteArray("UTF-8") << true;
    QTest::newRow("UTF-16LE with BOM") << mixed << QByteArray("UTF-16LE") << true;
    QTest::newRow("UTF-16BE with BOM") << mixed << QByteArray("UTF-16BE") << true;
    // Without a mark, UTF-16 is told by its zero bytes, and is saved without one again.
    QTest::newRow("UTF-16LE without BOM") << mixed << QByteArray("UTF-16LE") << false;
    QTest::newRow("UTF-16BE without BOM") << mixed << QByteArray("UTF-16BE") << false;
    QTest::newRow("UTF-16LE Japanese only, without BOM")
        << QStringLiteral("日本語だけの文章です。\n二行目もそうです。\n") << QByteArray("UTF-16LE") << false;
    QTest::newRow("CP932 Japanese") << QStringLiteral(
        "今日は朝から雨が降っていたので、駅まで歩くのをやめてバスに乗りました。バスの中はとても"
        "混んでいて、窓の外の景色はほとんど見えませんでした。\n会社に着いてから、私はまず温かい"
        "お茶を一杯飲み、それから午前中の会議の資料を確認しました。\n")
                                    << QByteArray("CP932") << false;
    QTest::newRow("CP949 Korean") << kKorean << QByteArray("CP949") << false;
    QTest::newRow("CP936 Simplified Chinese") << QStringLiteral(
        "今天早上下了很大的雨，所以我没有走路去车站，而是坐公共汽车去上班。车上的人非常多，几乎"
        "看不到窗外的风景。\n到了公司以后，我先喝了一杯热茶，然后开始准备上午的会议材料。中午我和"
        "同事们一起去附近的饭馆吃了饺子。")
                                              << QByteArray("CP936") << false;
    QTest::newRow("GB18030 beyond CP936") << QStringLiteral(
        "今天早上下了很大的雨，所以我没有走路去车站，而是坐公共汽车去上班。车上的人非常多，几乎"
        "看不到窗外的风景。\n到了公司以后，我先喝了一杯热茶，然后开始准备上午的会议材料。𠀀")
                                          << QByteArray("GB18030") << false;
    QTest::newRow("CP950 Traditional Chinese") << QStringLiteral(
        "今天早上下了很大的雨，所以我沒有走路去車站，而是坐公共汽車去上班。車上的人非常多，幾乎"
        "看不到窗外的風景。\n到了公司以後，我先喝了一杯熱茶，然後開始準備上午的會議資料。中午我和"
        "同事們一起去附近的飯館吃了餃子。")
                                               << QByteArray("CP950") << false;
    QTest::newRow("CP1253 Greek") << QStringLiteral(
        "Σήμερα το πρωί έβρεχε πολύ, γι' αυτό δεν περπάτησα μέχρι τον σταθμό αλλά πήρα το "
        "λεωφορείο για τη δουλειά. Το λεωφορείο ήταν γεμάτο κόσμο και σχεδόν δεν μπορούσα να δω "
        "τη θέα από το παράθυρο.\nΌταν έφτασα στο γραφείο, ήπια πρώτα ένα ζεστό τσάι και μετά "
        "ετοίμασα τα έγγραφα για τη συνάντηση του πρωινού. Άλλωστε η Άννα είχε ήδη φέρει τον καφέ.")
                                  << QByteArray("CP1253") << false;
    // Without the curly quotes this text is byte for byte ISO-8859-9 as well.
    QTest::newRow("CP1254 Turkish") << QStringLiteral(
        "Bu sabah çok yağmur yağdığı için istasyona yürümek yerine otobüse bindim. Otobüs çok "
        "kalabalıktı ve pencereden dışarıyı neredeyse hiç göremedim.\nİşe vardığımda önce sıcak "
        "bir çay içtim, sonra sabahki toplantı için belgeleri hazırladım. Öğle yemeğinde "
        "arkadaşlarımla birlikte yakındaki bir lokantada “mercimek çorbası” içtik.")
                                    << QByteArray("CP1254") << false;
    QTest::newRow("ISO-8859-9 Turkish") << QStringLiteral(
        "Bu sabah çok yağmur yağdığı için istasyona yürümek yerine otobüse bindim. Otobüs çok "
        "kalabalıktı ve pencereden dışarıyı neredeyse hiç göremedim.\nİşe vardığımda önce sıcak "
        "bir çay içtim, sonra sabahki toplantı için belgeleri hazırladım.")
                                        << QByteArray("ISO-8859-9") << false;
    // Ends on a letter: iconv holds a CP1258 letter back for a tone mark that may follow.
    QTest::newRow("CP1258 Vietnamese") << QStringLiteral(
        "Sáng nay trời mưa rất to nên tôi không đi bộ ra ga mà đi xe buýt đến chỗ làm. Trên xe "
        "buýt rất đông người và tôi gần như không nhìn thấy cảnh vật bên ngoài cửa sổ.\nKhi đến "
        "văn phòng, tôi uống một tách trà nóng rồi chuẩn bị tài liệu cho cuộc họp buổi sáng")
                                       << QByteArray("CP1258") << false;
    QTest::newRow("CP1255 Hebrew") << QStringLiteral(
        "הבוקר ירד גשם חזק, ולכן לא הלכתי ברגל לתחנה אלא נסעתי באוטובוס לעבודה. האוטובוס היה "
        "מלא אנשים וכמעט לא יכולתי לראות את הנוף מהחלון.\nכשהגעתי למשרד שתיתי קודם כוס תה חם, "
        "ואחר כך הכנתי את המסמכים לפגישת הבוקר.")
                                   << QByteArray("CP1255") << false;
    QTest::newRow("CP1256 Arabic") << QStringLiteral(
        "هطل المطر بغزارة هذا الصباح، لذلك لم أمش إلى المحطة بل ركبت الحافلة إلى العمل. كانت "
        "الحافلة مزدحمة جدا ولم أستطع رؤية المنظر من النافذة تقريبا.\nعندما وصلت إلى المكتب "
        "شربت أولا كوبا من الشاي الساخن، ثم أعددت الوثائق لاجتماع الصباح.")
                                   << QByteArray("CP1256") << false;
    // The „“ quotes are what tell CP1257 from ISO-8859-13.
    QTest::newRow("CP1257 Lithuanian") << QStringLiteral(
        "Šį rytą smarkiai lijo, todėl į stotį nėjau pėsčiomis, o į darbą važiavau autobusu. "
        "Autobuse buvo labai daug žmonių, todėl pro langą beveik nieko nemačiau.\nAtvykęs į "
        "biurą pirmiausia išgėriau puodelį karštos arbatos, o paskui paruošiau dokumentus "
        "rytiniam susitikimui „Žalgirio“ salėje.")
                                       << QByteArray("CP1257") << false;
    QTest::newRow("CP1251 Russian") << QStringLiteral(
        "Сегодня утром шёл сильный дождь, поэтому я не пошёл пешком до станции, а поехал на "
        "работу на автобусе. В автобусе было очень много людей, и я почти не видел пейзажа за "
        "окном.\nПридя в офис, я сначала выпил чашку горячего чая, а потом подготовил документы "
        "для утреннего совещания.\n")
                                    << QByteArray("CP1251") << false;
    QTest::newRow("CP874 Thai") << QStringLiteral(
        "เช้านี้ฝนตกหนักมาก ฉันจึงไม่ได้เดินไปที่สถานี แต่นั่งรถเมล์ไปทำงานแทน "
        "บนรถเมล์มีคนแน่นมากจนแทบมองไม่เห็นวิวนอกหน้าต่าง\nเมื่อถึงที่ทำงาน "
        "ฉันดื่มชาร้อนหนึ่งแก้วก่อน แล้วจึงเตรียมเอกสารสำหรับการประชุมตอนเช้า")
                                << QByteArray("CP874") << false;
    QTest::newRow("CP1250 Czech") << QStringLiteral(
        "Dnes ráno hodně pršelo, a tak jsem nešel pěšky na nádraží, ale jel jsem do práce "
        "autobusem. V autobuse bylo velmi mnoho lidí a z okna jsem skoro nic neviděl.\nKdyž jsem "
        "dorazil do kanceláře, nejdřív jsem vypil šálek horkého čaje a potom jsem připravil "
        "dokumenty na ranní schůzku. Ťukání na dveře ohlásilo příchod kolegyně Šárky.")
                                  << QByteArray("CP1250") << false;
}

void TextEncodingTest::detectsDecodesAndRoundTrips()
{
    QFETCH(QString, sample);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, bom);
    const TextFileFormat format = formatOf(encoding, bom);
    const QByteArray bytes = encodedOrFail(sample, format);
    QVERIFY(!bytes.isEmpty());

    const DecodedText decoded = DecodeTextFile(bytes);
    QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.format, format);
    QVERIFY(!decoded.hadUndecodableBytes);
    QCOMPARE(decoded.text, sample);

    const EncodedText again = EncodeTextFile(decoded.text, decoded.format);
    QVERIFY(!again.fellBackToUtf8);
    QCOMPARE(again.format, format);
    QCOMPARE(again.bytes, bytes);
}

void TextEncodingTest::bomlessUtf16KeepsItsBytesThroughASave()
{
    // What another program writes: "Hi", CR LF, in UTF-16LE without a mark.
    const QByteArray bytes("H\0i\0\r\0\n\0", 8);
    const DecodedText decoded = DecodeTextFile(bytes);
    QCOMPARE(decoded.text, QStringLiteral("Hi\n"));
    QCOMPARE(decoded.format.encoding, QByteArray("UTF-16LE"));
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format).bytes, bytes);
    // A UTF-8 file with a stray NUL stays UTF-8.
    const QByteArray withNul("abc\0def\n", 8);
    QCOMPARE(DecodeTextFile(withNul).format.encoding, QByteArray("UTF-8"));
}

void TextEncodingTest::damagedUtf16KeepsItsBytesThroughASave_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("given");  // decode in encoding rather than detecting it
    QTest::addColumn<QString>("text");
    QTest::addColumn<LineEnding>("ending");

    // "Hi", CR LF, then half a code unit: read as UTF-8, the NUL between CR and LF made
    // them two line breaks, and a save wrote the LF as a second CR.
    QTest::newRow("odd length, UTF-16LE without BOM") << QByteArray("H\0i\0\r\0\n\0X", 9) << QByteArray("UTF-16LE")
                                                      << false << "Hi\n" << LineEnding::CRLF;
    QTest::newRow("odd length, UTF-16BE without BOM") << QByteArray("\0H\0i\0\r\0\nX", 9) << QByteArray("UTF-16BE")
                                                      << false << "Hi\n" << LineEnding::CRLF;
    QTest::newRow("odd length, UTF-16LE with BOM") << QByteArray("\xFF\xFE" "A\0B", 5) << QByteArray("UTF-16LE")
                                                   << false << "A" << LineEnding::LF;
    QTest::newRow("odd length, UTF-16BE with BOM") << QByteArray("\xFE\xFF\0A\0", 5) << QByteArray("UTF-16BE")
                                                   << false << "A" << LineEnding::LF;
    QTest::newRow("odd length, UTF-16LE given") << QByteArray("A\0\n\0\xE5", 5) << QByteArray("UTF-16LE") << true
                                                << "A\n" << LineEnding::LF;
    QTest::newRow("lone high surrogate, UTF-16LE without BOM")
        << QByteArray("H\0i\0\x00\xD8\r\0\n\0", 10) << QByteArray("UTF-16LE") << false << Units(u"Hi\xD800\n")
        << LineEnding::CRLF;
    QTest::newRow("lone low surrogate, UTF-16BE without BOM")
        << QByteArray("\0H\xDC\x1E\0\r\0\n", 8) << QByteArray("UTF-16BE") << false << Units(u"H\xDC1E\n")
        << LineEnding::CRLF;
    QTest::newRow("lone low surrogate, UTF-16LE with BOM") << QByteArray("\xFF\xFE\x00\xDC" "A\0", 6)
                                                           << QByteArray("UTF-16LE") << false << Units(u"\xDC00" u"A")
                                                           << LineEnding::LF;
    QTest::newRow("high surrogate before a letter, UTF-16BE with BOM")
        << QByteArray("\xFE\xFF\xD8\x34\0A\0\n", 8) << QByteArray("UTF-16BE") << false << Units(u"\xD834" u"A\n")
        << LineEnding::LF;
    QTest::newRow("high surrogate last, then half a unit, UTF-16LE with BOM")
        << QByteArray("\xFF\xFE" "A\0\x34\xD8\x1E", 7) << QByteArray("UTF-16LE") << false << Units(u"A\xD834")
        << LineEnding::LF;
}

// A UTF-16 file with half a code unit at its end or a surrogate without its partner is
// shown without loss, and a save gives back the very bytes it was read from.
void TextEncodingTest::damagedUtf16KeepsItsBytesThroughASave()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, given);
    QFETCH(QString, text);
    QFETCH(LineEnding, ending);
    const DecodedText decoded = given ? DecodeTextFile(bytes, encoding) : DecodeTextFile(bytes);
    QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.format.lineEnding, ending);
    QVERIFY(!decoded.hadUndecodableBytes);
    QCOMPARE(decoded.text, text);
    // Nothing to ask about before the save: UTF-16 holds every unit of the text.
    QCOMPARE(FindUnencodableCharacters(decoded.text, encoding).count, 0);
    const EncodedText saved = EncodeTextFile(decoded.text, decoded.format);
    QVERIFY(!saved.fellBackToUtf8);
    QCOMPARE(saved.bytes, bytes);
    // Saved again from the format the save reports, the bytes are the same.
    QCOMPARE(EncodeTextFile(decoded.text, saved.format).bytes, bytes);
    // In another encoding the half unit, which is no character, is not written.
    TextFileFormat utf8 = saved.format;
    utf8.encoding = "UTF-8";
    utf8.byteOrderMark = false;
    const EncodedText converted = EncodeTextFile(decoded.text, utf8);
    QCOMPARE(converted.bytes, EncodeTextFile(decoded.text, formatOf("UTF-8", false, ending)).bytes);
    QVERIFY(converted.format.incompleteUnit.isEmpty());
}

void TextEncodingTest::writesKnownBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("UTF-8 BOM") << QStringLiteral("é") << QByteArray("UTF-8") << true
                               << QByteArray("\xEF\xBB\xBF\xC3\xA9");
    QTest::newRow("UTF-16LE surrogate pair") << QStringLiteral("𝄞") << QByteArray("UTF-16LE")
                                             << true << QByteArray("\xFF\xFE\x34\xD8\x1E\xDD");
    QTest::newRow("UTF-16BE surrogate pair") << QStringLiteral("𝄞") << QByteArray("UTF-16BE")
                                             << true << QByteArray("\xFE\xFF\xD8\x34\xDD\x1E");
    QTest::newRow("CP932") << QStringLiteral("日本") << QByteArray("CP932") << false
                           << QByteArray("\x93\xFA\x96\x7B");
    QTest::newRow("CP1251") << QStringLiteral("Жук") << QByteArray("CP1251") << false
                            << QByteArray("\xC6\xF3\xEA");
    QTest::newRow("ISO-2022-JP returns to ASCII") << QStringLiteral("日") << QByteArray("ISO-2022-JP")
                                                  << false << QByteArray("\x1B$BF|\x1B(B");
    QTest::newRow("CP1361 differs from CP949") << QStringLiteral("한") << QByteArray("CP1361")
                                               << false << QByteArray("\xD0\x65");
}

void TextEncodingTest::writesKnownBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, bom);
    QFETCH(QByteArray, bytes);
    QCOMPARE(EncodeTextFile(text, formatOf(encoding, bom)).bytes, bytes);
    QCOMPARE(DecodeTextFile(bytes, encoding).text, text);
}

void TextEncodingTest::undetectableJohabRoundTripsWithAnExplicitFormat()
{
    // uchardet has no Johab prober, so the encoding is given rather than detected.
    const TextFileFormat format = formatOf("CP1361", false, LineEnding::CRLF);
    const QByteArray bytes = encodedOrFail(kKorean, format);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(bytes != encodedOrFail(kKorean, formatOf("CP949", false, LineEnding::CRLF)));

    const DecodedText decoded = DecodeTextFile(bytes, "CP1361");
    QCOMPARE(decoded.format, format);
    QVERIFY(!decoded.hadUndecodableBytes);
    QCOMPARE(decoded.text, kKorean);
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format).bytes, bytes);
}

void TextEncodingTest::keepsTheFirstLineBreakStyle_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<LineEnding>("ending");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("CRLF") << QByteArray("a\r\nb\r\n") << "a\nb\n" << LineEnding::CRLF
                          << QByteArray("a\r\nb\r\n");
    QTest::newRow("LF, no final break") << QByteArray("a\nb") << "a\nb" << LineEnding::LF
                                        << QByteArray("a\nb");
    QTest::newRow("CR") << QByteArray("a\rb\r") << "a\nb\n" << LineEnding::CR
                        << QByteArray("a\rb\r");
    QTest::newRow("no break") << QByteArray("abc") << "abc" << LineEnding::LF
                              << QByteArray("abc");
    QTest::newRow("blank lines") << QByteArray("\r\n\r\nx") << "\n\nx" << LineEnding::CRLF
                                 << QByteArray("\r\n\r\nx");
    QTest::newRow("mixed, CRLF first") << QByteArray("a\r\nb\nc\rd") << "a\nb\nc\nd"
                                       << LineEnding::CRLF << QByteArray("a\r\nb\r\nc\r\nd");
    QTest::newRow("mixed, LF first") << QByteArray("a\nb\r\nc\r") << "a\nb\nc\n"
                                     << LineEnding::LF << QByteArray("a\nb\nc\n");
    QTest::newRow("mixed, CR first") << QByteArray("a\r\rb\r\n") << "a\n\nb\n"
                                     << LineEnding::CR << QByteArray("a\r\rb\r");
    QTest::newRow("UTF-16LE CRLF") << QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8) << "a\n"
                                   << LineEnding::CRLF << QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8);
}

void TextEncodingTest::keepsTheFirstLineBreakStyle()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(LineEnding, ending);
    QFETCH(QByteArray, written);
    const DecodedText decoded = DecodeTextFile(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.format.lineEnding, ending);
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format).bytes, written);
}

void TextEncodingTest::replacesUndecodableBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("given");  // decode in encoding rather than detecting it
    QTest::addColumn<QString>("text");

    const QString japanese = QStringLiteral("日本語のテキストです。これは文章の終わりではありません。");
    QTest::newRow("stray byte after UTF-8 BOM")
        << QByteArray("\xEF\xBB\xBF" "a\xFF" "b") << QByteArray("UTF-8") << false << "a\uFFFDb";
    QTest::newRow("overlong and surrogate after UTF-8 BOM")
        << QByteArray("\xEF\xBB\xBF\xC0\xAF\xED\xA0\x80x") << QByteArray("UTF-8") << false
        << "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDx";
    QTest::newRow("UTF-8 cut off at the end") << japanese.toUtf8() + "\xE6\x97"
                                              << QByteArray("UTF-8") << false
                                              << japanese + "\uFFFD\uFFFD";
    QTest::newRow("CP932 cut off at the end")
        << EncodeTextFile(japanese, formatOf("CP932")).bytes + "\x93" << QByteArray("CP932")
        << false << japanese + "\uFFFD";
    // UTF-32 has no incomplete unit kept: the three bytes after the last whole unit
    // are one undecodable unit.
    QTest::newRow("UTF-32LE cut off at the end") << QByteArray("A\0\0\0B\0\0", 7)
                                                 << QByteArray("UTF-32LE") << true << "A\uFFFD";
    // 0x81 is unassigned in CP1258; the letter iconv held back must come out before it.
    QTest::newRow("held-back CP1258 letter") << QByteArray("Vi\x81t") << QByteArray("CP1258")
                                             << true << "Vi\uFFFDt";
}

void TextEncodingTest::replacesUndecodableBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, given);
    QFETCH(QString, text);
    const DecodedText decoded = given ? DecodeTextFile(bytes, encoding) : DecodeTextFile(bytes);
    QCOMPARE(decoded.format.encoding, encoding);
    QVERIFY(decoded.hadUndecodableBytes);
    QCOMPARE(decoded.text, text);
}

void TextEncodingTest::validatesUtf8Strictly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("clean");

    QTest::newRow("ASCII") << QByteArray("plain text\n") << QByteArray("UTF-8") << true;
    QTest::newRow("NUL before multibyte") << QByteArray("ab\0日本語", 12) << QByteArray("UTF-8")
                                          << true;
    QTest::newRow("U+10FFFF") << QByteArray("x\xF4\x8F\xBF\xBF") << QByteArray("UTF-8") << true;
    // Rejected ones are weighed with the code pages; an empty encoding stands for
    // whichever code page reads the few bytes likeliest, as long as it is not UTF-8.
    QTest::newRow("overlong slash") << QByteArray("path\xC0\xAF" "etc") << QByteArray() << true;
    QTest::newRow("overlong three-byte") << QByteArray("x\xE0\x80\xAF") << QByteArray() << true;
    QTest::newRow("surrogate") << QByteArray("x\xED\xA0\x80y") << QByteArray() << true;
    QTest::newRow("invalid after NUL") << QByteArray("ab\0\xFF\xFE", 5) << QByteArray() << true;
    QTest::newRow("above U+10FFFF") << QByteArray("x\xF4\x90\x80\x80") << QByteArray() << true;
}

void TextEncodingTest::validatesUtf8Strictly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, clean);
    const DecodedText decoded = DecodeTextFile(bytes);
    if (encoding.isEmpty())
        QVERIFY2(decoded.format.encoding != "UTF-8", decoded.format.encoding.constData());
    else
        QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.hadUndecodableBytes, !clean);
    if (clean)
        QCOMPARE(EncodeTextFile(decoded.text, decoded.format).bytes, bytes);
    if (clean && encoding == "UTF-8")
        QCOMPARE(decoded.text, QString::fromUtf8(bytes));
}

void TextEncodingTest::fallsBackToUtf8ForUnrepresentableText_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("Japanese in CP1251") << QByteArray("CP1251");
    QTest::newRow("emoji in CP932") << QByteArray("CP932");
    QTest::newRow("unknown encoding") << QByteArray("NO-SUCH-CODEPAGE");
}

void TextEncodingTest::fallsBackToUtf8ForUnrepresentableText()
{
    QFETCH(QByteArray, encoding);
    const QString text = QStringLiteral("Привет\n日本語 🎉\n");
    const EncodedText encoded = EncodeTextFile(text, formatOf(encoding, true, LineEnding::CRLF));
    QVERIFY(encoded.fellBackToUtf8);
    QCOMPARE(encoded.format, formatOf("UTF-8", false, LineEnding::CRLF));
    QCOMPARE(encoded.bytes, QStringLiteral("Привет\r\n日本語 🎉\r\n").toUtf8());
    QCOMPARE(DecodeTextFile(encoded.bytes).text, text);
}

void TextEncodingTest::handlesEmptyInput()
{
    const DecodedText decoded = DecodeTextFile(QByteArray());
    QVERIFY(decoded.text.isEmpty());
    QCOMPARE(decoded.format, TextFileFormat());
    QVERIFY(!decoded.hadUndecodableBytes);
    QCOMPARE(EncodeTextFile(QString(), TextFileFormat()).bytes, QByteArray());
    QCOMPARE(EncodeTextFile(QString(), formatOf("UTF-16BE", true)).bytes, QByteArray("\xFE\xFF"));
}

void TextEncodingTest::convertsTenMegabytesWithoutLoss()
{
    QString text;
    const QString line = QStringLiteral("今日は雨が降っていたので、バスに乗りました。Bus ride.\r\n");
    while (text.size() < 6'500'000)
        text += line;
    const TextFileFormat format = formatOf("CP932", false, LineEnding::CRLF);
    const QByteArray bytes = EncodeTextFile(text, formatOf("CP932")).bytes;
    QVERIFY(bytes.size() >= 10'000'000);

    QElapsedTimer timer;
    timer.start();
    const DecodedText decoded = DecodeTextFile(bytes);
    const qint64 decodeMs = timer.restart();
    const EncodedText encoded = EncodeTextFile(decoded.text, decoded.format);
    const qint64 encodeMs = timer.elapsed();
    QCOMPARE(decoded.format, format);
    QCOMPARE(encoded.bytes, bytes);
    // Speed is for the benchmarks; the figures are only shown.
    qInfo("decoded in %lld ms, encoded in %lld ms", decodeMs, encodeMs);
}

void TextEncodingTest::abandonedDecodingLeavesNothingBehind_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("abandoned");  // a letter iconv holds back, then a bad byte
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<QString>("text");
    QTest::newRow("CP1258") << QByteArray("CP1258") << QByteArray("Vi\x81") << QByteArray("t") << "t";
    QTest::newRow("CP1255") << QByteArray("CP1255") << QByteArray("\xE0\xFF") << QByteArray("\xE1")
                            << QString::fromUtf8("ב");
}

// Detection gives up on a candidate encoding at its first bad byte; the letter the
// converter held back then must not turn up at the start of the next text decoded.
void TextEncodingTest::abandonedDecodingLeavesNothingBehind()
{
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, abandoned);
    QFETCH(QByteArray, next);
    QFETCH(QString, text);
    QVERIFY(!DecodeBytes(abandoned, encoding, nullptr, true));
    QCOMPARE(DecodeBytes(next, encoding), std::optional<QString>(text));
}

QTEST_GUILESS_MAIN(TextEncodingTest)
#include "tst_text_encoding.moc"
