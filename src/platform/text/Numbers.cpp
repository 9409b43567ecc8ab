#include "platform/text/Numbers.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <string>

EConvertError::EConvertError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

QChar UserDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point.isEmpty() ? QChar('.') : point.at(0);
}

namespace {

// Digits and decimal exponent of |value| rounded to 15 significant digits:
// value = 0.d1d2d3... * 10^exponent, trailing zeros removed.
void SignificantDigits(double value, std::string& digits, int& exponent)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    // buffer: "d.dddddddddddddde±XX"
    const std::string text(buffer);
    const std::size_t e = text.find('e');
    digits = text.substr(0, 1) + text.substr(2, e - 2);
    exponent = std::atoi(text.c_str() + e + 1) + 1;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
}

} // namespace

QString FloatToStr(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0.0)
        return QStringLiteral("0");

    std::string digits;
    int exponent = 0;
    SignificantDigits(value, digits, exponent);

    QString result;
    if (value < 0)
        result += QLatin1Char('-');
    const int count = static_cast<int>(digits.size());
    const bool fixed = exponent <= 15 && std::fabs(value) >= 0.00001;
    if (fixed) {
        if (exponent <= 0) {
            result += QLatin1Char('0');
            result += decimalSeparator;
            result += QString(-exponent, QLatin1Char('0'));
            result += QString::fromLatin1(digits.c_str());
        } else if (count <= exponent) {
            result += QString::fromLatin1(digits.c_str());
            result += QString(exponent - count, QLatin1Char('0'));
        } else {
            result += QString::fromLatin1(digits.c_str(), exponent);
            result += decimalSeparator;
            result += QString::fromLatin1(digits.c_str() + exponent);
        }
    } else {
        result += QLatin1Char(digits[0]);
        if (count > 1) {
            result += decimalSeparator;
            result += QString::fromLatin1(digits.c_str() + 1);
        }
        result += QLatin1Char('E');
        result += QString::number(exponent - 1);
    }
    return result;
}

double StrToFloat(const QString& text, QChar decimalSeparator)
{
    const auto reject = [&text]() {
        return EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    };

    const QString s = text.trimmed();
    std::string ascii;
    int i = 0;
    const int n = s.size();
    const auto takeSign = [&]() {
        if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
            ascii += static_cast<char>(s[i++].unicode());
    };
    const auto takeDigits = [&]() {
        int count = 0;
        for (; i < n && s[i] >= QLatin1Char('0') && s[i] <= QLatin1Char('9'); ++i, ++count)
            ascii += static_cast<char>(s[i].unicode());
        return count;
    };

    takeSign();
    int mantissaDigits = takeDigits();
    if (i < n && s[i] == decimalSeparator) {
        ascii += '.';
        ++i;
        mantissaDigits += takeDigits();
    }
    if (mantissaDigits == 0)
        throw reject();
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        ascii += 'e';
        ++i;
        takeSign();
        if (takeDigits() == 0)
            throw reject();
    }
    if (i != n)
        throw reject();

    // from_chars reads '.' whatever the process locale says; it takes no '+'.
    const bool negative = !ascii.empty() && ascii[0] == '-';
    const std::size_t begin = (!ascii.empty() && (ascii[0] == '+' || ascii[0] == '-')) ? 1 : 0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data() + begin, ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small for a double is zero; too large is not a value.
        if (ascii.find("e-") == std::string::npos)
            throw reject();
        value = 0.0;
    } else if (error != std::errc() || end != ascii.data() + ascii.size()) {
        throw reject();
    }
    return negative ? -value : value;
}
