// The foreign-language search: the language table, the directional search, and the
// search dialog driven with keys and clicks.
#include "foreignsearch/FindDlgForm.h"
#include "search/FindInDocument.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/forms/Actions.h"
#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/WindowSetFixture.h"

#include <QGlyphRun>
#include <QInputMethodEvent>
#include <QLayout>
#include <QLineEdit>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

namespace {

// The families Qt draws text with in a control's font.
QStringList FamiliesDrawing(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns())
        families << run.rawFont().familyName();
    return families;
}

} // namespace

class ForeignSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void languageTableHoldsFourteenRowsInCharsetOrder();
    void languageCharsetChangesOnlyTheCharsetAndOnlyForARow();
    void editBoxesDrawEachScriptWithAFontThatCoversIt();
    void downwardSearchStepsThroughOverlappingOccurrences();
    void upwardSearchFindsTheLastOccurrenceBeforeTheSelection();
    void searchesAlwaysEndAndStayInsideTheText();
    void firstShowingPresentsTheStoredSearch();
    void withNoLanguageTheSearchBoxKeepsTheJapaneseCharset();
    void findButtonStepsThroughTheDocumentWhileTheDialogStaysOpen();
    void closingStoresTheDialogExactlyAsShownWhetherByCancelOrCloseBox();
    void findNextRepeatsTheStoredSearchEvenWithTheDialogOpen();
    void showingAnOpenDialogBringsItToTheFrontWithoutReloading();
    void everyLanguageIsSearchedWithAndWithoutCaseAndWholeWord_data();
    void everyLanguageIsSearchedWithAndWithoutCaseAndWholeWord();
    void dialogLayoutTabOrderAndKeys();
    void japaneseInputMethodTextReachesTheSearchBox();

private:
    TRichEdit* edit() const { return form_->RichEdit1; }
    void openDialog();
    std::unique_ptr<WindowSetFixture> fixture_;
    TSDIAppForm* form_ = nullptr;
};

void ForeignSearchTest::init()
{
    fixture_ = std::make_unique<WindowSetFixture>();
    form_ = fixture_->form();
    QVERIFY(fixture_->showMainWindow());
}

void ForeignSearchTest::cleanup()
{
    fixture_.reset();
}

