// The encoding and line-ending choices of the Open and Save As dialogs, through the
// real window, and the question before a save that an encoding cannot hold.
#include "document/EncodingChoices.h"
#include "platform/text/CodePages.h"
#include "platform/forms/NoticeBar.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kJohab = U("韓国語（Johab） (CP1361)");
const QString kShiftJis = QStringLiteral("Shift_JIS (CP932)");

const QString kKorean = U("오늘 아침에는 비가 많이 와서 버스를 타고 학교에 갔습니다. 버스 안은 사람이 너무 많아서 "
                          "창밖의 풍경을 거의 볼 수 없었습니다.\n학교에 도착한 후 저는 따뜻한 차를 한 잔 마시고 "
                          "오전 수업을 준비했습니다.");

// What a file dialog showed in its choices when it was answered.
struct ShownChoices {
    QString encoding;
    QString lineEnding;
    bool enabled = false;
};

// Answers a file dialog as a person would: picks the encoding and line ending by
// their labels (none when empty), then types path and presses Enter. Records what
// the dialog showed before anything was picked.
ModalAnswerer::Answer ChooseAndName(const QString& encoding, const QString& lineEnding, const QString& path,
                                    ShownChoices* shown = nullptr)
{
    return [=](QWidget* dialog) {
        auto* encodings = dialog->findChild<QComboBox*>(QStringLiteral("cbEncoding"));
        auto* lineEndings = dialog->findChild<QComboBox*>(QStringLiteral("cbLineEnding"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (shown) {
            shown->encoding = encodings ? encodings->currentText() : QStringLiteral("<none>");
            shown->lineEnding = lineEndings ? lineEndings->currentText() : QStringLiteral("<none>");
            shown->enabled = encodings && encodings->isEnabled();
        }
        name->selectAll();
        QTest::keyClicks(name, path);
        if (encodings && !encoding.isEmpty())
            encodings->setCurrentIndex(encodings->findText(encoding));
        if (lineEndings && !lineEnding.isEmpty())
            lineEndings->setCurrentIndex(lineEndings->findText(lineEnding));
        QTest::keyClick(name, Qt::Key_Return);
    };
}

QByteArray Encoded(const QString& text, const QByteArray& encoding)
{
    return EncodeString(text, encoding).value_or(QByteArray("<not encodable>"));
}

} // namespace

class EncodingChoicesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void everyListedEncodingRoundTripsTextOfItsScript_data();
    void everyListedEncodingRoundTripsTextOfItsScript();
    void unencodableCharactersAreCountedAndTheFirstNamed();
    void aWronglyDetectedFileIsReadAgainInTheEncodingChosen();
    void anUnsureReadingOffersTheOtherEncodingsInABar();
    void saveAsWritesTheEncodingAndLineEndingChosen();
    void anRtfNameDisablesTheChoicesAndIsWrittenAsRtf();
    void aSaveThatTheEncodingCannotHoldAsksFirst();
    void aDamagedUtf16FileIsSavedBackByteForByte();

private:
    // Opens path through the Open dialog; warns: the file's bytes do not all decode.
    void open(const QString& path, const QString& encoding, ShownChoices* shown = nullptr, bool warns = false);
    void saveAs(const QString& path, const QString& encoding, const QString& lineEnding, ShownChoices* shown = nullptr);
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void EncodingChoicesTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    form_->RichEdit1->setFocus();
}

void EncodingChoicesTest::cleanup()
{
    fixture_.reset();
    QCOMPARE(VisibleTopLevelCount(), 0);
}

void EncodingChoicesTest::open(const QString& path, const QString& encoding, ShownChoices* shown, bool warns)
{
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("OpenDialog"), ChooseAndName(encoding, QString(), path, shown));
    if (warns)
        answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
}

void EncodingChoicesTest::saveAs(const QString& path, const QString& encoding, const QString& lineEnding,
                                 ShownChoices* shown)
{
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SaveDialog"), ChooseAndName(encoding, lineEnding, path, shown));
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
}

