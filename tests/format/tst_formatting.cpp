// Alignment, bullets, the font command, the page width and the paragraph indents,
// through the real window and dialogs.
#include "format/PageWidth.h"
#include "format/Paragraph.h"
#include "platform/forms/Actions.h"
#include "platform/forms/Controls.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/ToolBar.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

void Fill(QWidget* dialog, const char* name, const QString& text)
{
    auto* edit = dialog->findChild<TEdit*>(QString::fromLatin1(name));
    edit->selectAll();
    edit->del();
    TypeText(edit, text);
}

void ClickOk(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<TButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
}

} // namespace

class FormattingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void pageWidthSetsTheRightEdgeByTruncation_data();
    void pageWidthSetsTheRightEdgeByTruncation();
    void invalidPageWidthKeepsTheDialogOpenAndCancelChangesNothing();
    void resizingKeepsTheRightEdge();
    void valueDialogsLineTheirCaptionsUpInsideTheFrame();
    void paragraphDialogShowsAndWritesIndentsInInches();
    void paragraphDialogTruncatesAndWritesLeftRelativeToFirst();
    void eachInvalidIndentGivesItsMessageInOrder();
    void alignmentAndBulletsFollowTheCommands();
    void aFontChosenWithNothingSelectedAppliesToTheNextTypedText();
    void formattingSurvivesSavingAsRtf();

private:
    TRichEdit* edit() const { return form_->RichEdit1; }
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
    QTemporaryDir dir_;
};

void FormattingTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
    QCOMPARE(form_->PixelsPerInch(), 96);
    edit()->setFocus();
}

void FormattingTest::cleanup()
{
    fixture_.reset();
}

void FormattingTest::pageWidthSetsTheRightEdgeByTruncation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("wrapWidth");
    QTest::addColumn<QString>("shownAgain");
    QTest::newRow("7 inches") << "7" << 672 - 10 << "7";
    QTest::newRow("6.55 truncates 628.8") << "6.55" << 628 - 10 << "6.55";
    QTest::newRow("blanks around") << " 5 " << 480 - 10 << "5";
    QTest::newRow("zero") << "0" << 1 << "0";
    QTest::newRow("negative") << "-2" << 1 << "-2";
}

