#include "platform/forms/Controls.h"

#include "platform/forms/Forms.h"
#include "platform/forms/HandlerBoundary.h"

#include <QAbstractItemView>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

TEdit::TEdit(QWidget* parent, const QString& name)
    : QLineEdit(parent)
{
    setObjectName(name);
    connect(this, &QLineEdit::textChanged, this, [this]() {
        if (OnChange)
            RunHandler(window(), OnChange);
    });
}

TComboBox::TComboBox(QWidget* parent, const QString& name)
    : QComboBox(parent)
{
    setObjectName(name);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(8);
    // The box is as wide as its form makes it, not as its longest item; the list drops
    // down wider when it needs to.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::activated, this, [this]() {
        if (OnClick)
            RunHandler(window(), OnClick);
    });
}

QStringList TComboBox::Items() const
{
    QStringList items;
    items.reserve(count());
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

void TComboBox::SetItems(const QStringList& items)
{
    const QString text = currentText();
    clear();
    addItems(items);
    setCurrentIndex(-1);
    setEditText(text);
}

void TComboBox::FitWidestItem()
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, 200, sizeHint().height());
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const QFontMetrics metrics(lineEdit() ? lineEdit()->font() : font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    // The edit field keeps a margin of 2 pixels on either side of its text and room for the caret.
    constexpr int kFieldMargins = 2 * 2 + 2;
    setMinimumWidth(std::max(minimumWidth(), widest + kFieldMargins + option.rect.width() - field.width()));
}

void TComboBox::showPopup()
{
    const int longest = view()->sizeHintForColumn(0) + 2 * view()->frameWidth()
                        + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    view()->setMinimumWidth(std::max(width(), longest));
    QComboBox::showPopup();
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

TCheckBox::TCheckBox(QWidget* parent, const QString& name, const QString& caption)
    : QCheckBox(caption, parent)
{
    setObjectName(name);
}

TRadioGroup::TRadioGroup(QWidget* parent, const QString& name, const QString& caption,
                         const QStringList& items)
    : QGroupBox(caption, parent)
{
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 4, 0);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QStringLiteral("Item%1").arg(i));
        layout->addWidget(button);
        buttons_.push_back(button);
    }
}

int TRadioGroup::ItemIndex() const
{
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index)
{
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        // Exclusive radio buttons cannot all be unchecked one by one.
        buttons_[i]->setAutoExclusive(false);
        buttons_[i]->setChecked(static_cast<int>(i) == index);
        buttons_[i]->setAutoExclusive(true);
    }
}

QStringList TRadioGroup::Items() const
{
    QStringList items;
    for (const QRadioButton* button : buttons_)
        items << button->text();
    return items;
}

TLabel::TLabel(QWidget* parent, const QString& name, const QString& caption)
    : QLabel(parent)
{
    setObjectName(name);
    SetCaption(caption);
}

void TLabel::SetCaption(const QString& caption)
{
    caption_ = caption;
    const int amp = caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= caption.size()) {
        setTextFormat(Qt::PlainText);
        setText(caption);
        return;
    }
    setTextFormat(Qt::RichText);
    setText(caption.left(amp).toHtmlEscaped() + QStringLiteral("<u>") + caption.mid(amp + 1, 1).toHtmlEscaped()
            + QStringLiteral("</u>") + caption.mid(amp + 2).toHtmlEscaped());
}

TPanel::TPanel(QWidget* parent, const QString& name, bool lowered)
    : QFrame(parent)
{
    setObjectName(name);
    setFrameStyle(QFrame::WinPanel | (lowered ? QFrame::Sunken : QFrame::Raised));
    setLineWidth(1);
}

TButton::TButton(QWidget* parent, const QString& name, const QString& caption)
    : QPushButton(caption, parent)
{
    setObjectName(name);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this]() { Clicked(); });
}

void TButton::SetDefault(bool isDefault)
{
    setDefault(isDefault);
    setAutoDefault(isDefault);
}

void TButton::SetCancel(bool isCancel)
{
    setProperty(kCancelButtonProperty, isCancel);
}

void TButton::Clicked()
{
    auto* form = qobject_cast<TDialogForm*>(window());
    if (form && ModalResult != 0)
        form->SetModalResult(ModalResult);
    if (OnClick)
        RunHandler(window(), OnClick);
    if (form && form->IsShownModal() && form->ModalResult() != 0)
        form->CloseModal();
}