void EncodingChoicesTest::everyListedEncodingRoundTripsTextOfItsScript_data()
{
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<bool>("byteOrderMark");
    QTest::addColumn<QString>("text");
    const QHash<QByteArray, QString> samples = {
        {"UTF-8", U("日本語 한국어 Ελληνικά العربية 😀")},
        {"UTF-16LE", U("日本語 한국어 Ελληνικά العربية 😀")},
        {"UTF-16BE", U("日本語 한국어 Ελληνικά العربية 😀")},
        {"CP932", U("日本語のテキスト、ｶﾀｶﾅと①Ⅱ")},
        {"EUC-JP", U("日本語のテキスト、漢字とかな")},
        {"ISO-2022-JP", U("日本語のテキスト abc かな")},
        {"CP949", kKorean},
        {"CP1361", kKorean},
        {"CP936", U("简体中文的文本")},
        {"CP950", U("繁體中文的文本")},
        {"CP1253", U("Ελληνικό κείμενο")},
        {"CP1254", U("Türkçe metin: ğüşıöç İĞ")},
        {"CP1258", U("Tiếng Việt có dấu: Việt Nam, đường phố")},
        {"CP1255", U("טקסט בעברית")},
        {"CP1256", U("نص باللغة العربية")},
        {"CP1257", U("Lietuvių kalba: ąčęėįšųūž")},
        {"CP1251", U("Русский текст")},
        {"CP874", U("ข้อความภาษาไทย")},
        {"CP1250", U("Čeština a polski: łóźż ěščř")},
        {"GB18030", U("简体中文的文本 𠀀")},
        {"BIG5-HKSCS", U("繁體中文的文本，香港字：嘅咗")},
        {"ISO-8859-7", U("Ελληνικό κείμενο")},
        {"ISO-8859-9", U("Türkçe metin: ğüşıöç İĞ")},
        {"ISO-8859-8", U("טקסט בעברית")},
        {"ISO-8859-6", U("نص باللغة العربية")},
        {"ISO-8859-13", U("Lietuvių kalba: ąčęėįšųūž")},
        {"ISO-8859-4", U("Lietuvių kalba: ąčęėįšųūž")},
        {"KOI8-R", U("Русский текст")},
        {"KOI8-U", U("Український текст: ґєії")},
        {"CP866", U("Русский текст")},
        {"ISO-8859-5", U("Русский текст")},
        {"ISO-8859-2", U("Čeština a polski: łóźż ěščř")},
        {"CP1252", U("Français, Deutsch: „Grüße“ – 5 €")},
        {"ISO-8859-1", U("Français, Deutsch: Grüße ¿qué?")},
        {"ISO-8859-15", U("Français: 5 € œuvre")},
    };
    for (const EncodingChoice& choice : NamedEncodings()) {
        QVERIFY2(samples.contains(choice.format.encoding), choice.format.encoding.constData());
        QTest::newRow(qPrintable(choice.label)) << choice.format.encoding << choice.format.byteOrderMark
                                                << samples.value(choice.format.encoding) + U("\nline 2\n");
    }
}

void EncodingChoicesTest::everyListedEncodingRoundTripsTextOfItsScript()
{
    QFETCH(QByteArray, encoding);
    QFETCH(bool, byteOrderMark);
    QFETCH(QString, text);
    TextFileFormat format;
    format.encoding = encoding;
    format.byteOrderMark = byteOrderMark;
    format.lineEnding = LineEnding::CRLF;
    const EncodedText encoded = EncodeTextFile(text, format);
    QVERIFY(!encoded.fellBackToUtf8);
    QCOMPARE(FindUnencodableCharacters(text, encoding).count, 0);
    const DecodedText decoded = DecodeTextFile(encoded.bytes, encoding);
    QCOMPARE(decoded.text, text);
    QVERIFY(!decoded.hadUndecodableBytes);
    QCOMPARE(decoded.format, format);
}

