#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

namespace {

constexpr int kButtonMask = 0x0F;
constexpr int kIconMask = 0xF0;

// Room a window manager's title bar takes beside the caption: the window's icon and the
// minimise, maximise and close buttons, with their margins.
constexpr int kTitleBarControlsWidth = 150;

QMessageBox::Icon IconOf(int flags)
{
    switch (flags & kIconMask) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return (flags & kButtonMask) == MB_OK ? QMessageBox::Warning : QMessageBox::Question;
    }
}

// Qt sizes a message box for its text and buttons; a short text under a longer caption
// would leave a box so narrow that the window manager cuts the caption short. Title
// bars draw their caption in a bold face, at most as large as the application's.
void WidenForCaption(QMessageBox& box, const QString& caption)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarControlsWidth;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, grid->columnCount());
}

} // namespace

int MessageBox(QWidget* owner, const QString& text, const QString& caption, int flags)
{
    if (!owner)
        owner = QApplication::activeWindow();
    const int buttons = flags & kButtonMask;
    QMessageBox box(owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setIcon(IconOf(flags));
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    if (buttons == MB_YESNOCANCEL) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (buttons == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    WidenForCaption(box, caption);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Ok: return IDOK;
    default: return buttons == MB_YESNOCANCEL ? IDCANCEL : buttons == MB_YESNO ? IDNO : IDOK;
    }
}

int MessageBoxChoice(QWidget* owner, const QString& text, const QString& caption, const QStringList& buttons,
                     int defaultButton, int escapeButton)
{
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> pushButtons;
    for (const QString& label : buttons)
        pushButtons.push_back(box.addButton(label, QMessageBox::ActionRole));
    if (defaultButton >= 0 && defaultButton < int(pushButtons.size()))
        box.setDefaultButton(pushButtons[size_t(defaultButton)]);
    if (escapeButton >= 0 && escapeButton < int(pushButtons.size()))
        box.setEscapeButton(pushButtons[size_t(escapeButton)]);
    WidenForCaption(box, caption);
    box.exec();
    for (size_t i = 0; i < pushButtons.size(); ++i) {
        if (box.clickedButton() == pushButtons[i])
            return int(i);
    }
    return escapeButton;
}