void FormattingTest::pageWidthSetsTheRightEdgeByTruncation()
{
    QFETCH(QString, typed);
    QFETCH(int, wrapWidth);
    QFETCH(QString, shownAgain);
    QCOMPARE(edit()->WrapWidth(), 614);  // 6.5 inches: right edge 624, left 10
    QCOMPARE(edit()->FormattingMargins().left(), 10);
    QCOMPARE(edit()->FormattingMargins().top(), 10);
    ModalAnswerer answerer;
    QString shown;
    answerer.expectDialog(QStringLiteral("SetPageWidth"), [&](QWidget* w) {
        shown = w->findChild<TEdit*>(QStringLiteral("Edit1"))->Text();
        Fill(w, "Edit1", typed);
        QTest::keyClick(w->findChild<TEdit*>(QStringLiteral("Edit1")), Qt::Key_Return);
    });
    form_->Action(QStringLiteral("FormatPageWidth1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(shown, QStringLiteral("6.5"));
    QCOMPARE(edit()->WrapWidth(), wrapWidth);
    answerer.expectDialog(QStringLiteral("SetPageWidth"), [&](QWidget* w) {
        shown = w->findChild<TEdit*>(QStringLiteral("Edit1"))->Text();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    form_->FormatPageWidth1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(shown, shownAgain);
}

void FormattingTest::invalidPageWidthKeepsTheDialogOpenAndCancelChangesNothing()
{
    ModalAnswerer answerer;
    bool stayedOpen = false;
    answerer.expectDialog(QStringLiteral("SetPageWidth"), [](QWidget* w) {
        Fill(w, "Edit1", QStringLiteral("wide"));
        ClickOk(w);
    })
        .expectMessageBox(QStringLiteral("Word Processor"), Qt::Key_Return)
        .expect(QStringLiteral("the dialog again"), [](QWidget* w) { return w == SetPageWidth; },
                [&](QWidget* w) {
                    stayedOpen = w->isVisible();
                    Fill(w, "Edit1", QString());
                    ClickOk(w);
                })
        .expectMessageBox(QStringLiteral("Word Processor"), Qt::Key_Return)
        .expect(QStringLiteral("the dialog once more"), [](QWidget* w) { return w == SetPageWidth; },
                [](QWidget* w) {
                    Fill(w, "Edit1", QStringLiteral("3"));
                    QTest::mouseClick(w->findChild<TButton*>(QStringLiteral("CancelBtn")), Qt::LeftButton);
                });
    form_->FormatPageWidth1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(stayedOpen);
    QCOMPARE(answerer.messageTexts(), QStringList({QStringLiteral("Invalid Page Width"), QStringLiteral("Invalid Page Width")}));
    QCOMPARE(form_->PageWidthInches, 6.5);
    QCOMPARE(edit()->WrapWidth(), 614);
}

void FormattingTest::valueDialogsLineTheirCaptionsUpInsideTheFrame()
{
    // Checked as the dialogs show, at the installed look-alikes of their fonts.
    const auto check = [](QWidget* dialog) {
        auto* frame = dialog->findChild<QFrame*>(QStringLiteral("Bevel1"));
        QVERIFY(frame);
        const QRect inside = frame->contentsRect().adjusted(4, 2, -4, -2);
        QList<TLabel*> labels = frame->findChildren<TLabel*>();
        QVERIFY(!labels.isEmpty());
        for (TLabel* label : labels) {
            const QString name = dialog->objectName() + QLatin1Char('.') + label->objectName();
            auto* box = frame->findChild<TEdit*>(QStringLiteral("Edit") + label->objectName().right(1));
            QVERIFY2(inside.contains(label->geometry()) && inside.contains(box->geometry()), qPrintable(name));
            QCOMPARE(label->x(), labels.first()->x());
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(name));
            QVERIFY2(label->geometry().right() + 4 < box->x(), qPrintable(name));
            QVERIFY2(qAbs(label->geometry().center().y() - box->geometry().center().y()) <= 2, qPrintable(name));
        }
        auto* ok = dialog->findChild<TButton*>(QStringLiteral("OKBtn"));
        QVERIFY(ok->x() > frame->geometry().right() && ok->width() >= 75 && ok->height() >= 25);
        // Centred on the screen once its size is known.
        const QPoint offset = dialog->geometry().center() - dialog->screen()->availableGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4, qPrintable(QStringLiteral("%1 off by %2,%3").arg(dialog->objectName()).arg(offset.x()).arg(offset.y())));
    };
    ModalAnswerer answerer;
    const auto cancel = [&check](QWidget* w) {
        check(w);
        QTest::mouseClick(w->findChild<TButton*>(QStringLiteral("CancelBtn")), Qt::LeftButton);
    };
    answerer.expectDialog(QStringLiteral("SetPageWidth"), cancel).expectDialog(QStringLiteral("SetParagraph"), cancel);
    form_->FormatPageWidth1Execute();
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
}

void FormattingTest::resizingKeepsTheRightEdge()
{
    form_->resize(300, 300);
    QTest::qWait(1);
    QCOMPARE(edit()->WrapWidth(), 614);
    form_->resize(1200, 500);
    QTest::qWait(1);
    QCOMPARE(edit()->WrapWidth(), 614);
}

void FormattingTest::paragraphDialogShowsAndWritesIndentsInInches()
{
    edit()->SetText(QStringLiteral("paragraph"));
    QStringList shown;
    const auto read = [&shown](QWidget* w) {
        shown.clear();
        for (const char* name : {"Edit1", "Edit2", "Edit3"})
            shown << w->findChild<TEdit*>(QString::fromLatin1(name))->Text();
    };
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SetParagraph"), [&](QWidget* w) { read(w); QTest::keyClick(w, Qt::Key_Escape); });
    form_->Action(QStringLiteral("FormatParagraph1"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(shown, QStringList({"0", "0", "0"}));

    edit()->Paragraph().SetFirstIndent(48);
    edit()->Paragraph().SetLeftIndent(24);
    answerer.expectDialog(QStringLiteral("SetParagraph"), [&](QWidget* w) { read(w); ClickOk(w); });
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(shown, QStringList({"0.5", "0.75", "0"}));
    QCOMPARE(edit()->Paragraph().FirstIndent(), 48);
    QCOMPARE(edit()->Paragraph().LeftIndent(), 24);

    // Cancel after editing changes nothing.
    answerer.expectDialog(QStringLiteral("SetParagraph"), [](QWidget* w) {
        Fill(w, "Edit1", QStringLiteral("2"));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(edit()->Paragraph().FirstIndent(), 48);
}

void FormattingTest::paragraphDialogTruncatesAndWritesLeftRelativeToFirst()
{
    edit()->SetText(QStringLiteral("one\ntwo\nthree"));
    edit()->Paragraph().SetFirstIndent(32);
    QString first;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SetParagraph"), [&](QWidget* w) {
        first = w->findChild<TEdit*>(QStringLiteral("Edit1"))->Text();
        ClickOk(w);
    });
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(first, QStringLiteral("0.333333333333333"));
    QCOMPARE(edit()->Paragraph().FirstIndent(), 31);

    // Several paragraphs at once.
    edit()->SetSelStart(0);
    edit()->SetSelLength(-1);
    answerer.expectDialog(QStringLiteral("SetParagraph"), [](QWidget* w) {
        Fill(w, "Edit1", QStringLiteral("0.5"));
        Fill(w, "Edit2", QStringLiteral("0.25"));
        Fill(w, "Edit3", QStringLiteral("1"));
        ClickOk(w);
    });
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    for (int position : {0, 5, 10}) {
        edit()->SetSelStart(position);
        QCOMPARE(edit()->Paragraph().FirstIndent(), 48);
        QCOMPARE(edit()->Paragraph().LeftIndent(), -24);
        QCOMPARE(edit()->Paragraph().RightIndent(), 96);
    }
}

void FormattingTest::eachInvalidIndentGivesItsMessageInOrder()
{
    edit()->SetText(QStringLiteral("text"));
    edit()->Paragraph().SetFirstIndent(24);
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("SetParagraph"), [](QWidget* w) {
        Fill(w, "Edit1", QString());
        Fill(w, "Edit3", QStringLiteral("abc"));
        ClickOk(w);
    })
        .expectMessageBox(QStringLiteral("Word Processor"), Qt::Key_Return)
        .expectMessageBox(QStringLiteral("Word Processor"), Qt::Key_Return)
        .expect(QStringLiteral("the dialog again"), [](QWidget* w) { return w == SetParagraph; },
                [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    form_->FormatParagraph1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.messageTexts(),
             QStringList({QStringLiteral("Invalid First Indent"), QStringLiteral("Invalid Right Indent")}));
    QCOMPARE(edit()->Paragraph().FirstIndent(), 24);
}

void FormattingTest::alignmentAndBulletsFollowTheCommands()
{
    edit()->SetText(QStringLiteral("a\nb\nc"));
    edit()->SetSelStart(0);
    edit()->SetSelLength(3);  // the first two paragraphs
    QTest::mouseClick(form_->ToolButton(QStringLiteral("AlignCenter2")), Qt::LeftButton);
    QCOMPARE(edit()->Paragraph().Alignment(), int(taCenter));
    QVERIFY(form_->ToolButton(QStringLiteral("AlignCenter2"))->Down());
    QVERIFY(!form_->ToolButton(QStringLiteral("AlignLeft2"))->Down());
    form_->Action(QStringLiteral("FormatAlignRight1"))->Execute();
    QVERIFY(form_->ToolButton(QStringLiteral("AlignRight2"))->Down());
    QVERIFY(!form_->ToolButton(QStringLiteral("AlignCenter2"))->Down());
    // Clicking the pressed button leaves it pressed: it follows the paragraph.
    QTest::mouseClick(form_->ToolButton(QStringLiteral("AlignRight2")), Qt::LeftButton);
    QVERIFY(form_->ToolButton(QStringLiteral("AlignRight2"))->Down());

    QTest::mouseClick(form_->ToolButton(QStringLiteral("UseBullets")), Qt::LeftButton);
    QCOMPARE(edit()->Paragraph().Numbering(), int(nsBullet));
    QVERIFY(form_->ToolButton(QStringLiteral("UseBullets"))->Down());
    edit()->SetSelStart(2);
    QCOMPARE(edit()->Paragraph().Numbering(), int(nsBullet));
    edit()->SetSelStart(0);
    edit()->SetSelLength(3);
    form_->Action(QStringLiteral("FormatBullets"))->Execute();
    QCOMPARE(edit()->Paragraph().Numbering(), int(nsNone));
    QVERIFY(!form_->ToolButton(QStringLiteral("UseBullets"))->Down());
    edit()->SetSelStart(4);
    QCOMPARE(edit()->Paragraph().Alignment(), int(taLeftJustify));
}

void FormattingTest::aFontChosenWithNothingSelectedAppliesToTheNextTypedText()
{
    edit()->SetText(QStringLiteral("before "));
    edit()->SetSelStart(7);
    ModalAnswerer answerer;
    QString openedOn;
    answerer.expectDialog(QStringLiteral("FontDialog1"), [&](QWidget* w) {
        auto* dialog = static_cast<TFontDialog*>(w);
        openedOn = dialog->FaceBox()->currentText();
        dialog->FaceBox()->setEditText(QStringLiteral("Liberation Serif"));
        dialog->SizeBox()->setValue(18);
        dialog->BoldBox()->setChecked(true);
        dialog->UnderlineBox()->setChecked(true);
        dialog->ColorBox()->setCurrentIndex(dialog->ColorBox()->findData(QColor(Qt::red)));
        dialog->ScriptBox()->setCurrentIndex(dialog->ScriptBox()->findData(204));
        QTest::keyClick(w, Qt::Key_Return);
    });
    form_->Action(QStringLiteral("FormatFont"))->Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(openedOn, QStringLiteral("Arial"));
    TypeText(edit(), QString::fromUtf8("Текст"));
    edit()->SetSelStart(7);
    edit()->SetSelLength(5);
    const TFontSpec font = edit()->SelAttributes().Font();
    QCOMPARE(font.name, QStringLiteral("Liberation Serif"));
    QCOMPARE(font.size, 18);
    QVERIFY(font.style.bold && font.style.underline && !font.style.italic);
    QCOMPARE(font.color, QColor(Qt::red));
    QCOMPARE(font.charset, 204);
    edit()->SetSelStart(0);
    edit()->SetSelLength(3);
    QVERIFY(!edit()->SelAttributes().Style().bold);

    // Cancel changes nothing.
    answerer.expectDialog(QStringLiteral("FontDialog1"), [](QWidget* w) {
        static_cast<TFontDialog*>(w)->SizeBox()->setValue(40);
        QTest::keyClick(w, Qt::Key_Escape);
    });
    form_->FormatFontExecute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(edit()->SelAttributes().Size(), 9);
}

void FormattingTest::formattingSurvivesSavingAsRtf()
{
    edit()->SetText(QString::fromUtf8("中央の見出し\n箇条書き\n字下げ"));
    edit()->SetSelStart(0);
    edit()->Paragraph().SetAlignment(taCenter);
    edit()->SetSelLength(2);
    edit()->SelAttributes().SetStyle({true, true, false, false});
    edit()->SetSelStart(8);
    edit()->Paragraph().SetNumbering(nsBullet);
    edit()->SetSelStart(12);
    edit()->Paragraph().SetFirstIndent(48);
    edit()->Paragraph().SetLeftIndent(-24);
    edit()->Paragraph().SetRightIndent(12);
    const QString path = dir_.filePath(QStringLiteral("formats.rtf"));
    edit()->PlainText = false;
    edit()->SaveToFile(path);
    edit()->SetText(QString());
    edit()->LoadFromFile(path);
    QCOMPARE(edit()->Text(), QString::fromUtf8("中央の見出し\n箇条書き\n字下げ"));
    edit()->SetSelStart(0);
    QCOMPARE(edit()->Paragraph().Alignment(), int(taCenter));
    edit()->SetSelLength(2);
    QVERIFY(edit()->SelAttributes().Style().bold && edit()->SelAttributes().Style().italic);
    edit()->SetSelStart(8);
    QCOMPARE(edit()->Paragraph().Numbering(), int(nsBullet));
    edit()->SetSelStart(12);
    QCOMPARE(edit()->Paragraph().FirstIndent(), 48);
    QCOMPARE(edit()->Paragraph().LeftIndent(), -24);
    QCOMPARE(edit()->Paragraph().RightIndent(), 12);
}

QTEST_MAIN(FormattingTest)
#include "tst_formatting.moc"
