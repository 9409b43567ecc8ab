#pragma once
// Fonts as the program describes them: a face name, a height in the classic sense
// (negative: character height in pixels) and a character-set code. Qt fonts carry no
// character set, so controls keep it beside their font.
#include <QFont>
#include <QString>

class QWidget;

enum FontCharset {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SHIFTJIS_CHARSET = 128,
    RUSSIAN_CHARSET = 204,
};

// The Japanese proportional Gothic face that forms and their captions are set in; it is
// mapped onto an installed Gothic face (see InstallFontSubstitutions).
inline QString PGothicFace()
{
    return QString::fromUtf8("ＭＳ Ｐゴシック");
}

// A QFont for face name and height. The requested family name is kept as given, so
// reading it back gives the same name even when the face is not installed.
QFont FrameworkFont(const QString& name, int height);

// The installed face that fontconfig finds best for the script of a character set
// (Hangul for 129, Thai for 222, simplified Han for 134, ...); empty for character sets
// that name no script.
QString ScriptFontForCharset(int charset);

// Sets a control's font and the character set it shows its text in. The control draws
// with the named face and, for characters that face lacks, the script font of its
// character set.
void SetControlFont(QWidget* control, const QString& name, int height, int charset);
QString ControlFontName(const QWidget* control);
void SetControlFontName(QWidget* control, const QString& name);
int ControlCharset(const QWidget* control);
void SetControlCharset(QWidget* control, int charset);

// Maps the face names of the classic desktop onto installed look-alikes (Japanese
// gothic faces onto IPA fonts, Arial onto Liberation Sans, ...). Called once at start.
void InstallFontSubstitutions();

// The face names of the installed fonts in Qt's alphabetical order, each once, also
// when several foundries make a face of that name.
QStringList InstalledFontFamilies();