void ForeignSearchTest::openDialog()
{
    QTest::keyClick(form_->RichEdit1, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(FindDlg->isVisible());
}

void ForeignSearchTest::languageTableHoldsFourteenRowsInCharsetOrder()
{
    const QStringList labels = LanguageLabels();
    QCOMPARE(labels.size(), 14);
    QCOMPARE(labels[0], U("日本語 Shift-JIS"));
    QCOMPARE(labels[1], U("韓国語（Wansung）"));
    QCOMPARE(labels[2], U("韓国語（Johab）"));
    QCOMPARE(labels[3], U("簡体字中国語（大陸中国）"));
    QCOMPARE(labels[4], U("繁体字中国語（台湾）"));
    QCOMPARE(labels[11], U("キリル文字"));
    QCOMPARE(labels[13], U("東欧諸国"));
    const int codes[] = {128, 129, 130, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238};
    for (int i = 0; i < 14; ++i)
        QCOMPARE(CharsetForLanguage(i), std::optional<int>(codes[i]));
    QCOMPARE(CharsetForLanguage(-1), std::nullopt);
    QCOMPARE(CharsetForLanguage(14), std::nullopt);
    QCOMPARE(CharsetForLanguage(20), std::nullopt);
    QCOMPARE(form_->ComboBox2->Items(), labels);
    QCOMPARE(FindDlg->ComboBox2->Items(), labels);
    QCOMPARE(FindDlg->ComboBox1->Items(), form_->ComboBox1->Items());
}

void ForeignSearchTest::languageCharsetChangesOnlyTheCharsetAndOnlyForARow()
{
    SetControlFontName(form_->lastFindWord, QStringLiteral("Liberation Serif"));
    form_->ComboBox2->SetItemIndex(-1);
    SetControlCharset(form_->lastFindWord, 128);
    form_->ApplyLanguageCharset();
    QCOMPARE(ControlCharset(form_->lastFindWord), 128);
    form_->ComboBox2->SetItemIndex(5);
    form_->ApplyLanguageCharset();
    QCOMPARE(ControlCharset(form_->lastFindWord), 161);
    QCOMPARE(ControlFontName(form_->lastFindWord), QStringLiteral("Liberation Serif"));
    QCOMPARE(form_->lastFindWord->font().pixelSize(), 11);
    // A font chosen after the language keeps the character set.
    SetControlFontName(form_->lastFindWord, QStringLiteral("DejaVu Sans"));
    QCOMPARE(ControlCharset(form_->lastFindWord), 161);
}

void ForeignSearchTest::editBoxesDrawEachScriptWithAFontThatCoversIt()
{
    TEdit box(nullptr, QStringLiteral("box"));
    SetControlFont(&box, QStringLiteral("Arial CYR"), -12, 204);
    struct Sample { int charset; const char* text; };
    for (const Sample& sample : {Sample{129, "한국어 검색"}, Sample{222, "ภาษาไทย"}, Sample{178, "العربية"}}) {
        SetControlCharset(&box, sample.charset);
        const QString script = ScriptFontForCharset(sample.charset);
        QVERIFY2(!script.isEmpty(), sample.text);
        QCOMPARE(ControlFontName(&box), QStringLiteral("Arial CYR"));
        QVERIFY(box.font().families().contains(script));
        const QStringList drawing = FamiliesDrawing(box.font(), U(sample.text));
        QVERIFY2(drawing.contains(script), qPrintable(drawing.join(QLatin1Char(','))));
        QRawFont raw = QRawFont::fromFont(QFont(script));
        QVERIFY(raw.supportsCharacter(U(sample.text).at(0)));
    }
    // Han characters follow the chosen language: Japanese and Chinese faces differ.
    const QString japanese = ScriptFontForCharset(128);
    const QString simplified = ScriptFontForCharset(134);
    QVERIFY(!japanese.isEmpty() && !simplified.isEmpty());
    QVERIFY2(japanese != simplified, qPrintable(japanese));
    SetControlCharset(&box, 134);
    QVERIFY(FamiliesDrawing(box.font(), U("直")).contains(simplified));
    QCOMPARE(ScriptFontForCharset(0), QString());
}

void ForeignSearchTest::downwardSearchStepsThroughOverlappingOccurrences()
{
    edit()->SetText(QStringLiteral("aaaa"));
    edit()->SetSelStart(0);
    QList<int> starts;
    for (int i = 0; i < 4; ++i) {
        SelectOccurrence(*edit(), FindInDocument(*edit(), QStringLiteral("aa"), {}, kSearchDown), QStringLiteral("aa"));
        starts << edit()->SelStart();
        QCOMPARE(edit()->SelLength(), 2);
    }
    QCOMPARE(starts, QList<int>({0, 1, 2, 2}));
    edit()->SetText(QStringLiteral("abab"));
    edit()->SetSelStart(0);
    edit()->SetSelLength(2);
    QCOMPARE(FindInDocument(*edit(), QStringLiteral("ab"), {}, kSearchDown), std::optional<int>(2));
    // From a caret too, an occurrence ending at the last character is reachable.
    edit()->SetSelStart(1);
    QCOMPARE(FindInDocument(*edit(), QStringLiteral("ab"), {}, kSearchDown), std::optional<int>(2));
    // Any direction other than exactly 1 searches up.
    QCOMPARE(FindInDocument(*edit(), QStringLiteral("ab"), {}, 2), std::optional<int>());
}

void ForeignSearchTest::upwardSearchFindsTheLastOccurrenceBeforeTheSelection()
{
    edit()->SetText(QStringLiteral("aaaa"));
    edit()->SetSelStart(4);
    QList<int> starts;
    for (int i = 0; i < 3; ++i) {
        SelectOccurrence(*edit(), FindInDocument(*edit(), QStringLiteral("aa"), {}, kSearchUp), QStringLiteral("aa"));
        starts << edit()->SelStart();
    }
    QCOMPARE(starts, QList<int>({2, 0, 0}));
    QCOMPARE(edit()->SelLength(), 2);
    // The selected occurrence itself is never found again.
    edit()->SetText(QStringLiteral("xx ab ab"));
    edit()->SetSelStart(6);
    edit()->SetSelLength(2);
    QCOMPARE(FindInDocument(*edit(), QStringLiteral("ab"), {}, kSearchUp), std::optional<int>(3));
    edit()->SetSelStart(0);
    QCOMPARE(FindInDocument(*edit(), QStringLiteral("xx"), {}, kSearchUp), std::optional<int>());
}

void ForeignSearchTest::searchesAlwaysEndAndStayInsideTheText()
{
    for (int direction : {kSearchUp, kSearchDown}) {
        edit()->SetText(QString());
        QCOMPARE(FindInDocument(*edit(), QStringLiteral("a"), {}, direction), std::optional<int>());
        edit()->SetText(QStringLiteral("text"));
        edit()->SetSelStart(2);
        QCOMPARE(FindInDocument(*edit(), QString(), {}, direction), std::optional<int>());
        edit()->SetSelStart(4);
        const std::optional<int> none = FindInDocument(*edit(), QStringLiteral("t"), {}, kSearchDown);
        QVERIFY(!none.has_value());
    }
    // A miss leaves the selection as it was.
    edit()->SetSelStart(1);
    edit()->SetSelLength(2);
    SelectOccurrence(*edit(), FindInDocument(*edit(), QStringLiteral("zz"), {}, kSearchDown), QStringLiteral("zz"));
    QCOMPARE(edit()->SelStart(), 1);
    QCOMPARE(edit()->SelLength(), 2);
    // A hit on text outside the basic plane selects exactly the match.
    edit()->SetText(U("a𠀋b"));
    edit()->SetSelStart(0);
    SelectOccurrence(*edit(), FindInDocument(*edit(), U("𠀋"), {}, kSearchDown), U("𠀋"));
    QCOMPARE(edit()->SelText(), U("𠀋"));
}

void ForeignSearchTest::firstShowingPresentsTheStoredSearch()
{
    openDialog();
    QCOMPARE(FindDlg->Edit1->Text(), QString());
    QVERIFY(!FindDlg->btnFind->isEnabled());
    QCOMPARE(FindDlg->ComboBox2->ItemIndex(), 11);
    QCOMPARE(FindDlg->ComboBox2->Text(), U("キリル文字"));
    QCOMPARE(ControlCharset(FindDlg->Edit1), 204);
    QCOMPARE(FindDlg->ComboBox1->Text(), QStringLiteral("Arial CYR"));
    QCOMPARE(ControlFontName(FindDlg->Edit1), QStringLiteral("Arial CYR"));
    QVERIFY(!FindDlg->chMatchCase->Checked());
    QVERIFY(!FindDlg->chWholeWord->Checked());
    QCOMPARE(FindDlg->grDown->ItemIndex(), 1);
    QVERIFY(FindDlg->windowFlags() & Qt::WindowStaysOnTopHint);
    FindDlg->Close();
}

void ForeignSearchTest::withNoLanguageTheSearchBoxKeepsTheJapaneseCharset()
{
    form_->ComboBox2->SetItemIndex(-1);
    openDialog();
    QCOMPARE(FindDlg->ComboBox2->ItemIndex(), -1);
    QCOMPARE(ControlCharset(FindDlg->Edit1), 128);
    QCOMPARE(ControlFontName(FindDlg->Edit1), QStringLiteral("Arial CYR"));
    FindDlg->Close();
}

void ForeignSearchTest::findButtonStepsThroughTheDocumentWhileTheDialogStaysOpen()
{
    edit()->SetText(U("Мама мыла раму. мама"));
    edit()->SetSelStart(0);
    openDialog();
    FindDlg->Edit1->setFocus();
    TypeText(FindDlg->Edit1, U("мама"));
    QVERIFY(FindDlg->btnFind->isEnabled());
    QTest::mouseClick(FindDlg->btnFind, Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), 0);
    QTest::mouseClick(FindDlg->btnFind, Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), 16);
    QTest::mouseClick(FindDlg->chMatchCase, Qt::LeftButton);
    QVERIFY(FindDlg->chMatchCase->Checked());
    FindDlg->grDown->SetItemIndex(0);
    QTest::mouseClick(FindDlg->btnFind, Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), 16);  // nothing lowercase before it
    QVERIFY(FindDlg->isVisible());
    // The search found from the dialog leaves the focus in the dialog.
    QVERIFY(FindDlg->isAncestorOf(FindDlg->focusWidget()));
    QVERIFY(!edit()->hasFocus() || !FindDlg->isActiveWindow());
    // Searching wrote nothing to the stored search.
    QCOMPARE(form_->lastFindWord->Text(), QString());
    QTest::keyClick(FindDlg->Edit1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(FindDlg->Edit1, Qt::Key_Backspace);
    QVERIFY(!FindDlg->btnFind->isEnabled());
    FindDlg->Close();
}

