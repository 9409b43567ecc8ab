#include "platform/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

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
    QFileDialog dialog(owner_);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(dialog.selectedFiles().first());
    FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    directory_ = QFileInfo(FileName).absolutePath();
    return true;
}
