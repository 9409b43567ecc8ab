// Detection of plain-text encodings on short and hard samples: the exact text back, or
// at least a word that detection is unsure with the right encoding offered.
#include "platform/text/CodePages.h"
#include "platform/text/TextEncoding.h"
#include "platform/text/Utf8Literal.h"

#include <QTest>

namespace {

QByteArray encoded(const QString& text, const QByteArray& encoding)
{
    bool littleEndian = false;
    if (encoding == "UTF-16LE" || encoding == "UTF-16BE") {
        littleEndian = encoding == "UTF-16LE";
        QByteArray out;
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
            out.append(littleEndian ? low : high).append(littleEndian ? high : low);
        }
        return out;
    }
    return EncodeString(text, encoding).value_or(QByteArray());
}

DetectionHints japaneseDesktop()
{
    DetectionHints hints;
    hints.localeGroup = int(LanguageGroup::Japanese);
    return hints;
}

}  // namespace

class EncodingDetectionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsHardSamples_data();
    void readsHardSamples();
    void iso2022JpIsSavedBackByteForByte_data();
    void iso2022JpIsSavedBackByteForByte();
    void aLongTextIsReadWithoutDoubt();
    void anEncodingGivenIsNeverDoubted();
};

void EncodingDetectionTest::readsHardSamples_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoding");
    // Right: the exact text must come back. Otherwise detection may instead say it is
    // unsure and offer the right encoding.
    QTest::addColumn<bool>("mustBeRight");

    const QString japanese = U("設定ファイルを読み込めませんでした");
    QTest::newRow("short CP932") << japanese << QByteArray("CP932") << true;
    QTest::newRow("short EUC-JP") << japanese << QByteArray("EUC-JP") << true;
    QTest::newRow("16-byte CP932") << U("保存しますか？") << QByteArray("CP932") << true;
    QTest::newRow("16-byte EUC-JP") << U("保存しますか？") << QByteArray("EUC-JP") << true;
    // CP932 bytes that are valid UTF-8 as well.
    QTest::newRow("CP932 valid as UTF-8") << U("閾値") << QByteArray("CP932") << false;
    QTest::newRow("half-width kana valid as UTF-8") << U("ﾌｪﾛｰ") << QByteArray("CP932") << false;
    QTest::newRow("half-width kana among kanji") << U("接続ｴﾗｰ: ﾌｧｲﾙが見つかりません") << QByteArray("CP932") << true;
    // Old programs wrote whole messages in half-width katakana; read as CP1251 they are
    // capitals and signs.
    QTest::newRow("half-width kana sentence") << U("ﾌｧｲﾙｦ ﾋﾗｸ ｺﾄｶﾞ ﾃﾞｷﾏｾﾝ") << QByteArray("CP932") << true;
    QTest::newRow("half-width kana word") << U("ｺﾝﾋﾟｭｰﾀ ｴﾗｰ") << QByteArray("CP932") << true;
    QTest::newRow("short CP936") << U("无法打开文件：权限不足") << QByteArray("CP936") << true;
    QTest::newRow("short CP950") << U("無法開啟檔案：權限不足") << QByteArray("CP950") << true;
    QTest::newRow("short CP949") << U("파일을 열 수 없습니다") << QByteArray("CP949") << true;
    QTest::newRow("Johab") << U("파일을 열 수 없습니다. 권한이 없거나 파일이 손상되었습니다.") << QByteArray("CP1361")
                           << true;
    QTest::newRow("KOI8-U Ukrainian") << U("Не вдалося відкрити файл: їжак, єнот і ґава") << QByteArray("KOI8-U")
                                      << true;
    QTest::newRow("KOI8-R Russian") << U("Не удалось открыть файл настроек") << QByteArray("KOI8-R") << true;
    QTest::newRow("CP866 Russian") << U("Не удалось открыть файл настроек") << QByteArray("CP866") << true;
    QTest::newRow("short CP1251") << U("Открыть файл") << QByteArray("CP1251") << true;
    QTest::newRow("short CP874") << U("ไม่สามารถเปิดแฟ้มได้") << QByteArray("CP874") << true;
    QTest::newRow("short CP1252") << U("Impossible d'ouvrir le fichier «été»") << QByteArray("CP1252") << true;
    QTest::newRow("short CP1250") << U("Nie można otworzyć pliku źródłowego") << QByteArray("CP1250") << true;
    QTest::newRow("short CP1253") << U("Αδυναμία ανοίγματος αρχείου") << QByteArray("CP1253") << true;
    QTest::newRow("short CP1255") << U("לא ניתן לפתוח את הקובץ") << QByteArray("CP1255") << true;
    QTest::newRow("short CP1256") << U("تعذر فتح الملف المطلوب") << QByteArray("CP1256") << true;
    QTest::newRow("short CP1257") << U("Nepavyko atverti failo „žodis“") << QByteArray("CP1257") << true;
    // Lithuanian's ų is Czech's ř in CP1250: which letters it follows and precedes tell.
    QTest::newRow("CP1257 word among ASCII") << U("„Dell USB Multimedia“\n„Dexxa Wireless Desktop“\nMaldyviečių")
                                             << QByteArray("CP1257") << true;
    QTest::newRow("short CP1257 Latvian") << U("Nederīgi parametri") << QByteArray("CP1257") << true;
    QTest::newRow("CP1257 endings") << U("Italų („Dvorak“)\nVokiečių (Šveicarija)") << QByteArray("CP1257") << true;
    // One letter beyond ASCII, repeated: Ukrainian і is Polish ł in CP1250.
    QTest::newRow("one Cyrillic letter") << U("і when_clause:\nі") << QByteArray("CP1251") << false;
    // One Cyrillic letter, repeated, is a Hebrew one in CP1255: unsure, however often.
    QTest::newRow("one letter repeated") << U("18-е\n19-е\n1-е\n20-е\n21-е\n22-е\n23-е\n24-е\n25-е\n26-е\n27-е")
                                         << QByteArray("CP1251") << false;
    // Paper sizes with × that the Baltic catalogs write the most, then Turkish names.
    QTest::newRow("CP1254 after signs") << U("A3×5\nA3×6\nA4×3\nA4×4\nA4×5\nA4×6\nYönetici\nSürekli Form Avrupa\n"
                                             "İndeks 3x5\nİndeks 4x6 (kartpostal)\nDavet Zarfı\nİtalyan Zarfı\n"
                                             "Büyük Fotoğraf\nKişisel Zarf")
                                        << QByteArray("CP1254") << true;
    QTest::newRow("short CP1254") << U("Dosya açılamadı: izin yok") << QByteArray("CP1254") << true;
    QTest::newRow("short CP1258") << U("Không thể mở tập tin") << QByteArray("CP1258") << true;
    // UTF-16 without a mark, line break or Latin letter: only the high bytes tell.
    const struct {
        const char* name;
        const char* text;
    } scripts[] = {
        {"Greek", "Αδυναμία ανοίγματος αρχείου"},
        {"Cyrillic", "Не удалось открыть файл"},
        {"Thai", "ไม่สามารถเปิดแฟ้มได้"},
        {"Arabic", "تعذر فتح الملف المطلوب"},
        {"Hebrew", "לא ניתן לפתוח את הקובץ"},
        {"Japanese", "設定ファイルを読み込めませんでした"},
        {"Korean", "파일을 열 수 없습니다"},
    };
    for (const auto& script : scripts) {
        for (const char* order : {"UTF-16LE", "UTF-16BE"})
            QTest::addRow("%s %s without mark", script.name, order) << U(script.text) << QByteArray(order) << true;
    }
}