void ForeignSearchTest::closingStoresTheDialogExactlyAsShownWhetherByCancelOrCloseBox()
{
    openDialog();
    FindDlg->Edit1->SetText(U("검색"));
    FindDlg->ComboBox2->SetItemIndex(1);
    FindDlg->ComboBox2Click();
    QCOMPARE(ControlCharset(FindDlg->Edit1), 129);
    FindDlg->ComboBox1->setFocus();
    FindDlg->ComboBox1->lineEdit()->selectAll();
    QTest::keyClicks(FindDlg->ComboBox1, QStringLiteral("Typed Face"));
    // A typed font name is not applied to the edit until an entry is picked.
    QCOMPARE(ControlFontName(FindDlg->Edit1), QStringLiteral("Arial CYR"));
    QTest::mouseClick(FindDlg->chWholeWord, Qt::LeftButton);
    FindDlg->grDown->SetItemIndex(0);
    QTest::mouseClick(FindDlg->Cancel, Qt::LeftButton);
    QVERIFY(!FindDlg->isVisible());
    QCOMPARE(form_->lastFindWord->Text(), U("검색"));
    QCOMPARE(form_->ComboBox2->ItemIndex(), 1);
    QCOMPARE(form_->ComboBox1->Text(), QStringLiteral("Typed Face"));
    QCOMPARE(ControlFontName(form_->lastFindWord), QStringLiteral("Typed Face"));
    QVERIFY(form_->chWholeWord->Checked());
    QVERIFY(!form_->chMatchCase->Checked());
    QCOMPARE(form_->grDown->ItemIndex(), 0);

    // The close box stores too: an empty text and no language.
    openDialog();
    QCOMPARE(FindDlg->Edit1->Text(), U("검색"));
    QCOMPARE(ControlCharset(FindDlg->Edit1), 129);
    FindDlg->Edit1->SetText(QString());
    FindDlg->ComboBox2->SetItemIndex(-1);
    FindDlg->close();
    QCOMPARE(form_->lastFindWord->Text(), QString());
    QCOMPARE(form_->ComboBox2->ItemIndex(), -1);
    openDialog();
    QCOMPARE(FindDlg->ComboBox2->ItemIndex(), -1);
    QCOMPARE(ControlCharset(FindDlg->Edit1), 129);  // -1 changes no character set
    FindDlg->Close();
    form_->FileExit1Execute();
}

