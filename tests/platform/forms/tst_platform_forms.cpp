// Forms, buttons, message boxes, the handler boundary, actions and toolbar buttons
// of the platform layer, on small forms of the test's own.
#include "platform/forms/Actions.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/Menus.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBar.h"
#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <stdexcept>

namespace {

class OkCancelDialog : public TDialogForm {
public:
    explicit OkCancelDialog(QWidget* owner = nullptr) : TDialogForm(owner, QStringLiteral("OkCancelDialog"))
    {
        ok = new TButton(this, QStringLiteral("OKBtn"), QStringLiteral("OK"));
        ok->ModalResult = mrOk;
        ok->SetDefault(true);
        cancel = new TButton(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"));
        cancel->ModalResult = mrCancel;
        cancel->SetCancel(true);
        cancel->move(0, 40);
        edit = new TEdit(this, QStringLiteral("Edit1"));
        edit->move(0, 80);
    }
    void FormShow() override { ++shows; }
    void FormClose() override { ++closes; }
    TButton* ok;
    TButton* cancel;
    TEdit* edit;
    int shows = 0;
    int closes = 0;
};

class PlainForm : public TMainForm {
public:
    PlainForm() : TMainForm(QStringLiteral("PlainForm"))
    {
        edit = new QTextEdit(this);
        setCentralWidget(edit);
        actions = new TActionList(this);
        selectAll = actions->Add(QStringLiteral("SelectAllCommand"));
        selectAll->SetShortCut(QKeySequence(QStringLiteral("Ctrl+A")));
        selectAll->OnExecute = [this]() { ++selectAllRuns; };
        del = actions->Add(QStringLiteral("DeleteCommand"));
        del->SetShortCut(QKeySequence(Qt::Key_Delete));
        del->OnExecute = [this]() { ++deleteRuns; };
        menu = new TPopupMenu(this, QStringLiteral("Menu"), QStringLiteral("Menu"));
        item = menu->AddItem(QStringLiteral("SelectAllItem"));
        item->SetAction(selectAll);
    }
    QTextEdit* edit;
    TActionList* actions;
    TAction* selectAll;
    TAction* del;
    TPopupMenu* menu;
    TMenuItem* item;
    int selectAllRuns = 0;
    int deleteRuns = 0;
};

} // namespace

class PlatformFormsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void buttonsGiveTheirModalResult();
    void screenCentredDialogsIgnoreTheirOwnersPlace();
    void clickHandlerResettingTheResultKeepsTheDialogOpen();
    void closeBoxAndEscGiveCancel();
    void escDoesNothingWithoutCancelButton();
    void messageBoxesReturnClassicCodes_data();
    void messageBoxesReturnClassicCodes();
    void aShortMessageLeavesRoomForItsWholeCaption();
    void handlerBoundaryShowsFailuresInsteadOfCrashing();
    void actionShortcutsBeatTheEditAndIgnoreItemState();
    void editKeepsKeysItIsAllowedToKeep();
    void hintsSplitIntoTooltipAndStatusText();
    void groupedToolButtonsReleaseEachOther();
    void comboAndRadioIndexesOutsideTheItemsSelectNothing();
};

void PlatformFormsTest::initTestCase()
{
    static TApplication application;
    application.Initialize();
}

void PlatformFormsTest::buttonsGiveTheirModalResult()
{
    OkCancelDialog dialog;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [](QWidget* w) {
        QTest::keyClick(w->findChild<QWidget*>(QStringLiteral("Edit1")), Qt::Key_Return);
    });
    QCOMPARE(dialog.ShowModal(), int(mrOk));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(dialog.shows, 1);
    QCOMPARE(dialog.closes, 1);
    QVERIFY(!dialog.isVisible());

    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [](QWidget* w) {
        static_cast<OkCancelDialog*>(w)->cancel->click();
    });
    QCOMPARE(dialog.ShowModal(), int(mrCancel));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(dialog.shows, 2);
}

void PlatformFormsTest::screenCentredDialogsIgnoreTheirOwnersPlace()
{
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QWidget owner;
    owner.setGeometry(0, 0, 200, 120);
    owner.show();
    OkCancelDialog dialog(&owner);
    dialog.resize(240, 120);
    dialog.CentredOnScreen = true;
    QPoint modalCentre;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [&modalCentre](QWidget* w) {
        modalCentre = w->geometry().center();
        static_cast<OkCancelDialog*>(w)->cancel->click();
    });
    dialog.ShowModal();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY2((modalCentre - screenCentre).manhattanLength() <= 4,
             qPrintable(QStringLiteral("centre %1,%2").arg(modalCentre.x()).arg(modalCentre.y())));

    // Moved away and shown again, modelessly, it starts from the centre once more.
    dialog.move(0, 0);
    dialog.Show();
    QVERIFY((dialog.geometry().center() - screenCentre).manhattanLength() <= 4);
    dialog.Close();
}