void EncodingDetectionTest::readsHardSamples()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoding);
    QFETCH(bool, mustBeRight);
    const QByteArray bytes = encoded(text, encoding);
    QVERIFY(!bytes.isEmpty());
    const DecodedText decoded = DecodeTextFile(bytes, japaneseDesktop());
    if (decoded.text == text) {
        QVERIFY(!decoded.hadUndecodableBytes);
        return;
    }
    const QString wrong = QStringLiteral("read as %1: %2").arg(QString::fromLatin1(decoded.format.encoding), decoded.text);
    QVERIFY2(!mustBeRight, qPrintable(wrong));
    // A wrong text is never shown without a word, and the right one is a click away.
    QVERIFY2(decoded.unsure, qPrintable(wrong));
    QVERIFY2(decoded.alternatives.contains(encoding), decoded.alternatives.join(' ').constData());
}

void EncodingDetectionTest::iso2022JpIsSavedBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoding");
    // As mail and news write it: JIS X 0208 in, ASCII out before each line break.
    QTest::newRow("mail") << QByteArray("\x1B$BF|K\\8l$N%F%-%9%H\x1B(B abc\r\n\x1B$B<!$N9T\x1B(B\r\n")
                          << U("日本語のテキスト abc\n次の行\n") << QByteArray("ISO-2022-JP");
    QTest::newRow("no line break") << QByteArray("\x1B$B$3$s$K$A$O\x1B(B") << U("こんにちは") << QByteArray("ISO-2022-JP");
    // JIS X 0212 is beyond ISO-2022-JP.
    QTest::newRow("JIS X 0212") << QByteArray("\x1B$(D\x30\x21\x1B(B") << U("丂") << QByteArray("ISO-2022-JP-2");
}

void EncodingDetectionTest::iso2022JpIsSavedBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, encoding);
    const DecodedText decoded = DecodeTextFile(bytes);
    QCOMPARE(decoded.format.encoding, encoding);
    QCOMPARE(decoded.text, text);
    QVERIFY(!decoded.unsure);
    QCOMPARE(EncodeTextFile(decoded.text, decoded.format).bytes, bytes);
}

void EncodingDetectionTest::aLongTextIsReadWithoutDoubt()
{
    const QString text = U("設定ファイルを読み込めませんでした。ファイルが壊れているか、読み取りの権限がありません。\n"
                           "既定の設定で起動します。設定を保存すると、ファイルは新しく作り直されます。\n");
    for (const QByteArray encoding : {"CP932", "EUC-JP"}) {
        const DecodedText decoded = DecodeTextFile(encoded(text, encoding), japaneseDesktop());
        QCOMPARE(decoded.text, text);
        QVERIFY(!decoded.unsure);
    }
}

void EncodingDetectionTest::anEncodingGivenIsNeverDoubted()
{
    const QByteArray bytes = encoded(U("閾値"), "CP932");
    const DecodedText decoded = DecodeTextFile(bytes, QByteArray("CP932"));
    QCOMPARE(decoded.text, U("閾値"));
    QVERIFY(!decoded.unsure);
    QVERIFY(decoded.alternatives.isEmpty());
}

QTEST_GUILESS_MAIN(EncodingDetectionTest)
#include "tst_encoding_detection.moc"