void ForeignSearchTest::findNextRepeatsTheStoredSearchEvenWithTheDialogOpen()
{
    edit()->SetText(QStringLiteral("one two one two"));
    edit()->SetSelStart(0);
    // Before the dialog was used the stored text is empty: F4 finds nothing.
    QTest::keyClick(edit(), Qt::Key_F4);
    QCOMPARE(edit()->SelLength(), 0);
    openDialog();
    FindDlg->Edit1->SetText(QStringLiteral("two"));
    FindDlg->Close();
    openDialog();
    FindDlg->Edit1->SetText(QStringLiteral("one"));
    // F4 pressed in the dialog repeats what it stored, not what it shows.
    QTest::keyClick(FindDlg->Edit1, Qt::Key_F4);
    QCOMPARE(edit()->SelStart(), 4);
    QCOMPARE(edit()->SelText(), QStringLiteral("two"));
    QTest::keyClick(FindDlg->Edit1, Qt::Key_F4);
    QCOMPARE(edit()->SelStart(), 12);
    FindDlg->Close();
}

void ForeignSearchTest::showingAnOpenDialogBringsItToTheFrontWithoutReloading()
{
    openDialog();
    FindDlg->Edit1->SetText(QStringLiteral("unsaved"));
    form_->Action(QStringLiteral("EidtFindRus1"))->Execute();
    QCOMPARE(FindDlg->Edit1->Text(), QStringLiteral("unsaved"));
    FindDlg->Close();
}

