// Start-up: the five windows in their order, hidden dialogs that are never recreated,
// and the state the main window starts in.
#include "foreignsearch/FindDlgForm.h"
#include "format/PageWidth.h"
#include "format/Paragraph.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/richedit/RichEdit.h"
#include "shell/About.h"
#include "shell/SDIMain.h"
#include "support/WindowSetFixture.h"

#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fiveFormsAreCreatedInOrderAndTheDialogsStayHidden();
    void mainWindowStartsWithAnEmptyUntitledDocument();
    void showingADialogReusesTheOneInstance();
};

void StartupTest::fiveFormsAreCreatedInOrderAndTheDialogsStayHidden()
{
    WindowSetFixture fixture;
    QCOMPARE(fixture.application().CreatedFormClasses(),
             QStringList({QStringLiteral("TSDIAppForm"), QStringLiteral("TAboutBox"),
                          QStringLiteral("TSetPageWidth"), QStringLiteral("TSetParagraph"),
                          QStringLiteral("TFindDlg")}));
    QCOMPARE(fixture.application().MainForm(), SDIAppForm);
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tesserine"));
    for (QWidget* dialog : std::initializer_list<QWidget*>{AboutBox, SetPageWidth, SetParagraph, FindDlg}) {
        QVERIFY(dialog);
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->isWindow());
    }
    QVERIFY(FindDlg->windowFlags() & Qt::WindowStaysOnTopHint);
    // The main window shows the program's icon, drawn for the usual window-icon sizes.
    const QIcon icon = SDIAppForm->windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QCOMPARE(icon.pixmap(48, 48).toImage().pixelColor(24, 24).alpha(), 255);  // a mosaic tile
}

void StartupTest::mainWindowStartsWithAnEmptyUntitledDocument()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    QCOMPARE(form->RichEdit1->Text(), QString());
    QVERIFY(!form->RichEdit1->Modified());
    QCOMPARE(form->DocumentFileName, QString());
    QCOMPARE(form->LastFindText, QString());
    QVERIFY(!form->LastMatchCase && !form->LastWholeWord && !form->LastSearchDown);
    QCOMPARE(form->PageWidthInches, 6.5);
    // Without stored settings the Cyrillic row and "Arial CYR" are taken.
    QCOMPARE(form->ComboBox2->ItemIndex(), 11);
    QCOMPARE(ControlCharset(form->lastFindWord), 204);
    QCOMPARE(form->ComboBox1->Text(), QStringLiteral("Arial CYR"));
    QCOMPARE(ControlFontName(form->lastFindWord), QStringLiteral("Arial CYR"));
    QVERIFY(form->ComboBox1->count() > 0);
}

void StartupTest::showingADialogReusesTheOneInstance()
{
    WindowSetFixture fixture;
    QVERIFY(fixture.showMainWindow());
    TFindDlg* dialog = FindDlg;
    fixture.form()->EidtFindRus1Execute();
    QVERIFY(dialog->isVisible());
    fixture.form()->EidtFindRus1Execute();
    QCOMPARE(FindDlg, dialog);
    dialog->Close();
    QVERIFY(!dialog->isVisible());
    fixture.form()->EidtFindRus1Execute();
    QVERIFY(dialog->isVisible());
    QCOMPARE(FindDlg, dialog);
    dialog->Close();
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
