// Pictures in RTF files that LibreOffice wrote (tests/data/libreoffice, made by its
// make_samples.py): whichever way a picture was placed, the document shows it once, at
// the size it had there, and a save writes it back as one \pict with the same data.
#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/rtf/RecordingSink.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/RtfReader.h"

#include <QFile>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <algorithm>

using namespace rtf;

namespace {

constexpr int kPpi = 96;
// 1.2 cm x 0.9 cm (680 x 510 twips) at 96 pixels per inch.
const QSizeF kShownSize(45.3, 34.0);

QByteArray ReadData(const QString& name)
{
    QFile file(QStringLiteral(TESSERINE_LIBREOFFICE_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<Picture> PicturesOf(const QByteArray& rtf)
{
    RecordingSink sink;
    ReadRtfInto(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())), sink);
    return sink.Pictures();
}

QList<QTextImageFormat> ImagesOf(const QTextDocument& doc)
{
    QList<QTextImageFormat> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                for (int i = 0; i < it.fragment().length(); ++i)
                    images << it.fragment().charFormat().toImageFormat();
    return images;
}

} // namespace

class RtfLibreOfficeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void picturesAreShownOnceAndSavedOnce_data();
    void picturesAreShownOnceAndSavedOnce();
};

void RtfLibreOfficeTest::picturesAreShownOnceAndSavedOnce_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("unkept");

    // Given a picture anchored elsewhere than as a character, or a bordered one of the
    // drawing layer (in a SHAPE field, its picture in pib and in fillBlip), or a
    // rectangle whose only content is its picture fill, then that picture stands
    // where its shape is anchored, and only the anchoring is named as lost.
    const QStringList anchoring{QString::fromUtf8("図の配置と文字の折り返し（行内に表示）")};
    const QString between = QString::fromUtf16(u"before \uFFFC after");
    QTest::newRow("as character") << "lo_as_char_png.rtf" << between << QStringList();
    QTest::newRow("to character") << "lo_char_png.rtf" << between << anchoring;
    QTest::newRow("to paragraph, BMP") << "lo_paragraph_bmp.rtf" << QString::fromUtf16(u"\uFFFC paragraph text") << anchoring;
    QTest::newRow("to page, GIF") << "lo_page_gif.rtf" << QString::fromUtf16(u"\uFFFC page text") << anchoring;
    QTest::newRow("in a table") << "lo_table_png.rtf" << QString::fromUtf16(u"\uFFFC cell one\tcell two\nend")
                                << (anchoring + QStringList{QString::fromUtf8("表の構造（セルはタブになります）")});
    QTest::newRow("bordered drawing") << "lo_bordered_drawing_png.rtf" << between << anchoring;
    QTest::newRow("filled rectangle") << "lo_filled_rectangle_png.rtf" << between << anchoring;
    // Given a formula with its picture in two forms, then the picture once.
    QTest::newRow("formula") << "lo_formula.rtf" << QString::fromUtf16(u"formula \uFFFC end")
                             << QStringList{QString::fromUtf8("数式（図として保存）")};
}

void RtfLibreOfficeTest::picturesAreShownOnceAndSavedOnce()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    QFETCH(QStringList, unkept);
    const QByteArray original = ReadData(file);
    QVERIFY2(!original.isEmpty(), qPrintable(file));

    // Shown once, as the picture it is, at the size LibreOffice gave it.
    QTextDocument doc;
    QStringList named = ReadRtf(original, doc, kPpi);
    QCOMPARE(doc.toPlainText(), text);
    const QList<QTextImageFormat> images = ImagesOf(doc);
    QCOMPARE(images.size(), 1);
    QCOMPARE(images[0].stringProperty(DocumentProperty::PictureKind), QStringLiteral("pngblip"));
    const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    QCOMPARE(image.size(), QSize(4, 3));
    QVERIFY2(qAbs(images[0].width() - kShownSize.width()) <= 1 && qAbs(images[0].height() - kShownSize.height()) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(images[0].width()).arg(images[0].height())));
    // Only what cannot be kept is named: never the picture itself.
    std::sort(named.begin(), named.end());
    std::sort(unkept.begin(), unkept.end());
    QCOMPARE(named, unkept);

    // Saved as one \pict with the data that was shown, and opened again alike.
    const QList<Picture> read = PicturesOf(original);
    QCOMPARE(read.size(), 1);
    const QByteArray written = WriteRtf(doc, kPpi);
    QCOMPARE(written.count("{\\pict"), qsizetype(1));
    const QList<Picture> saved = PicturesOf(written);
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved[0].data, read[0].data);
    QTextDocument again;
    QVERIFY(ReadRtf(written, again, kPpi).isEmpty());
    const QList<QTextImageFormat> reopened = ImagesOf(again);
    QCOMPARE(reopened.size(), 1);
    QCOMPARE(QSizeF(reopened[0].width(), reopened[0].height()), QSizeF(images[0].width(), images[0].height()));
}

QTEST_MAIN(RtfLibreOfficeTest)
#include "tst_rtf_libreoffice.moc"