void PlatformFormsTest::clickHandlerResettingTheResultKeepsTheDialogOpen()
{
    OkCancelDialog dialog;
    int clicks = 0;
    dialog.ok->OnClick = [&]() {
        if (++clicks == 1)
            dialog.SetModalResult(mrNone);
    };
    ModalAnswerer answerer;
    bool stayedOpen = false;
    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [&](QWidget*) {
        dialog.ok->click();
        stayedOpen = dialog.isVisible();
        dialog.ok->click();
    });
    QCOMPARE(dialog.ShowModal(), int(mrOk));
    QVERIFY(answerer.allAnswered());
    QVERIFY(stayedOpen);
    QCOMPARE(clicks, 2);
}

void PlatformFormsTest::closeBoxAndEscGiveCancel()
{
    OkCancelDialog dialog;
    ModalAnswerer answerer;
    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [](QWidget* w) { w->close(); });
    QCOMPARE(dialog.ShowModal(), int(mrCancel));
    answerer.expectDialog(QStringLiteral("OkCancelDialog"),
                          [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(dialog.ShowModal(), int(mrCancel));
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(dialog.closes, 2);
}

void PlatformFormsTest::escDoesNothingWithoutCancelButton()
{
    OkCancelDialog dialog;
    dialog.cancel->SetCancel(false);
    ModalAnswerer answerer;
    bool stayedOpen = false;
    answerer.expectDialog(QStringLiteral("OkCancelDialog"), [&](QWidget* w) {
        QTest::keyClick(w, Qt::Key_Escape);
        stayedOpen = w->isVisible();
        dialog.ok->click();
    });
    QCOMPARE(dialog.ShowModal(), int(mrOk));
    QVERIFY(stayedOpen);
}

void PlatformFormsTest::messageBoxesReturnClassicCodes_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    // A question asks with the question icon; a box that only reports warns.
    QTest::addColumn<int>("icon");
    const int question = QMessageBox::Question;
    const int warning = QMessageBox::Warning;
    QTest::newRow("yes by Enter") << int(MB_YESNOCANCEL) << int(Qt::Key_Return) << int(IDYES) << question;
    QTest::newRow("no by its letter") << int(MB_YESNOCANCEL) << int(Qt::Key_N) << int(IDNO) << question;
    QTest::newRow("cancel by Esc") << int(MB_YESNOCANCEL) << int(Qt::Key_Escape) << int(IDCANCEL) << question;
    QTest::newRow("no by Esc") << int(MB_YESNO) << int(Qt::Key_Escape) << int(IDNO) << question;
    QTest::newRow("ok by Enter") << int(MB_OK) << int(Qt::Key_Return) << int(IDOK) << warning;
    QTest::newRow("ok by Esc") << int(MB_OK) << int(Qt::Key_Escape) << int(IDOK) << warning;
    QTest::newRow("an icon asked for") << int(MB_OK | MB_ICONINFORMATION) << int(Qt::Key_Return) << int(IDOK)
                                       << int(QMessageBox::Information);
}

void PlatformFormsTest::messageBoxesReturnClassicCodes()
{
    QFETCH(int, flags);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(int, icon);
    ModalAnswerer answerer;
    QStringList buttons;
    int shownIcon = -1;
    answerer.expect(QStringLiteral("box"), [](QWidget* w) { return qobject_cast<QMessageBox*>(w); },
                    [&](QWidget* w) {
                        for (QAbstractButton* b : static_cast<QMessageBox*>(w)->buttons())
                            buttons << b->text();
                        shownIcon = static_cast<QMessageBox*>(w)->icon();
                        QTest::keyClick(w, Qt::Key(key));
                    });
    QCOMPARE(MessageBox(nullptr, QStringLiteral("text"), QStringLiteral("caption"), flags), result);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(shownIcon, icon);
    // Qt's Japanese translations are loaded: the standard buttons read in Japanese.
    if (flags == MB_YESNOCANCEL)
        QVERIFY2(buttons.join(QLatin1Char(' ')).contains(QString::fromUtf8("いいえ")),
                 qPrintable(buttons.join(QLatin1Char(' '))));
}

void PlatformFormsTest::aShortMessageLeavesRoomForItsWholeCaption()
{
    // "Invalid Page Width" under "Word Processor": the title bar holds the caption in a
    // bold face beside the window's icon and its three buttons, which take 24 pixels or more each.
    const QString caption = QStringLiteral("Word Processor");
    ModalAnswerer answerer;
    int width = 0;
    answerer.expect(QStringLiteral("box"), [](QWidget* w) { return qobject_cast<QMessageBox*>(w); },
                    [&](QWidget* w) {
                        width = w->width();
                        QTest::keyClick(w, Qt::Key_Return);
                    });
    MessageBox(nullptr, QStringLiteral("Invalid Page Width"), caption, MB_OK);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(caption) + 4 * 24;
    QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
}

