#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace {
const char* const kCharsetProperty = "tesserineCharset";
}

QFont FrameworkFont(const QString& name, int height)
{
    QFont font(name);
    font.setPixelSize(std::max(1, std::abs(height)));
    return font;
}

void SetControlFont(QWidget* control, const QString& name, int height, int charset)
{
    control->setFont(FrameworkFont(name, height));
    SetControlCharset(control, charset);
}

QString ControlFontName(const QWidget* control)
{
    return control->font().family();
}

void SetControlFontName(QWidget* control, const QString& name)
{
    QFont font = control->font();
    font.setFamily(name);
    control->setFont(font);
}

int ControlCharset(const QWidget* control)
{
    const QVariant value = control->property(kCharsetProperty);
    return value.isValid() ? value.toInt() : DEFAULT_CHARSET;
}

void SetControlCharset(QWidget* control, int charset)
{
    control->setProperty(kCharsetProperty, charset);
}

void InstallFontSubstitutions()
{
    const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                             QStringLiteral("IPAGothic")};
    const QStringList monoGothic{QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")};
    const QStringList mincho{QStringLiteral("IPAPMincho"), QStringLiteral("Noto Serif CJK JP"),
                             QStringLiteral("IPAMincho")};
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    const QStringList serif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};

    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"), gothic);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), gothic);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ ゴシック"), monoGothic);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), monoGothic);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐ明朝"), mincho);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ 明朝"), mincho);
    QFont::insertSubstitutions(QStringLiteral("System"), gothic);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial CYR"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), serif);
}

QStringList InstalledFontFamilies()
{
    return QFontDatabase::families();
}
