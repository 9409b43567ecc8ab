// Number <-> text conversions of the value dialogs.
#include "platform/text/Numbers.h"

#include <QTest>
#include <limits>

class NumbersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void floatToStrFormatsWithFifteenSignificantDigits_data();
    void floatToStrFormatsWithFifteenSignificantDigits();
    void floatToStrUsesTheGivenDecimalSeparator();
    void strToFloatAcceptsDecimalNumbersWithBlanksAround_data();
    void strToFloatAcceptsDecimalNumbersWithBlanksAround();
    void strToFloatRejectsEverythingElse_data();
    void strToFloatRejectsEverythingElse();
    void strToFloatHonoursTheSeparatorAndIgnoresTheProcessLocale();
    void formattedValuesParseBackToTheSameText();
};

void NumbersTest::floatToStrFormatsWithFifteenSignificantDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("page width") << 6.5 << "6.5";
    QTest::newRow("whole number") << 7.0 << "7";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("one third") << 1.0 / 3.0 << "0.333333333333333";
    QTest::newRow("32 px at 96 ppi") << 32.0 / 96.0 << "0.333333333333333";
    QTest::newRow("two thirds rounds") << 2.0 / 3.0 << "0.666666666666667";
    QTest::newRow("0.75") << 72.0 / 96.0 << "0.75";
    QTest::newRow("negative") << -0.25 << "-0.25";
    QTest::newRow("6.55") << 6.55 << "6.55";
    QTest::newRow("0.1 + 0.2 keeps 15 digits") << 0.1 + 0.2 << "0.3";
    QTest::newRow("smallest fixed") << 0.00001 << "0.00001";
    QTest::newRow("below fixed range") << 0.000001 << "1E-6";
    QTest::newRow("small with digits") << -0.0000015 << "-1.5E-6";
    QTest::newRow("fifteen integer digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("sixteen integer digits") << 1234567890123456.0 << "1.23456789012346E15";
    QTest::newRow("large") << 1e20 << "1E20";
    QTest::newRow("rounds up a digit") << 9.9999999999999999 << "10";
}

void NumbersTest::floatToStrFormatsWithFifteenSignificantDigits()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FloatToStr(value, QLatin1Char('.')), text);
}

void NumbersTest::floatToStrUsesTheGivenDecimalSeparator()
{
    QCOMPARE(FloatToStr(6.5, QLatin1Char(',')), QStringLiteral("6,5"));
    QCOMPARE(FloatToStr(1.5e-7, QLatin1Char(',')), QStringLiteral("1,5E-7"));
}

void NumbersTest::strToFloatAcceptsDecimalNumbersWithBlanksAround_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "7" << 7.0;
    QTest::newRow("decimal") << "6.55" << 6.55;
    QTest::newRow("blanks around") << "  6.5\t " << 6.5;
    QTest::newRow("plus sign") << "+1" << 1.0;
    QTest::newRow("minus") << "-0.25" << -0.25;
    QTest::newRow("leading separator") << ".5" << 0.5;
    QTest::newRow("trailing separator") << "2." << 2.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("upper exponent with sign") << "2.5E-2" << 0.025;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("underflow is zero") << "1e-400" << 0.0;
    QTest::newRow("15 digits") << "0.333333333333333" << 0.333333333333333;
}

void NumbersTest::strToFloatAcceptsDecimalNumbersWithBlanksAround()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(StrToFloat(text, QLatin1Char('.')), value);
}

void NumbersTest::strToFloatRejectsEverythingElse_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("letters") << "abc";
    QTest::newRow("number then letters") << "6.5in";
    QTest::newRow("two separators") << "1.2.3";
    QTest::newRow("other separator") << "1,5";
    QTest::newRow("sign only") << "-";
    QTest::newRow("double sign") << "--1";
    QTest::newRow("separator only") << ".";
    QTest::newRow("exponent without digits") << "1e";
    QTest::newRow("exponent without mantissa") << "e5";
    QTest::newRow("blank inside") << "6 .5";
    QTest::newRow("hexadecimal") << "0x10";
    QTest::newRow("infinity") << "inf";
    QTest::newRow("not a number") << "nan";
    QTest::newRow("overflow") << "1e400";
    QTest::newRow("full-width digits") << QString::fromUtf8("６．５");
}

void NumbersTest::strToFloatRejectsEverythingElse()
{
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat(text, QLatin1Char('.')));
}

void NumbersTest::strToFloatHonoursTheSeparatorAndIgnoresTheProcessLocale()
{
    QCOMPARE(StrToFloat(QStringLiteral("6,55"), QLatin1Char(',')), 6.55);
    QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat(QStringLiteral("6.55"), QLatin1Char(',')));
    try {
        StrToFloat(QStringLiteral("x1"), QLatin1Char('.'));
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("'x1'")));
    }
}

void NumbersTest::formattedValuesParseBackToTheSameText()
{
    for (double value : {6.5, 0.333333333333333, -24.0 / 96.0, 1e-9, 6.02214076e23}) {
        const QString text = FloatToStr(value, QLatin1Char('.'));
        QCOMPARE(FloatToStr(StrToFloat(text, QLatin1Char('.')), QLatin1Char('.')), text);
    }
}

QTEST_GUILESS_MAIN(NumbersTest)
#include "tst_numbers.moc"
