#include "platform/system/Fonts.h"

#include "platform/text/Charsets.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>
#include <fontconfig/fontconfig.h>
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

namespace {

// Gives a control its face first and the script font of its character set after it.
void ApplyFaceAndScript(QWidget* control, const QString& face, int charset)
{
    QFont font = control->font();
    QStringList families{face};
    const QString script = ScriptFontForCharset(charset);
    if (!script.isEmpty() && script != face)
        families << script;
    font.setFamilies(families);
    control->setFont(font);
}

} // namespace

QString ScriptFontForCharset(int charset)
{
    static QHash<int, QString> cache;
    const auto cached = cache.constFind(charset);
    if (cached != cache.cend())
        return *cached;
    QString family;
    const CharsetRow* row = FindCharset(charset);
    if (const char* language = row ? row->language : nullptr) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcLangSet* languages = FcLangSetCreate();
        FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>(language));
        FcPatternAddLangSet(pattern, FC_LANG, languages);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
            FcChar8* name = nullptr;
            FcLangSet* supported = nullptr;
            // Only a face that really covers the language is worth naming.
            if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch
                && FcPatternGetLangSet(match, FC_LANG, 0, &supported) == FcResultMatch
                && FcLangSetHasLang(supported, reinterpret_cast<const FcChar8*>(language)) == FcLangEqual)
                family = QString::fromUtf8(reinterpret_cast<const char*>(name));
            FcPatternDestroy(match);
        }
        FcLangSetDestroy(languages);
        FcPatternDestroy(pattern);
    }
    cache.insert(charset, family);
    return family;
}

QString ControlFontName(const QWidget* control)
{
    const QStringList families = control->font().families();
    return families.isEmpty() ? control->font().family() : families.first();
}

void SetControlFontName(QWidget* control, const QString& name)
{
    ApplyFaceAndScript(control, name, ControlCharset(control));
}

int ControlCharset(const QWidget* control)
{
    const QVariant value = control->property(kCharsetProperty);
    return value.isValid() ? value.toInt() : DEFAULT_CHARSET;
}

void SetControlCharset(QWidget* control, int charset)
{
    control->setProperty(kCharsetProperty, charset);
    ApplyFaceAndScript(control, ControlFontName(control), charset);
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

    QFont::insertSubstitutions(PGothicFace(), gothic);
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
    // Where foundries share a family name Qt lists each as "Name [Foundry]"; that is
    // not a face name the user knows or that is worth storing, so the name stands alone,
    // once, where its first foundry stood.
    QStringList families;
    QSet<QString> listed;
    for (QString family : QFontDatabase::families()) {
        const qsizetype bracket = family.lastIndexOf(QLatin1String(" ["));
        if (bracket > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(bracket);
        if (!listed.contains(family)) {
            listed.insert(family);
            families << family;
        }
    }
    return families;
}