void EncodingChoicesTest::unencodableCharactersAreCountedAndTheFirstNamed()
{
    const QString text = U("日本語 한국어 😀 end");
    const UnencodableCharacters inShiftJis = FindUnencodableCharacters(text, "CP932");
    QCOMPARE(inShiftJis.count, 4);  // three Hangul syllables and one character outside the BMP
    QCOMPARE(inShiftJis.first, char32_t(0xD55C));
    const UnencodableCharacters inKorean = FindUnencodableCharacters(text, "CP949");
    QCOMPARE(inKorean.count, 1);
    QCOMPARE(inKorean.first, char32_t(0x1F600));
    QCOMPARE(FindUnencodableCharacters(text, "UTF-8").count, 0);
    QCOMPARE(FindUnencodableCharacters(text, "UTF-16BE").count, 0);
}

void EncodingChoicesTest::aWronglyDetectedFileIsReadAgainInTheEncodingChosen()
{
    // Johab read as the other Korean encoding is a wrong text.
    const QString path = dir_.filePath(QStringLiteral("johab.txt"));
    const QByteArray bytes = Encoded(kKorean, "CP1361");
    QVERIFY(WriteTestFile(path, bytes));
    ShownChoices shown;
    open(path, U("韓国語（Wansung） (CP949)"), &shown, true);
    QCOMPARE(shown.encoding, U("自動判別"));
    QVERIFY(form_->RichEdit1->Text() != kKorean);
    QVERIFY(form_->EncodingBar->isHidden());

    open(path, kJohab);
    QCOMPARE(form_->RichEdit1->Text(), kKorean);
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(!form_->RichEdit1->Modified());

    // The document stays in Johab: an edit is saved in it, and Save As proposes it.
    form_->RichEdit1->SetSelStart(0);
    TypeText(form_->RichEdit1, U("새 "));
    form_->FileSave1Execute();
    QCOMPARE(ReadTestFile(path), Encoded(U("새 ") + kKorean, "CP1361"));
    const QString copy = dir_.filePath(QStringLiteral("copy.txt"));
    saveAs(copy, QString(), QString(), &shown);
    QCOMPARE(shown.encoding, kJohab);
    QCOMPARE(shown.lineEnding, QStringLiteral("LF"));
    QCOMPARE(ReadTestFile(copy), ReadTestFile(path));

    // The next Open detects again, and tells Johab.
    open(path, QString(), &shown);
    QCOMPARE(shown.encoding, U("自動判別"));
    QCOMPARE(form_->RichEdit1->Text(), U("새 ") + kKorean);
}

void EncodingChoicesTest::anUnsureReadingOffersTheOtherEncodingsInABar()
{
    // Kanji in Shift_JIS whose bytes are valid UTF-8 as well.
    const QString path = dir_.filePath(QStringLiteral("kana.txt"));
    QVERIFY(WriteTestFile(path, Encoded(U("閾値"), "CP932")));
    open(path, QString());
    QVERIFY(form_->EncodingBar->isVisible());
    const QString read = EncodingLabel(form_->RichEdit1->PlainTextFormat);
    QVERIFY2(form_->EncodingBar->Message().contains(read), qPrintable(form_->EncodingBar->Message()));
    QPushButton* shiftJis = nullptr;
    for (QPushButton* button : form_->EncodingBar->findChildren<QPushButton*>()) {
        if (button->text() == kShiftJis)
            shiftJis = button;
    }
    QVERIFY2(shiftJis, qPrintable(form_->RichEdit1->Text()));
    QTest::mouseClick(shiftJis, Qt::LeftButton);
    // Read again as the Open dialog's choice reads it: no second-guessing, no bar.
    QTRY_COMPARE(form_->RichEdit1->Text(), U("閾値"));
    QCOMPARE(form_->RichEdit1->PlainTextFormat.encoding, QByteArray("CP932"));
    QVERIFY(form_->EncodingBar->isHidden());
    QVERIFY(!form_->RichEdit1->Modified());

    // The bar speaks of the file as read: an edit closes it.
    open(path, QString());
    QVERIFY(form_->EncodingBar->isVisible());
    TypeText(form_->RichEdit1, U("x"));
    QVERIFY(form_->EncodingBar->isHidden());

    // A file read with certainty shows nothing.
    const QString sure = dir_.filePath(QStringLiteral("sure.txt"));
    QVERIFY(WriteTestFile(sure, Encoded(U("日本語のテキストです。これは確かに読める長さの文章です。"), "CP932")));
    ModalAnswerer answerer;
    answerer.expectMessageBox(QString::fromUtf8("ワードプロセッサ"), Qt::Key_N);
    answerer.expectDialog(QStringLiteral("OpenDialog"), ChooseAndName(QString(), QString(), sure));
    form_->FileOpen1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(form_->RichEdit1->PlainTextFormat.encoding, QByteArray("CP932"));
    QVERIFY(form_->EncodingBar->isHidden());
}