void PlatformFormsTest::handlerBoundaryShowsFailuresInsteadOfCrashing()
{
    ModalAnswerer answerer;
    answerer.expect(QStringLiteral("error box"), [](QWidget* w) { return qobject_cast<QMessageBox*>(w); },
                    [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
    bool ran = false;
    const bool ok = RunHandler(nullptr, [&]() {
        ran = true;
        throw std::runtime_error("Cannot open file \"/x/y\": No such file or directory");
    });
    QVERIFY(ran);
    QVERIFY(!ok);
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(RunHandler(nullptr, []() {}));
}

void PlatformFormsTest::actionShortcutsBeatTheEditAndIgnoreItemState()
{
    PlainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.edit->setPlainText(QStringLiteral("some text"));
    form.edit->setFocus();

    form.item->SetEnabled(false);
    QTest::keyClick(form.edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(form.selectAllRuns, 1);
    // The edit's own select-all did not run: the command's handler took the key.
    QVERIFY(!form.edit->textCursor().hasSelection());
    QVERIFY(form.selectAll->isEnabled());

    form.item->SetEnabled(true);
    form.item->trigger();
    QCOMPARE(form.selectAllRuns, 2);
}

void PlatformFormsTest::editKeepsKeysItIsAllowedToKeep()
{
    PlainForm form;
    form.actions->ControlKeepsKey = [](QWidget*, const QKeySequence& key) {
        return key == QKeySequence(Qt::Key_Delete);
    };
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.edit->setPlainText(QStringLiteral("abc"));
    form.edit->setFocus();
    form.edit->moveCursor(QTextCursor::Start);
    QTest::keyClick(form.edit, Qt::Key_Delete);
    QCOMPARE(form.deleteRuns, 0);
    QCOMPARE(form.edit->toPlainText(), QStringLiteral("bc"));
}

void PlatformFormsTest::hintsSplitIntoTooltipAndStatusText()
{
    QCOMPARE(ShortHint(QStringLiteral("short|long")), QStringLiteral("short"));
    QCOMPARE(LongHint(QStringLiteral("short|long")), QStringLiteral("long"));
    QCOMPARE(ShortHint(QStringLiteral("both")), QStringLiteral("both"));
    QCOMPARE(LongHint(QStringLiteral("both")), QStringLiteral("both"));
    QCOMPARE(LongHint(QStringLiteral("a|b|c")), QStringLiteral("b|c"));
    QCOMPARE(ShortHint(QString()), QString());
}

void PlatformFormsTest::groupedToolButtonsReleaseEachOther()
{
    QWidget toolbar;
    TToolButton left(&toolbar, QStringLiteral("Left"));
    TToolButton centre(&toolbar, QStringLiteral("Centre"));
    TToolButton toggle(&toolbar, QStringLiteral("Toggle"));
    left.SetCheckStyle(true, true);
    centre.SetCheckStyle(true, true);
    toggle.SetCheckStyle(false, true);

    left.click();
    QVERIFY(left.Down());
    centre.click();
    QVERIFY(centre.Down());
    QVERIFY(!left.Down());
    centre.click();  // all up is allowed
    QVERIFY(!centre.Down());
    left.SetDown(true);
    centre.SetDown(true);
    QVERIFY(!left.Down());
    toggle.click();
    QVERIFY(toggle.Down());
    QVERIFY(centre.Down());  // not in the group
    toggle.click();
    QVERIFY(!toggle.Down());
}

void PlatformFormsTest::comboAndRadioIndexesOutsideTheItemsSelectNothing()
{
    TComboBox combo(nullptr, QStringLiteral("Combo"));
    combo.SetItems({QStringLiteral("a"), QStringLiteral("b")});
    combo.SetItemIndex(1);
    QCOMPARE(combo.Text(), QStringLiteral("b"));
    combo.SetItemIndex(20);
    QCOMPARE(combo.ItemIndex(), -1);
    QCOMPARE(combo.Text(), QString());
    combo.SetText(QStringLiteral("typed"));
    QCOMPARE(combo.Text(), QStringLiteral("typed"));
    QCOMPARE(combo.ItemIndex(), -1);

    TRadioGroup group(nullptr, QStringLiteral("Group"), QString(), {QStringLiteral("up"), QStringLiteral("down")});
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    QCOMPARE(group.ItemIndex(), 1);
    group.SetItemIndex(-1);
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(0);
    QCOMPARE(group.ItemIndex(), 0);
}

QTEST_MAIN(PlatformFormsTest)
#include "tst_platform_forms.moc"
