#pragma once
// Number <-> text conversion for the value dialogs: general format with at most
// 15 significant digits and the user's decimal separator.
#include <QChar>
#include <QString>
#include <stdexcept>

// Raised by StrToFloat for text that is not a decimal number.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message);
};

// The decimal separator of the user's locale.
QChar UserDecimalSeparator();

// Formats value with at most 15 significant digits: fixed notation when the value is
// at least 0.00001 in magnitude and has at most 15 digits before the separator,
// scientific ("1E-6", "1.5E20") otherwise; no trailing zeros, "-0" prints as "0".
QString FloatToStr(double value, QChar decimalSeparator = UserDecimalSeparator());

// Parses an optional sign, digits with at most one separator, and an optional
// exponent; blanks around the number are allowed. Throws EConvertError for any
// other text, the empty text, and values beyond the range of a double.
double StrToFloat(const QString& text, QChar decimalSeparator = UserDecimalSeparator());
