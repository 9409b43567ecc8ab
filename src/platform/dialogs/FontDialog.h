#pragma once
// The font dialog: face, style (bold, italic), size, underline, strikeout, colour and
// the script (character set) of a font, in Japanese.
#include "platform/richedit/TextAttributes.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

class TFontDialog : public QDialog {
    Q_OBJECT
public:
    TFontDialog(QWidget* owner, const QString& name);

    // The font shown when the dialog opens, and the one chosen after OK.
    TFontSpec Font;
    // Shows the dialog modally; true when the user confirmed it.
    bool Execute();

    QFontComboBox* FaceBox() const { return face_; }
    QSpinBox* SizeBox() const { return size_; }
    QCheckBox* BoldBox() const { return bold_; }
    QCheckBox* ItalicBox() const { return italic_; }
    QCheckBox* UnderlineBox() const { return underline_; }
    QCheckBox* StrikeOutBox() const { return strikeOut_; }
    QComboBox* ColorBox() const { return color_; }
    QComboBox* ScriptBox() const { return script_; }

private:
    void Load(const TFontSpec& font);
    TFontSpec Read() const;
    void UpdateSample();

    QFontComboBox* face_;
    QSpinBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeOut_;
    QComboBox* color_;
    QComboBox* script_;
    QLabel* sample_;
};
