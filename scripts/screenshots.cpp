// Renders the main window, each of its menus open, the context menu, every dialog as
// its command fills it, the standard Find and Replace dialogs and each kind of message
// box to PNG files, headlessly: tesserine-screenshots <output directory>.
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/forms/Application.h"
#include "platform/dialogs/FindReplaceDialogs.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/NoticeBar.h"
#include "platform/text/CodePages.h"
#include "platform/richedit/RichEdit.h"
#include "shell/About.h"
#include "shell/SDIMain.h"
#include "shell/WindowSet.h"
#include "foreignsearch/FindDlgForm.h"
#include "format/PageWidth.h"
#include "format/Paragraph.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <deque>
#include <functional>
#include <stdexcept>

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

// Draws the modal windows a command opens, in the order they open, each once it has
// settled, and then answers it as a person would. A window that does not open within
// ten seconds ends the run with an error rather than a hang.
class ModalShooter : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    ModalShooter()
    {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, [this]() { Poll(); });
    }

    ModalShooter& Expect(const QString& name, Answer answer)
    {
        steps_.push_back({name, std::move(answer)});
        waited_ = 0;
        timer_.start();
        return *this;
    }

    // Runs command, which returns once its windows are closed.
    void Run(const std::function<void()>& command)
    {
        command();
        if (!steps_.empty()) {
            std::fprintf(stderr, "%s did not open\n", qPrintable(steps_.front().name));
            std::exit(1);
        }
    }

private:
    struct Step {
        QString name;
        Answer answer;
    };

    void Poll()
    {
        if (steps_.empty()) {
            timer_.stop();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == last_) {
            if (++waited_ * timer_.interval() > 10000) {
                std::fprintf(stderr, "%s did not open\n", qPrintable(steps_.front().name));
                std::exit(1);
            }
            return;
        }
        timer_.stop();
        last_ = modal;
        const Step step = steps_.front();
        steps_.pop_front();
        QPointer<QWidget> shown(modal);
        QTimer::singleShot(150, this, [this, step, shown]() {
            if (!shown)
                return;
            Save(shown->grab().toImage(), step.name);
            // The answer may open the next window and wait in it, so the watch goes on meanwhile.
            waited_ = 0;
            if (!steps_.empty())
                timer_.start();
            step.answer(shown);
        });
    }

    std::deque<Step> steps_;
    QPointer<QWidget> last_;
    QTimer timer_;
    int waited_ = 0;
};

void PressKey(QWidget* window, Qt::Key key)
{
    QTest::keyClick(window, key);
}

void Cancel(QWidget* window)
{
    PressKey(window, Qt::Key_Escape);
}

