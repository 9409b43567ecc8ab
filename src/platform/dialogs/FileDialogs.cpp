#include "platform/dialogs/FileDialogs.h"

#include "platform/QtInternals.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

namespace {

// Qt's dialog reads quotes in a typed name as a list of names ("a" "b"), so that
// `a "double" quote.txt` would choose a file called double. These dialogs choose one
// file: a typed name is taken literally, quotes and all, and checked as Qt checks one.
class LiteralNameDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    // The chosen file, when the typed name held a quote.
    QString literalName;

    void accept() override
    {
        QLineEdit* edit = QtInternals::FileNameEdit(*this);
        const QString typed = edit ? edit->text() : QString();
        if (!edit || !typed.contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        const QString path = directory().absoluteFilePath(typed);
        const QFileInfo info(path);
        if (info.isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
        if (acceptMode() == AcceptOpen && !info.exists()) {
            QMessageBox::warning(this, windowTitle(),
                                 tr("%1\nFile not found.\nPlease verify the correct file name was given.").arg(info.fileName()));
            return;
        }
        if (acceptMode() == AcceptSave && info.exists()
            && QMessageBox::warning(this, windowTitle(), tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        literalName = path;
        QDialog::accept();
    }
};

// Adds a row of label and combo box per choice under the dialog's own rows (Qt's
// non-native dialog lays itself out in a grid), and keeps them enabled only while
// applies() accepts the name typed or selected. Returns the combo boxes in order.
std::vector<QComboBox*> AddChoices(QFileDialog& dialog, const std::vector<TFileDialogChoice>& choices,
                                   const std::function<bool(const QString&)>& applies)
{
    std::vector<QComboBox*> boxes;
    QGridLayout* grid = QtInternals::FileDialogGrid(dialog);
    if (!grid || choices.empty())
        return boxes;
    std::vector<QWidget*> rowWidgets;
    for (const TFileDialogChoice& choice : choices) {
        auto* box = new QComboBox(&dialog);
        box->setObjectName(choice.Name);
        box->addItems(choice.Items);
        box->setCurrentIndex(choice.ItemIndex);
        auto* label = new QLabel(choice.Caption, &dialog);
        label->setBuddy(box);
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        boxes.push_back(box);
        rowWidgets.push_back(label);
        rowWidgets.push_back(box);
    }
    if (!applies)
        return boxes;
    const auto update = [rowWidgets, applies](const QString& name) {
        const bool enabled = applies(name);
        for (QWidget* widget : rowWidgets)
            widget->setEnabled(enabled);
    };
    if (QLineEdit* edit = QtInternals::FileNameEdit(dialog)) {
        QObject::connect(edit, &QLineEdit::textChanged, &dialog, update);
        update(edit->text());
    }
    return boxes;
}

} // namespace

QString CaseInsensitivePattern(const QString& pattern)
{
    const QString trimmed = pattern.trimmed();
    if (trimmed == QLatin1String("*.*"))
        return QStringLiteral("*");
    QString out;
    for (const QChar c : trimmed) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            out += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

QStringList NameFiltersOf(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << CaseInsensitivePattern(pattern);
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

TFileDialog::TFileDialog(QWidget* owner, const QString& name, bool save)
    : owner_(owner), name_(name), save_(save)
{
}

bool TFileDialog::Execute()
{
    LiteralNameDialog dialog(owner_);
    dialog.setObjectName(name_);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save_ ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save_ ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = NameFiltersOf(Filter);
    dialog.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[FilterIndex - 1]);
    if (!directory_.isEmpty())
        dialog.setDirectory(directory_);
    if (!FileName.isEmpty()) {
        const QFileInfo preset(FileName);
        if (preset.isAbsolute())
            dialog.setDirectory(preset.absolutePath());
        dialog.selectFile(preset.fileName());
    }
    const std::vector<QComboBox*> choiceBoxes = AddChoices(dialog, Choices, ChoicesApplyTo);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString chosen = !dialog.literalName.isEmpty() ? dialog.literalName
                           : dialog.selectedFiles().isEmpty() ? QString()
                                                              : dialog.selectedFiles().first();
    if (chosen.isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(chosen);
    for (size_t i = 0; i < choiceBoxes.size(); ++i)
        Choices[i].ItemIndex = choiceBoxes[i]->currentIndex();
    FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    directory_ = QFileInfo(FileName).absolutePath();
    return true;
}
