// The rich-edit control with the clipboard: what a copy offers, what a paste reads first,
// and that pictures and the text beside them survive a copy, a paste and a save.
#include "platform/forms/Application.h"
#include "platform/richedit/RichEdit.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>

namespace {

// A picture of one colour in an image file format.
QByteArray ImageFile(QSize size, QColor color, const char* format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

const QByteArray kPng = ImageFile(QSize(3, 2), Qt::red, "PNG");
const QByteArray kWmf = QByteArray::fromHex("0100090000037a000000");

// The picture data in the RTF, as hexadecimal digits with the line breaks taken out.
QByteArray Digits(const QByteArray& rtf)
{
    return QByteArray(rtf).replace("\r\n", "").replace('\n', "");
}

void PutOnClipboard(QMimeData* data)
{
    QApplication::clipboard()->setMimeData(data);
}

} // namespace

class RichEditClipboardTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void textBesideAPictureIsSavedAsText();
    void picturesCopiedIntoAnotherDocumentKeepTheirData();
    void aCopyOffersRtfAndAPasteReadsTheBestThereIs();

private:
    QByteArray SaveAndRead(const QString& name);
    std::unique_ptr<TRichEdit> edit_;
    QTemporaryDir dir_;
};

void RichEditClipboardTest::initTestCase()
{
    SilencePlatformNoise();
    static TApplication application;
    application.Initialize();
}

void RichEditClipboardTest::init()
{
    edit_ = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    edit_->resize(400, 300);
    edit_->show();
    QVERIFY(QTest::qWaitForWindowExposed(edit_.get()));
    edit_->setFocus();
}

void RichEditClipboardTest::cleanup()
{
    edit_.reset();
    QApplication::clipboard()->clear();
}

QByteArray RichEditClipboardTest::SaveAndRead(const QString& name)
{
    const QString path = dir_.filePath(name);
    edit_->SaveToFile(path);
    return ReadTestFile(path);
}

