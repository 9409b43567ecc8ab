#include "platform/dialogs/PrintDialogs.h"

#include "platform/forms/MessageBox.h"
#include "platform/system/Printer.h"
#include "platform/text/Utf8Literal.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

TPrintDialog::TPrintDialog(QWidget* owner, const QString& name)
    : owner_(owner), name_(name)
{
}

bool TPrintDialog::Execute()
{
    RefreshCurrentPrinter();
    QPrinter& printer = CurrentPrinter();
    const QString printerBefore = printer.outputFormat() == QPrinter::NativeFormat ? printer.printerName() : QString();
    QPrintDialog dialog(&printer, owner_);
    dialog.setObjectName(name_);
    dialog.setWindowTitle(U("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    KeepDialogChoicesForOneJob(printerBefore);
    return true;
}

TPrinterSetupForm::TPrinterSetupForm(QWidget* owner)
    : QDialog(owner)
{
    setWindowTitle(U("プリンタの設定"));
    printer_ = new QComboBox(this);
    printer_->setObjectName(QStringLiteral("Printer"));
    printer_->setMinimumContentsLength(28);
    model_ = new QLabel(this);
    location_ = new QLabel(this);
    paper_ = new QComboBox(this);
    paper_->setObjectName(QStringLiteral("Paper"));
    paper_->setMinimumContentsLength(20);
    portrait_ = new QRadioButton(U("縦(&O)"), this);
    portrait_->setObjectName(QStringLiteral("Portrait"));
    landscape_ = new QRadioButton(U("横(&A)"), this);
    landscape_->setObjectName(QStringLiteral("Landscape"));

    auto* printerGroup = new QGroupBox(U("プリンタ"), this);
    auto* printerForm = new QFormLayout(printerGroup);
    printerForm->addRow(U("プリンタ名(&N):"), printer_);
    printerForm->addRow(U("種類:"), model_);
    printerForm->addRow(U("場所:"), location_);

    auto* paperGroup = new QGroupBox(U("用紙"), this);
    auto* paperForm = new QFormLayout(paperGroup);
    paperForm->addRow(U("サイズ(&Z):"), paper_);

    auto* orientationGroup = new QGroupBox(U("印刷の向き"), this);
    auto* orientation = new QVBoxLayout(orientationGroup);
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);

    auto* lower = new QHBoxLayout;
    lower->addWidget(paperGroup, 1);
    lower->addWidget(orientationGroup);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerGroup);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    for (const QString& name : InstalledPrinters())
        printer_->addItem(name);
    connect(printer_, &QComboBox::currentIndexChanged, this, [this](int index) { ShowPrinter(index); });
}

void TPrinterSetupForm::ShowPrinter(int index)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer_->itemText(index));
    model_->setText(info.makeAndModel());
    location_->setText(info.location());
    // Keep the chosen paper when the new printer has it too.
    const QPageSize kept = paper_->currentData().value<QPageSize>();
    paper_->clear();
    QList<QPageSize> sizes = info.supportedPageSizes();
    if (sizes.isEmpty())
        sizes = {QPageSize(QPageSize::A4), QPageSize(QPageSize::Letter)};
    for (const QPageSize& size : sizes)
        paper_->addItem(size.name(), QVariant::fromValue(size));
    int chosen = -1;
    for (int i = 0; i < paper_->count() && chosen < 0; ++i)
        if (kept.isValid() && paper_->itemData(i).value<QPageSize>().isEquivalentTo(kept))
            chosen = i;
    for (int i = 0; i < paper_->count() && chosen < 0; ++i)
        if (paper_->itemData(i).value<QPageSize>().isEquivalentTo(info.defaultPageSize()))
            chosen = i;
    paper_->setCurrentIndex(chosen < 0 ? 0 : chosen);
}

void TPrinterSetupForm::LoadFromCurrentPrinter()
{
    const QPrinter& printer = CurrentPrinter();
    const QPageSize current = printer.pageLayout().pageSize();
    int index = printer_->findText(printer.printerName());
    if (index < 0)
        index = printer_->findText(DefaultPrinterName());
    paper_->clear();
    paper_->addItem(current.name(), QVariant::fromValue(current));
    printer_->setCurrentIndex(-1);
    printer_->setCurrentIndex(index < 0 ? 0 : index);
    const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    landscape_->setChecked(landscape);
    portrait_->setChecked(!landscape);
}

void TPrinterSetupForm::StoreToCurrentPrinter() const
{
    QPrinter& printer = CurrentPrinter();
    printer.setOutputFormat(QPrinter::NativeFormat);
    // The printer first: choosing a printer resets the paper to one it supports.
    printer.setPrinterName(printer_->currentText());
    const QPageSize size = paper_->currentData().value<QPageSize>();
    if (size.isValid())
        printer.setPageSize(size);
    printer.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

TPrinterSetupDialog::TPrinterSetupDialog(QWidget* owner, const QString& name)
    : owner_(owner), name_(name)
{
}

bool TPrinterSetupDialog::Execute()
{
    if (InstalledPrinters().isEmpty()) {
        MessageBox(owner_, QStringLiteral("No printer is installed. Add a printer in the system's printer settings first."),
                   U("プリンタの設定"), MB_OK);
        return false;
    }
    RefreshCurrentPrinter();
    TPrinterSetupForm form(owner_);
    form.setObjectName(name_);
    form.LoadFromCurrentPrinter();
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreToCurrentPrinter();
    return true;
}