void EncodingChoicesTest::saveAsWritesTheEncodingAndLineEndingChosen()
{
    form_->RichEdit1->SetSelText(U("日本語の行\nもう一行"));
    const QString sjis = dir_.filePath(QStringLiteral("sjis.txt"));
    ShownChoices shown;
    saveAs(sjis, kShiftJis, QStringLiteral("CRLF"), &shown);
    // A new document proposes UTF-8 with LF.
    QCOMPARE(shown.encoding, QStringLiteral("UTF-8"));
    QCOMPARE(shown.lineEnding, QStringLiteral("LF"));
    QCOMPARE(ReadTestFile(sjis), Encoded(U("日本語の行\r\nもう一行"), "CP932"));
    QVERIFY(!form_->RichEdit1->Modified());

    // The document is now Shift_JIS with CRLF, and Save As proposes that.
    const QString utf16 = dir_.filePath(QStringLiteral("utf16.txt"));
    saveAs(utf16, QStringLiteral("UTF-16BE"), QStringLiteral("CR"), &shown);
    QCOMPARE(shown.encoding, kShiftJis);
    QCOMPARE(shown.lineEnding, QStringLiteral("CRLF"));
    QCOMPARE(ReadTestFile(utf16), QByteArray("\xFE\xFF", 2) + Encoded(U("日本語の行\rもう一行"), "UTF-16BE"));
    QCOMPARE(ReadTestFile(sjis), Encoded(U("日本語の行\r\nもう一行"), "CP932"));
}

void EncodingChoicesTest::anRtfNameDisablesTheChoicesAndIsWrittenAsRtf()
{
    TypeText(form_->RichEdit1, U("日本語"));
    const QString path = dir_.filePath(QStringLiteral("doc.rtf"));
    ShownChoices shown;
    bool enabledForText = false;
    bool enabledForRtf = true;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SaveDialog"), [&](QWidget* dialog) {
        auto* encodings = dialog->findChild<QComboBox*>(QStringLiteral("cbEncoding"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        shown.enabled = encodings->isEnabled();  // Untitled.rtf is proposed
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("notes.txt"));
        enabledForText = encodings->isEnabled();
        encodings->setCurrentIndex(encodings->findText(QStringLiteral("UTF-16LE")));
        name->selectAll();
        QTest::keyClicks(name, path);
        enabledForRtf = encodings->isEnabled();
        QTest::keyClick(name, Qt::Key_Return);
    });
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(!shown.enabled);
    QVERIFY(enabledForText);
    QVERIFY(!enabledForRtf);
    QVERIFY(ReadTestFile(path).startsWith("{\\rtf1"));
    QVERIFY(!form_->RichEdit1->PlainText);
}

