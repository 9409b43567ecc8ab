// Renders the main window, each of its menus open, the context menu and every dialog
// to PNG files, headlessly: tesserine-screenshots <output directory>.
#include "platform/Application.h"
#include "platform/Controls.h"
#include "platform/FontDialog.h"
#include "platform/PrintDialogs.h"
#include "platform/Printer.h"
#include "platform/Menus.h"
#include "platform/RichEdit.h"
#include "shell/About.h"
#include "shell/SDIMain.h"
#include "shell/WindowSet.h"
#include "foreignsearch/FindDlgForm.h"
#include "format/PageWidth.h"
#include "format/Paragraph.h"

#include <QApplication>
#include <QPrintDialog>
#include <QDir>
#include <QMenuBar>
#include <QPainter>
#include <QTest>
#include <cstdio>

namespace {

QString g_directory;

void Save(const QImage& image, const QString& name)
{
    const QString path = QDir(g_directory).filePath(name + QStringLiteral(".png"));
    if (!image.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
}

// The window with a popup drawn where it stands on the screen.
QImage Composite(QWidget* window, QWidget* popup)
{
    const QImage base = window->grab().toImage();
    const QImage over = popup->grab().toImage();
    const QPoint offset = popup->pos() - window->mapToGlobal(QPoint(0, 0));
    const QRect area = QRect(QPoint(0, 0), base.size()).united(QRect(offset, over.size()));
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    QPainter painter(&image);
    painter.drawImage(-area.topLeft(), base);
    painter.drawImage(offset - area.topLeft(), over);
    return image;
}

void ShootMenus(TSDIAppForm* form)
{
    for (QAction* top : form->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        const QRect item = form->menuBar()->actionGeometry(top);
        menu->popup(form->menuBar()->mapToGlobal(item.bottomLeft()));
        Settle();
        Save(Composite(form, menu), QStringLiteral("menu-") + menu->objectName());
        menu->hide();
        Settle();
    }
    const QPoint inside = form->RichEdit1->mapToGlobal(QPoint(40, 20));
    form->PopupMenu1->Popup(inside);
    Settle();
    Save(Composite(form, form->PopupMenu1), QStringLiteral("menu-PopupMenu1"));
    form->PopupMenu1->hide();
    Settle();
}

void ShootDialog(QWidget* dialog, const QString& name)
{
    dialog->show();
    Settle();
    Save(dialog->grab().toImage(), name);
    dialog->hide();
    Settle();
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    g_directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(g_directory);

    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Tesserine"));
    CreateWindowSet(application);

    SDIAppForm->show();
    SDIAppForm->RichEdit1->SetText(QString::fromUtf8(
        "多国語シンプルテキストエディタ Tesserine\n"
        "Съешь же ещё этих мягких французских булок.\n"
        "한국어 ελληνικά עברית العربية ไทย"));
    SDIAppForm->RichEdit1->SetSelStart(5);
    Settle();
    Save(SDIAppForm->grab().toImage(), QStringLiteral("main-window"));
    ShootMenus(SDIAppForm);

    // A document using every format.
    TRichEdit* edit = SDIAppForm->RichEdit1;
    edit->SetText(QString::fromUtf8("中央揃えの見出し\n箇条書きの一行目\n箇条書きの二行目\n"
                                    "右揃え Кириллица\n字下げした段落。長い文章は折り返され、二行目以降は左のインデントに揃います。"));
    edit->SetSelStart(0);
    edit->Paragraph().SetAlignment(taCenter);
    edit->SetSelLength(8);
    edit->SelAttributes().Assign({QStringLiteral("Liberation Serif"), 128, 14, {true, false, true, false}, QColor(0, 0, 160)});
    edit->SetSelStart(9);
    edit->SetSelLength(12);
    edit->Paragraph().SetNumbering(nsBullet);
    edit->SetSelStart(27);
    edit->Paragraph().SetAlignment(taRightJustify);
    edit->SetSelLength(5);
    edit->SelAttributes().SetStyle({false, true, false, true});
    edit->SelAttributes().SetColor(QColor(180, 0, 0));
    edit->SetSelStart(43);
    edit->Paragraph().SetFirstIndent(48);
    edit->Paragraph().SetLeftIndent(-24);
    SDIAppForm->resize(640, 300);
    Settle();
    Save(SDIAppForm->grab().toImage(), QStringLiteral("formatted-document"));

    ShootDialog(AboutBox, QStringLiteral("about-box"));
    struct Language { int index; const char* sample; const char* name; };
    for (const Language& language : {Language{0, "日本語の文書を検索", "japanese"},
                                     Language{11, "Поиск слова", "cyrillic"},
                                     Language{1, "한국어 검색", "korean"}}) {
        SDIAppForm->ComboBox2->SetItemIndex(language.index);
        SDIAppForm->lastFindWord->SetText(QString::fromUtf8(language.sample));
        FindDlg->Show();
        Settle();
        Save(FindDlg->grab().toImage(), QStringLiteral("find-dialog-") + QLatin1String(language.name));
        FindDlg->Close();
        Settle();
    }
    ShootDialog(SDIAppForm->FontDialog1, QStringLiteral("font-dialog"));
    ShootDialog(SetPageWidth, QStringLiteral("page-width-dialog"));
    ShootDialog(SetParagraph, QStringLiteral("paragraph-dialog"));
    {
        // Shows the printers of the print system (the make target runs this against a
        // private one with PDF printers when it can). Both go before the main window.
        TPrinterSetupForm printerSetup(SDIAppForm);
        printerSetup.LoadFromCurrentPrinter();
        ShootDialog(&printerSetup, QStringLiteral("printer-setup-dialog"));
        RefreshCurrentPrinter();
        QPrintDialog printDialog(&CurrentPrinter(), SDIAppForm);
        printDialog.setWindowTitle(QString::fromUtf8("印刷"));
        ShootDialog(&printDialog, QStringLiteral("print-dialog"));
    }

    SDIAppForm->RichEdit1->SetModified(false);
    application.DestroyForms();
    return 0;
}