void ForeignSearchTest::everyLanguageIsSearchedWithAndWithoutCaseAndWholeWord_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("found");
    QTest::newRow("japanese") << 0 << U("東京と京都、京都へ") << U("京都") << false << false << 3;
    QTest::newRow("japanese whole word") << 0 << U("東京と京都") << U("京都") << true << true << 3;
    QTest::newRow("korean wansung") << 1 << U("한국어와 한국") << U("한국") << false << true << 5;
    QTest::newRow("korean johab") << 2 << U("조합 조합형") << U("조합형") << true << false << 3;
    QTest::newRow("simplified chinese") << 3 << U("简体中文 中国") << U("中国") << false << false << 5;
    QTest::newRow("traditional chinese") << 4 << U("繁體中文 臺灣") << U("臺灣") << true << true << 5;
    QTest::newRow("greek case-blind") << 5 << U("ΑΘΗΝΑ αθηνα") << U("αθηνα") << false << false << 0;
    QTest::newRow("greek case") << 5 << U("ΑΘΗΝΑ αθηνα") << U("αθηνα") << true << false << 6;
    QTest::newRow("turkish whole word") << 6 << U("Türkçe Türk") << U("türk") << false << true << 7;
    QTest::newRow("vietnamese") << 7 << U("Tiếng Việt") << U("việt") << false << false << 6;
    QTest::newRow("hebrew") << 8 << U("עברית שפה") << U("שפה") << true << true << 6;
    QTest::newRow("arabic") << 9 << U("اللغة العربية") << U("العربية") << false << true << 6;
    QTest::newRow("baltic") << 10 << U("Lietuvių ŽODIS žodis") << U("žodis") << true << false << 15;
    QTest::newRow("cyrillic") << 11 << U("Слово словарь слово") << U("слово") << false << true << 0;
    QTest::newRow("cyrillic case whole") << 11 << U("Слово словарь слово") << U("слово") << true << true << 14;
    QTest::newRow("thai") << 12 << U("ภาษาไทย ไทย") << U("ไทย") << false << false << 4;
    QTest::newRow("eastern european") << 13 << U("Łódź ŁÓDŹ łódź") << U("łódź") << true << true << 10;
}

void ForeignSearchTest::everyLanguageIsSearchedWithAndWithoutCaseAndWholeWord()
{
    QFETCH(int, language);
    QFETCH(QString, document);
    QFETCH(QString, typed);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(int, found);
    edit()->SetText(document);
    edit()->SetSelStart(0);
    openDialog();
    FindDlg->ComboBox2->SetItemIndex(language);
    FindDlg->ComboBox2Click();
    QCOMPARE(ControlCharset(FindDlg->Edit1), *CharsetForLanguage(language));
    FindDlg->Edit1->setFocus();
    TypeText(FindDlg->Edit1, typed);
    QCOMPARE(FindDlg->Edit1->Text(), typed);
    if (matchCase)
        QTest::mouseClick(FindDlg->chMatchCase, Qt::LeftButton);
    if (wholeWord)
        QTest::mouseClick(FindDlg->chWholeWord, Qt::LeftButton);
    QTest::mouseClick(FindDlg->btnFind, Qt::LeftButton);
    QCOMPARE(edit()->SelStart(), found);
    QCOMPARE(edit()->SelLength(), typed.size());
    FindDlg->Close();
}