void RichEditClipboardTest::textBesideAPictureIsSavedAsText()
{
    const QString path = dir_.filePath(QStringLiteral("picture-last.rtf"));
    const QByteArray picture = "{\\pict\\pngblip " + kPng.toHex() + "}";
    QVERIFY(WriteTestFile(path, "{\\rtf1\\ansi " + picture + "other document " + picture + "\\par}"));
    edit_->LoadFromFile(path);

    // Pasted, typed and set right after a picture, and pasted before one.
    auto* text = new QMimeData;
    text->setText(QStringLiteral("NEWWORDS"));
    PutOnClipboard(text);
    QTest::keyClick(edit_.get(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(edit_.get(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(edit_.get(), QStringLiteral("typed"));
    edit_->SetSelStart(17);
    edit_->SetSelText(QStringLiteral("set"));
    edit_->SetSelStart(0);
    edit_->paste();
    QCOMPARE(edit_->Text(), QStringLiteral("NEWWORDS\uFFFCother document \uFFFCsetNEWWORDStyped"));

    // Dropped right after a picture.
    edit_->SetSelStart(9);
    const QPoint afterPicture = edit_->CaretRect().center() + QPoint(1, 0);
    QMimeData dropped;
    dropped.setText(QStringLiteral("DROPPED"));
    QDragEnterEvent enter(afterPicture, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit_->viewport(), &enter);
    QDropEvent drop(afterPicture, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit_->viewport(), &drop);
    QCOMPARE(edit_->Text(), QStringLiteral("NEWWORDS\uFFFCDROPPEDother document \uFFFCsetNEWWORDStyped"));
    for (auto it = edit_->document()->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().text() != QString(QChar::ObjectReplacementCharacter))
            QVERIFY2(!it.fragment().charFormat().hasProperty(QTextFormat::ImageName), qPrintable(it.fragment().text()));

    // Text that has the picture's format all the same (inserted by the document's own
    // cursor, which knows nothing of the control) is still saved as text.
    QTextCursor beside(edit_->document());
    beside.setPosition(9);
    beside.insertText(QStringLiteral("XY"), beside.charFormat());
    QVERIFY(beside.charFormat().isImageFormat());

    const QByteArray saved = SaveAndRead(QStringLiteral("saved.rtf"));
    QCOMPARE(saved.count("\\pict"), 2);
    edit_->LoadFromFile(dir_.filePath(QStringLiteral("saved.rtf")));
    QCOMPARE(edit_->Text(), QStringLiteral("NEWWORDS\uFFFCXYDROPPEDother document \uFFFCsetNEWWORDStyped"));
}

void RichEditClipboardTest::picturesCopiedIntoAnotherDocumentKeepTheirData()
{
    const QString first = dir_.filePath(QStringLiteral("first.rtf"));
    QVERIFY(WriteTestFile(first, "{\\rtf1\\ansi a{\\pict\\pngblip\\picwgoal720\\pichgoal480 " + kPng.toHex()
                                     + "}b{\\pict\\wmetafile8\\picw2540\\pich1270 " + kWmf.toHex() + "}c\\par}"));
    const QString second = dir_.filePath(QStringLiteral("second.rtf"));
    QVERIFY(WriteTestFile(second, "{\\rtf1\\ansi other\\par}"));

    // Copied whole, the first file closed by opening the second, pasted there.
    edit_->LoadFromFile(first);
    edit_->selectAll();
    edit_->copy();
    edit_->LoadFromFile(second);
    QTest::keyClick(edit_.get(), Qt::Key_End, Qt::ControlModifier);
    edit_->paste();
    QCOMPARE(edit_->Text(), QStringLiteral("othera\uFFFCb\uFFFCc"));
    QImage shown;
    for (auto it = edit_->document()->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat() && shown.isNull())
            shown = edit_->document()
                        ->resource(QTextDocument::ImageResource, QUrl(it.fragment().charFormat().toImageFormat().name()))
                        .value<QImage>();
    QCOMPARE(shown.size(), QSize(3, 2));
    QByteArray saved = Digits(SaveAndRead(QStringLiteral("pasted.rtf")));
    QCOMPARE(saved.count("\\pict"), 2);
    QCOMPARE(saved.count(kPng.toHex()), 1);
    QCOMPARE(saved.count(kWmf.toHex()), 1);

    // The metafile alone, copied and pasted in the same document, is a second picture.
    edit_->SetSelStart(8);
    edit_->SetSelLength(1);
    edit_->copy();
    edit_->SetSelStart(0);
    edit_->paste();
    saved = Digits(SaveAndRead(QStringLiteral("twice.rtf")));
    QCOMPARE(saved.count("\\pict\\wmetafile8\\picw2540\\pich1270"), 2);
    QCOMPARE(saved.count(kWmf.toHex()), 2);
}

void RichEditClipboardTest::aCopyOffersRtfAndAPasteReadsTheBestThereIs()
{
    edit_->SetText(QStringLiteral("plain\nbold"));
    edit_->selectAll();
    edit_->copy();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    QCOMPARE(copied->text(), QStringLiteral("plain\nbold"));

    // RTF before HTML before plain text, from whatever program offers them.
    auto* offered = new QMimeData;
    offered->setData(QStringLiteral("text/rtf"), "{\\rtf1\\ansi from {\\b rtf}\\par}");
    offered->setHtml(QStringLiteral("<b>from html</b>"));
    offered->setText(QStringLiteral("from text"));
    PutOnClipboard(offered);
    edit_->SetText(QString());
    edit_->paste();
    QCOMPARE(edit_->Text(), QStringLiteral("from rtf"));
    edit_->SetSelStart(6);
    QVERIFY(edit_->SelAttributes().Style().bold);
    offered = new QMimeData;
    offered->setHtml(QStringLiteral("<b>from html</b>"));
    offered->setText(QStringLiteral("from text"));
    PutOnClipboard(offered);
    edit_->SetText(QString());
    edit_->paste();
    QCOMPARE(edit_->Text(), QStringLiteral("from html"));

    // A pasted paragraph break splits the paragraph it lands in, as with plain text,
    // and the whole paste is one step of undo.
    edit_->SetText(QStringLiteral("XY"));
    edit_->SetSelStart(0);
    edit_->SetSelLength(2);
    edit_->copy();
    edit_->SetText(QStringLiteral("one\ntwo"));
    edit_->selectAll();
    edit_->copy();
    edit_->SetText(QStringLiteral("XY"));
    edit_->SetSelStart(1);
    edit_->paste();
    QCOMPARE(edit_->Text(), QStringLiteral("Xone\ntwoY"));
    edit_->Undo();
    QCOMPARE(edit_->Text(), QStringLiteral("XY"));

    // JPEG data stays JPEG, byte for byte.
    const QByteArray jpeg = ImageFile(QSize(4, 4), Qt::blue, "JPEG");
    offered = new QMimeData;
    offered->setData(QStringLiteral("image/jpeg"), jpeg);
    PutOnClipboard(offered);
    edit_->SetText(QString());
    edit_->paste();
    const QByteArray saved = Digits(SaveAndRead(QStringLiteral("jpeg.rtf")));
    QVERIFY(saved.contains("\\pict\\jpegblip\\picw4\\pich4"));
    QVERIFY(saved.contains(jpeg.toHex()));
}

QTEST_MAIN(RichEditClipboardTest)
#include "tst_rich_edit_clipboard.moc"