void EncodingChoicesTest::aSaveThatTheEncodingCannotHoldAsksFirst()
{
    const QString text = U("日本語 한국어 😀");
    TypeText(form_->RichEdit1, text);
    const QString path = dir_.filePath(QStringLiteral("mixed.txt"));

    // No: nothing is written and the document keeps its name, format and flag.
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SaveDialog"), ChooseAndName(kShiftJis, QString(), path))
        .expectMessageBox(QStringLiteral("確認"), Qt::Key_N);
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    const QString question = answerer.messageTexts().last();
    QVERIFY2(question.contains(QStringLiteral(" 4 ")) && question.contains(U("「한」")) && question.contains(kShiftJis),
             qPrintable(question));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(form_->DocumentFileName, QString());
    QVERIFY(form_->RichEdit1->Modified());
    QCOMPARE(form_->RichEdit1->PlainTextFormat.encoding, QByteArray("UTF-8"));

    // Yes: the whole text is saved in UTF-8, which the document keeps.
    answerer.expectDialog(QStringLiteral("SaveDialog"), ChooseAndName(kShiftJis, QString(), path))
        .expectMessageBox(QStringLiteral("確認"), Qt::Key_Y);
    form_->FileSaveAs1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(ReadTestFile(path), text.toUtf8());
    QCOMPARE(form_->DocumentFileName, path);
    QVERIFY(!form_->RichEdit1->Modified());

    // Save of a file read in Cyrillic asks too; No leaves the file as it was.
    const QString cyrillic = dir_.filePath(QStringLiteral("cyrillic.txt"));
    const QByteArray original = Encoded(U("Русский текст, который легко определить по буквам.\n"), "CP1251");
    QVERIFY(WriteTestFile(cyrillic, original));
    open(cyrillic, U("キリル文字 (CP1251)"));
    TypeText(form_->RichEdit1, U("日本"));
    answerer.expectMessageBox(QStringLiteral("確認"), Qt::Key_N);
    form_->FileSave1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2(answerer.messageTexts().last().contains(U(" 2 ")) && answerer.messageTexts().last().contains(U("「日」")),
             qPrintable(answerer.messageTexts().last()));
    QCOMPARE(ReadTestFile(cyrillic), original);
    QVERIFY(form_->RichEdit1->Modified());
}

// UTF-16 without a mark, with a lone surrogate and half a code unit at the end: it
// opens without a question, and Save and Save As in its encoding write its bytes back
// through the document; Save As in another encoding leaves the half unit out.
void EncodingChoicesTest::aDamagedUtf16FileIsSavedBackByteForByte()
{
    const QByteArray bytes("H\0i\0\x00\xD8\r\0\n\0X", 11);
    const QString path = dir_.filePath(QStringLiteral("damaged.txt"));
    QVERIFY(WriteTestFile(path, bytes));
    open(path, QString());
    QCOMPARE(form_->RichEdit1->Text(), QStringView(u"Hi\xD800\n").toString());

    form_->FileSave1Execute();
    QCOMPARE(ReadTestFile(path), bytes);

    const QString copy = dir_.filePath(QStringLiteral("damaged-copy.txt"));
    ShownChoices shown;
    saveAs(copy, QString(), QString(), &shown);
    QCOMPARE(shown.encoding, U("UTF-16LE (BOMなし)"));
    QCOMPARE(shown.lineEnding, QStringLiteral("CRLF"));
    QCOMPARE(ReadTestFile(copy), bytes);

    const QString bigEndian = dir_.filePath(QStringLiteral("damaged-big-endian.txt"));
    saveAs(bigEndian, QStringLiteral("UTF-16BE"), QString());
    QCOMPARE(ReadTestFile(bigEndian), QByteArray("\xFE\xFF\0H\0i\xD8\x00\0\r\0\n", 12));
}

QTEST_MAIN(EncodingChoicesTest)
#include "tst_encoding_choices.moc"