void Confirm(QWidget* window)
{
    PressKey(window, Qt::Key_Return);
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

    // A file whose encoding detection is unsure of: the bar above the text.
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kana.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.write(EncodeString(QString::fromUtf8("ﾌｪﾛｰ"), "CP932").value_or("")))
            throw std::runtime_error("cannot write " + path.toStdString());
        file.close();
        SDIAppForm->RichEdit1->SetModified(false);
        SDIAppForm->OpenFileFromDesktop(path);
        Settle();
        Save(SDIAppForm->grab().toImage(), QStringLiteral("encoding-bar"));
        SDIAppForm->EncodingBar->Close();
        SDIAppForm->RichEdit1->PlainText = false;
    }

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

    ModalShooter().Expect(QStringLiteral("about-box"), Confirm).Run([]() { SDIAppForm->HelpAbout1Execute(); });
    struct Language { const char* label; const char* sample; const char* name; };
    for (const Language& language : {Language{"日本語 Shift-JIS", "日本語の文書を検索", "japanese"},
                                     Language{"キリル文字", "Поиск слова", "cyrillic"},
                                     Language{"簡体字中国語（大陸中国）", "简体中文", "simplified-chinese"},
                                     Language{"韓国語（Wansung）", "한국어 검색", "korean"}}) {
        const int index = LanguageLabels().indexOf(QString::fromUtf8(language.label));
        if (index < 0) {
            std::fprintf(stderr, "no language %s\n", language.label);
            return 1;
        }
        SDIAppForm->ComboBox2->SetItemIndex(index);
        SDIAppForm->lastFindWord->SetText(QString::fromUtf8(language.sample));
        FindDlg->Show();
        Settle();
        Save(FindDlg->grab().toImage(), QStringLiteral("find-dialog-") + QLatin1String(language.name));
        FindDlg->Close();
        Settle();
    }
    for (TFindDialog* dialog : {SDIAppForm->FindDialog1, SDIAppForm->ReplaceDialog1}) {
        dialog->SetFindText(QStringLiteral("булок"));
        dialog == SDIAppForm->FindDialog1 ? SDIAppForm->EditFind1Execute() : SDIAppForm->EditReplace1Execute();
        Settle();
        Save(dialog->grab().toImage(), dialog == SDIAppForm->FindDialog1 ? QStringLiteral("standard-find-dialog")
                                                                          : QStringLiteral("standard-replace-dialog"));
        dialog->hide();
        Settle();
    }

    // The dialogs as their commands fill them, from the formatted document's selection.
    edit->SetSelStart(0);
    edit->SetSelLength(8);
    ModalShooter().Expect(QStringLiteral("font-dialog"), Cancel).Run([]() { SDIAppForm->FormatFontExecute(); });
    ModalShooter()
        .Expect(QStringLiteral("page-width-dialog"),
                [](QWidget*) {
                    SetPageWidth->Edit1->SetText(QStringLiteral("six"));
                    SetPageWidth->OKBtn->click();
                })
        .Expect(QStringLiteral("message-invalid-page-width"), Confirm)
        .Expect(QStringLiteral("page-width-dialog-after-message"), Cancel)
        .Run([]() { SDIAppForm->FormatPageWidth1Execute(); });
    edit->SetSelStart(43);
    ModalShooter().Expect(QStringLiteral("paragraph-dialog"), Cancel).Run([]() { SDIAppForm->FormatParagraph1Execute(); });

    // Shows the printers of the print system (the make target runs this against a
    // private one with PDF printers when it can).
    ModalShooter().Expect(QStringLiteral("printer-setup-dialog"), Cancel).Run([]() { SDIAppForm->FilePrinterSetup1Execute(); });
    ModalShooter().Expect(QStringLiteral("print-dialog"), Cancel).Run([]() { SDIAppForm->Print1Click(); });

    // The file dialogs: Open with its encoding choice, and Save As for a plain-text
    // document, whose encoding and line-ending choices are then enabled.
    edit->SetModified(false);
    ModalShooter().Expect(QStringLiteral("open-dialog"), Cancel).Run([]() { SDIAppForm->FileOpen1Execute(); });
    const QString previousName = SDIAppForm->DocumentFileName;
    const bool previousMode = edit->PlainText;
    SDIAppForm->DocumentFileName = QDir::temp().filePath(QString::fromUtf8("メモ.txt"));
    edit->PlainText = true;
    ModalShooter().Expect(QStringLiteral("save-as-dialog"), Cancel).Run([]() { SDIAppForm->FileSaveAs1Execute(); });
    SDIAppForm->DocumentFileName = previousName;
    edit->PlainText = previousMode;

    // Each kind of message box: the two save questions, and a failed command's warning.
    edit->SetModified(true);
    ModalShooter().Expect(QStringLiteral("message-save-before-new"), Cancel).Run([]() { SDIAppForm->FileNew1Execute(); });
    ModalShooter().Expect(QStringLiteral("message-save-before-close"), Cancel).Run([]() { SDIAppForm->close(); });
    ModalShooter()
        .Expect(QStringLiteral("message-failed-command"), Confirm)
        .Run([]() {
            RunHandler(SDIAppForm, []() {
                throw std::runtime_error("No printer is installed, so the document cannot be printed. Add a "
                                         "printer in the system's printer settings and try again.");
            });
        });

    SDIAppForm->RichEdit1->SetModified(false);
    application.DestroyForms();
    return 0;
}
