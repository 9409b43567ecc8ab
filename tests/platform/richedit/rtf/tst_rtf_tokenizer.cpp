// The RTF tokenizer on inline literals, token by token, and the keyword table.
#include "platform/richedit/rtf/RtfKeywords.h"
#include "platform/richedit/rtf/RtfTokenizer.h"

#include <QTest>
#include <string>

using namespace rtf;

namespace {

QString Describe(const Token& token)
{
    const QString text = QString::fromLatin1(token.text.data(), static_cast<qsizetype>(token.text.size()));
    switch (token.kind) {
    case TokenKind::GroupOpen: return QStringLiteral("{");
    case TokenKind::GroupClose: return QStringLiteral("}");
    case TokenKind::ControlWord:
        return QLatin1Char('\\') + text + (token.hasParameter ? QString::number(token.value) : QString());
    case TokenKind::ControlSymbol: return QStringLiteral("sym(%1)").arg(text);
    case TokenKind::HexByte: return QStringLiteral("hex(%1)").arg(token.value, 2, 16, QLatin1Char('0'));
    case TokenKind::Text: return QStringLiteral("text(%1)").arg(text);
    case TokenKind::Binary: return QStringLiteral("bin(%1)").arg(text);
    case TokenKind::End: return QStringLiteral("end");
    }
    return QString();
}

// Hands out its bytes one at a time, as a file read in pieces.
class ByteByByte : public ByteSource {
public:
    explicit ByteByByte(const QByteArray& bytes) : bytes_(bytes) {}
    std::size_t Read(char* out, std::size_t max) override
    {
        if (at_ >= bytes_.size() || max == 0)
            return 0;
        *out = bytes_[at_++];
        return 1;
    }

private:
    QByteArray bytes_;
    qsizetype at_ = 0;
};

// Every token up to the end, space-separated; stops after a bounded number so a
// tokenizer that stops advancing fails instead of hanging. From a source when
// fromSource, else from the bytes in memory.
QString Tokens(const QByteArray& input, bool fromSource = false)
{
    ByteByByte source(input);
    Tokenizer tokenizer = fromSource
        ? Tokenizer(source)
        : Tokenizer(std::string_view(input.constData(), static_cast<std::size_t>(input.size())));
    QStringList pieces;
    for (int i = 0; i < 10000; ++i) {
        const Token token = tokenizer.Next();
        if (token.kind == TokenKind::End)
            return pieces.join(QLatin1Char(' '));
        pieces.append(Describe(token));
    }
    return QStringLiteral("<does not end>");
}

} // namespace

class RtfTokenizerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tokensFollowTheSyntax_data();
    void tokensFollowTheSyntax();
    void tokensKnowTheirLineAndColumn();
    void hexRowsAreTakenWholeUpToTheFirstOtherToken();
    void keywordTableIsSortedWithoutDuplicates();
    void everyKeywordIsFoundAndNothingElse();
};

void RtfTokenizerTest::tokensFollowTheSyntax_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("expected");

    // Given a group with a control word and text, when tokenized, then each is one token
    // and the space after the word is its delimiter.
    QTest::newRow("group") << QByteArray("{\\rtf1 Hello}") << "{ \\rtf1 text(Hello) }";
    // Given two spaces after a word, then only the first is the delimiter.
    QTest::newRow("one delimiter") << QByteArray("\\b  x") << "\\b text( x)";
    // Given negative and positive parameters, then they belong to their words.
    QTest::newRow("parameters") << QByteArray("\\fi-360\\li720") << "\\fi-360 \\li720";
    // Given a '-' that no digit follows, then it is text.
    QTest::newRow("minus is text") << QByteArray("\\foo-bar") << "\\foo text(-bar)";
    // Given a letter right after the digits, then the parameter ends there.
    QTest::newRow("parameter ends at letter") << QByteArray("\\u945a") << "\\u945 text(a)";
    // Given \'hh escapes in either case, then each is one byte.
    QTest::newRow("hex bytes") << QByteArray("\\'82\\'A0") << "hex(82) hex(a0)";
    // Given \' without hex digits, then it is an unknown symbol and the rest text.
    QTest::newRow("bad hex") << QByteArray("\\'zz") << "sym(') text(zz)";
    // Given \' with one hex digit, then that digit is the byte.
    QTest::newRow("short hex") << QByteArray("\\'4x") << "hex(04) text(x)";
    // Given escaped backslash and braces, then they are text.
    QTest::newRow("escapes") << QByteArray("\\\\\\{\\}") << "text(\\) text({) text(})";
    // Given control symbols, then each is a symbol token.
    QTest::newRow("symbols") << QByteArray("\\~\\-\\_\\*") << "sym(~) sym(-) sym(_) sym(*)";
    // Given line breaks in text, then they split it and vanish.
    QTest::newRow("line breaks") << QByteArray("ab\r\ncd\ref\ngh") << "text(ab) text(cd) text(ef) text(gh)";
    // Given a backslash before a line break, then it is a paragraph break.
    QTest::newRow("backslash newline") << QByteArray("a\\\r\nb") << "text(a) \\par text(b)";
    // Given \bin with a length, then that many bytes are data, braces included.
    QTest::newRow("binary") << QByteArray("\\bin3 a}b c") << "bin(a}b) text( c)";
    // Given \bin longer than the input, then the data stops at the end.
    QTest::newRow("binary past end") << QByteArray("\\bin100 ab") << "bin(ab)";
    // Given \bin with a negative length, then there is no data.
    QTest::newRow("binary negative") << QByteArray("\\bin-5 x") << "bin() text(x)";
    // Given \bin without a parameter, then it is an ordinary word.
    QTest::newRow("binary without length") << QByteArray("\\bin x") << "\\bin text(x)";
    // Given a 40-letter word, then its name is cut to 32 letters.
    QTest::newRow("long keyword") << QByteArray("\\") + QByteArray(40, 'k') + "7 x"
                                  << QStringLiteral("\\") + QString(32, QLatin1Char('k')) + "7 text(x)";
    // Given parameters with many digits, then they are clamped.
    QTest::newRow("huge parameters") << QByteArray("\\fs99999999999999999999\\li-99999999999")
                                     << "\\fs2000000000 \\li-2000000000";
    // Given a backslash as the last byte, then it stands for nothing.
    QTest::newRow("trailing backslash") << QByteArray("a\\") << "text(a)";
    // Given a backslash before an 8-bit byte, then it is a symbol of that byte.
    QTest::newRow("eight-bit symbol") << QByteArray("\\\xe9x") << QString::fromLatin1("sym(\xe9) text(x)");
}

