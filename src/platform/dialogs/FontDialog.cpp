#include "platform/dialogs/FontDialog.h"

#include "platform/text/Charsets.h"
#include "platform/system/Fonts.h"
#include "platform/text/Utf8Literal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

struct NamedColor { QRgb rgb; const char* name; };
constexpr NamedColor kColors[] = {
    {0x000000, "黒"}, {0x800000, "えび茶"}, {0x008000, "緑"}, {0x808000, "オリーブ"}, {0x000080, "濃紺"},
    {0x800080, "紫"}, {0x008080, "青緑"}, {0x808080, "灰色"}, {0xC0C0C0, "銀色"}, {0xFF0000, "赤"},
    {0x00FF00, "黄緑"}, {0xFFFF00, "黄"}, {0x0000FF, "青"}, {0xFF00FF, "赤紫"}, {0x00FFFF, "水色"},
    {0xFFFFFF, "白"},
};

QPixmap Swatch(const QColor& color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    return pixmap;
}

} // namespace

TFontDialog::TFontDialog(QWidget* owner, const QString& name)
    : QDialog(owner)
{
    setObjectName(name);
    setWindowTitle(U("フォント"));
    face_ = new QFontComboBox(this);
    face_->setObjectName(QStringLiteral("Face"));
    face_->setEditable(true);
    size_ = new QSpinBox(this);
    size_->setObjectName(QStringLiteral("Size"));
    size_->setRange(1, 1638);
    bold_ = new QCheckBox(U("太字(&B)"), this);
    bold_->setObjectName(QStringLiteral("Bold"));
    italic_ = new QCheckBox(U("斜体(&I)"), this);
    italic_->setObjectName(QStringLiteral("Italic"));
    underline_ = new QCheckBox(U("下線(&U)"), this);
    underline_->setObjectName(QStringLiteral("Underline"));
    strikeOut_ = new QCheckBox(U("取り消し線(&K)"), this);
    strikeOut_->setObjectName(QStringLiteral("StrikeOut"));
    color_ = new QComboBox(this);
    color_->setObjectName(QStringLiteral("Color"));
    for (const NamedColor& color : kColors)
        color_->addItem(Swatch(QColor(color.rgb)), U(color.name), QColor(color.rgb));
    script_ = new QComboBox(this);
    script_->setObjectName(QStringLiteral("Script"));
    for (const CharsetRow& charset : CharsetTable())
        if (charset.name)
            script_->addItem(U(charset.name), charset.code);
    sample_ = new QLabel(this);
    sample_->setObjectName(QStringLiteral("Sample"));
    sample_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    sample_->setMinimumSize(260, 56);
    sample_->setAlignment(Qt::AlignCenter);

    auto* form = new QFormLayout;
    form->addRow(U("フォント名(&F):"), face_);
    auto* styles = new QHBoxLayout;
    styles->addWidget(bold_);
    styles->addWidget(italic_);
    form->addRow(U("スタイル:"), styles);
    form->addRow(U("サイズ(&S):"), size_);
    auto* effects = new QHBoxLayout;
    effects->addWidget(underline_);
    effects->addWidget(strikeOut_);
    form->addRow(U("文字飾り:"), effects);
    form->addRow(U("色(&C):"), color_);
    form->addRow(U("文字セット(&R):"), script_);
    form->addRow(U("サンプル:"), sample_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    for (QCheckBox* box : {bold_, italic_, underline_, strikeOut_})
        connect(box, &QCheckBox::toggled, this, [this]() { UpdateSample(); });
    connect(face_, &QComboBox::currentTextChanged, this, [this]() { UpdateSample(); });
    connect(size_, &QSpinBox::valueChanged, this, [this]() { UpdateSample(); });
    connect(color_, &QComboBox::currentIndexChanged, this, [this]() { UpdateSample(); });
    connect(script_, &QComboBox::currentIndexChanged, this, [this]() { UpdateSample(); });
}

void TFontDialog::Load(const TFontSpec& font)
{
    face_->setEditText(font.name);
    size_->setValue(font.size);
    bold_->setChecked(font.style.bold);
    italic_->setChecked(font.style.italic);
    underline_->setChecked(font.style.underline);
    strikeOut_->setChecked(font.style.strikeOut);
    int color = color_->findData(font.color);
    if (color < 0) {
        color_->addItem(Swatch(font.color), font.color.name(), font.color);
        color = color_->count() - 1;
    }
    color_->setCurrentIndex(color);
    int script = script_->findData(font.charset);
    if (script < 0) {
        script_->addItem(QString::number(font.charset), font.charset);
        script = script_->count() - 1;
    }
    script_->setCurrentIndex(script);
    UpdateSample();
}

TFontSpec TFontDialog::Read() const
{
    TFontSpec font;
    font.name = face_->currentText();
    font.size = size_->value();
    font.style = {bold_->isChecked(), italic_->isChecked(), underline_->isChecked(), strikeOut_->isChecked()};
    font.color = color_->currentData().value<QColor>();
    font.charset = script_->currentData().toInt();
    return font;
}

void TFontDialog::UpdateSample()
{
    const TFontSpec font = Read();
    QFont shown(font.name);
    shown.setPointSize(std::min(font.size, 36));
    shown.setBold(font.style.bold);
    shown.setItalic(font.style.italic);
    shown.setUnderline(font.style.underline);
    shown.setStrikeOut(font.style.strikeOut);
    QStringList families{font.name};
    const QString script = ScriptFontForCharset(font.charset);
    if (!script.isEmpty())
        families << script;
    shown.setFamilies(families);
    sample_->setFont(shown);
    QPalette palette = sample_->palette();
    palette.setColor(QPalette::WindowText, font.color);
    sample_->setPalette(palette);
    sample_->setText(U("Aaあア亜 Яя 가"));
}

bool TFontDialog::Execute()
{
    Load(Font);
    if (exec() != QDialog::Accepted)
        return false;
    Font = Read();
    return true;
}