void ForeignSearchTest::dialogLayoutTabOrderAndKeys()
{
    openDialog();
    QCOMPARE(FindDlg->windowTitle(), U("検索"));
    QCOMPARE(FindDlg->pos(), QPoint(420, 260));
    // Laid out as designed, each control at least its designed size, at the installed fonts.
    QVERIFY(FindDlg->Edit1->width() >= 265);
    QVERIFY(FindDlg->btnFind->width() >= 97 && FindDlg->btnFind->height() >= 25);
    QVERIFY(FindDlg->btnFind->x() > FindDlg->Edit1->geometry().right());
    QVERIFY(FindDlg->ComboBox2->y() < FindDlg->ComboBox1->y());
    QCOMPARE(FindDlg->Label1->Caption(), U("検索する文字列(&N)"));
    QCOMPARE(FindDlg->Label2->Caption(), U("ﾌｫﾝﾄ"));
    QCOMPARE(FindDlg->grDown->title(), U("検索する方向"));
    // No caption is cut off (the underlined mnemonic included), and none touches its box.
    for (QLabel* label : FindDlg->findChildren<QLabel*>())
        QVERIFY2(label->width() >= label->sizeHint().width() && label->height() >= label->sizeHint().height(),
                 qPrintable(label->objectName()));
    const std::pair<QWidget*, QWidget*> captioned[] = {
        {FindDlg->Label1, FindDlg->Edit1}, {FindDlg->Label3, FindDlg->ComboBox2}, {FindDlg->Label2, FindDlg->ComboBox1}};
    for (const auto& [label, box] : captioned)
        QVERIFY2(label->geometry().right() + 4 < box->x(), qPrintable(label->objectName()));
    // Every language's name shows whole in its box, 簡体字中国語（大陸中国） the longest.
    const QFontMetrics languageFont(FindDlg->ComboBox2->lineEdit()->font());
    for (const QString& language : FindDlg->ComboBox2->Items())
        QVERIFY2(FindDlg->ComboBox2->lineEdit()->width() >= languageFont.horizontalAdvance(language),
                 qPrintable(QStringLiteral("%1: %2 < %3").arg(language).arg(FindDlg->ComboBox2->lineEdit()->width()).arg(languageFont.horizontalAdvance(language))));
    for (QCheckBox* box : {static_cast<QCheckBox*>(FindDlg->chMatchCase), static_cast<QCheckBox*>(FindDlg->chWholeWord)})
        QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->objectName()));
    QWidget* const order[] = {FindDlg->Edit1, FindDlg->ComboBox1, FindDlg->btnFind, FindDlg->chMatchCase,
                              FindDlg->chWholeWord, FindDlg->grDown, FindDlg->Cancel, FindDlg->ComboBox2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next && next->parentWidget() == order[i])  // the combo's line edit
            next = next->nextInFocusChain();
        while (next && (next->focusPolicy() == Qt::NoFocus || order[i + 1]->isAncestorOf(next)) && next != order[i + 1])
            next = next->nextInFocusChain();
        QCOMPARE(next, order[i + 1]);
    }
    // Enter and Esc press neither button.
    edit()->SetText(QStringLiteral("abc abc"));
    edit()->SetSelStart(0);
    FindDlg->Edit1->SetText(QStringLiteral("abc"));
    FindDlg->Edit1->setFocus();
    QTest::keyClick(FindDlg->Edit1, Qt::Key_Return);
    QCOMPARE(edit()->SelLength(), 0);
    QTest::keyClick(FindDlg->Edit1, Qt::Key_Escape);
    QVERIFY(FindDlg->isVisible());
    // The frame is resizable and the controls keep their places.
    FindDlg->layout()->activate();
    const QRect searchBox = FindDlg->Edit1->geometry();
    const QRect cancel = FindDlg->Cancel->geometry();
    FindDlg->resize(900, 400);
    QCOMPARE(FindDlg->Edit1->geometry(), searchBox);
    QCOMPARE(FindDlg->Cancel->geometry(), cancel);
    FindDlg->Close();
}

void ForeignSearchTest::japaneseInputMethodTextReachesTheSearchBox()
{
    openDialog();
    FindDlg->Edit1->setFocus();
    QInputMethodEvent composing(U("にほんご"), {});
    QCoreApplication::sendEvent(FindDlg->Edit1, &composing);
    QInputMethodEvent commit;
    commit.setCommitString(U("日本語"));
    QCoreApplication::sendEvent(FindDlg->Edit1, &commit);
    QCOMPARE(FindDlg->Edit1->Text(), U("日本語"));
    QVERIFY(FindDlg->btnFind->isEnabled());
    FindDlg->Close();
}

QTEST_MAIN(ForeignSearchTest)
#include "tst_foreign_search.moc"