void RtfTokenizerTest::tokensFollowTheSyntax()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, expected);
    QCOMPARE(Tokens(input), expected);
    // Read from a source, the same input gives the same tokens.
    QCOMPARE(Tokens(input, true), expected);
}

void RtfTokenizerTest::tokensKnowTheirLineAndColumn()
{
    // Given tokens on two lines, when tokenized, then each knows where it starts.
    const QByteArray input("{\\rtf1\r\n  \\b x}");
    Tokenizer tokenizer(std::string_view(input.constData(), static_cast<std::size_t>(input.size())));
    const Token open = tokenizer.Next();
    const Token rtf = tokenizer.Next();
    const Token spaces = tokenizer.Next();
    const Token bold = tokenizer.Next();
    QCOMPARE(std::make_pair(open.line, open.column), std::make_pair(1, 1));
    QCOMPARE(std::make_pair(rtf.line, rtf.column), std::make_pair(1, 2));
    QCOMPARE(std::make_pair(spaces.line, spaces.column), std::make_pair(2, 1));
    QCOMPARE(std::make_pair(bold.line, bold.column), std::make_pair(2, 3));
}

void RtfTokenizerTest::hexRowsAreTakenWholeUpToTheFirstOtherToken()
{
    // Given a row of \'hh across a line break that ends in a one-digit escape, when
    // taken as a row, then it holds every two-digit byte, at most as many as asked,
    // and the tokens after it are read as before.
    const QByteArray input("\\'82\\'A0\r\n\\'82\\'a2\\'4zz\\par");
    Tokenizer tokenizer(std::string_view(input.constData(), static_cast<std::size_t>(input.size())));
    char bytes[8] = {};
    QCOMPARE(tokenizer.NextHexBytes(bytes, 1), std::size_t(1));
    QCOMPARE(tokenizer.NextHexBytes(bytes + 1, 7), std::size_t(3));
    QCOMPARE(QByteArray(bytes, 4), QByteArray("\x82\xa0\x82\xa2"));
    QStringList rest;
    for (Token token = tokenizer.Next(); token.kind != TokenKind::End; token = tokenizer.Next())
        rest << Describe(token);
    QCOMPARE(rest.join(QLatin1Char(' ')), QStringLiteral("hex(04) text(zz) \\par"));
    QCOMPARE(tokenizer.NextHexBytes(bytes, 8), std::size_t(0));
}

void RtfTokenizerTest::keywordTableIsSortedWithoutDuplicates()
{
    // Given the keyword table, then it is in byte order with each name once, as the
    // binary search needs.
    for (const Keyword* entry = KeywordsBegin() + 1; entry < KeywordsEnd(); ++entry)
        QVERIFY2(entry[-1].name < entry->name, std::string(entry->name).c_str());
}

void RtfTokenizerTest::everyKeywordIsFoundAndNothingElse()
{
    // Given every name of the table, then the lookup finds its own entry.
    for (const Keyword* entry = KeywordsBegin(); entry < KeywordsEnd(); ++entry)
        QCOMPARE(FindKeyword(entry->name), entry);
    // Given names that are not there (prefixes, unknown words, other case), then none.
    QCOMPARE(FindKeyword("pnlvlbl"), nullptr);
    QCOMPARE(FindKeyword("unknownword"), nullptr);
    QCOMPARE(FindKeyword("PAR"), nullptr);
    QCOMPARE(FindKeyword(""), nullptr);
    QCOMPARE(FindKeyword("~~"), nullptr);
}

QTEST_MAIN(RtfTokenizerTest)
#include "tst_rtf_tokenizer.moc"
