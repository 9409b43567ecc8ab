// Loading, saving and printing the rich-edit control's content.
#include "platform/richedit/RichEdit.h"

#include "platform/forms/BusyCursor.h"
#include "platform/forms/MessageBox.h"
#include "platform/system/Printer.h"
#include "platform/text/ReasonSentence.h"
#include "platform/richedit/RichEditLoading.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/text/TextPieces.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextDocument>

namespace {

// A pipe, socket or device: opening a pipe blocks until someone writes to it, a
// device such as /dev/zero never ends, and replacing one would destroy it.
bool IsSpecialFile(const QFileInfo& info)
{
    return info.exists() && !info.isDir() && !info.isFile();
}

std::unique_ptr<QFile> OpenForReading(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw EFileError(QStringLiteral("Cannot open file \"%1\". It is a folder, not a file.").arg(path));
    if (IsSpecialFile(info))
        throw EFileError(QStringLiteral("Cannot open file \"%1\". It is not a regular file.").arg(path));
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        throw EFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, ReasonSentence(file->errorString())));
    return file;
}

// The next maxBytes of a file (all the rest when negative).
QByteArray ReadFrom(QFile& file, const QString& path, qint64 maxBytes)
{
    QByteArray bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        throw EFileError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, ReasonSentence(file.errorString())));
    return bytes;
}

// Bytes further into a big file to decide its encoding from, when its sample
// [0, sampleEnd) is plain ASCII and a later byte is not (see DetectionSample); empty
// when the sample decides. A file is looked through a mapping, so that only the
// pages scanned are touched: about 12 ms for 100 MB of plain ASCII.
QByteArray SampleFurtherIn(QFile* file, const QByteArray& bytes, qsizetype sampleEnd)
{
    if (FirstBeyondPlainAscii(QByteArrayView(bytes).first(sampleEnd)) < sampleEnd)
        return QByteArray();
    QByteArrayView whole = bytes;
    uchar* mapped = file && file->size() > bytes.size() ? file->map(0, file->size()) : nullptr;
    if (mapped)
        whole = QByteArrayView(reinterpret_cast<const char*>(mapped), file->size());
    const ByteRange range = DetectionSample(whole, sampleEnd);
    const QByteArray sample = range.end > sampleEnd ? whole.sliced(range.start, range.end - range.start).toByteArray()
                                                    : QByteArray();
    if (mapped)
        file->unmap(mapped);
    return sample;
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw EFileError(QStringLiteral("Cannot create file \"%1\". It is a folder.").arg(path));
    if (IsSpecialFile(info))
        throw EFileError(QStringLiteral("Cannot create file \"%1\". It is not a regular file.").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, ReasonSentence(file.errorString())));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw EFileError(QStringLiteral("Cannot write file \"%1\". %2 The file was left as it was.")
                             .arg(path, ReasonSentence(file.errorString())));
}

// Bytes with no RTF group anywhere are a plain-text file, whatever its name says; read
// as RTF, its braces and backslashes would vanish. Bytes before the group are ignored
// by the RTF reader, so a header in front of one does not make a file plain text.
bool HoldsRtf(const QByteArray& bytes)
{
    return bytes.contains("{\\rtf");
}

// What is read of a big RTF file before its reader starts.
constexpr qint64 kRtfHeadBytes = 64 * 1024;

QString EncodingName(const QByteArray& encoding)
{
    return QString::fromLatin1(encoding);
}

// A file's warning is shown once the file is done with and the busy cursor is gone.
void ShowFileWarning(QWidget* window, const QString& warning)
{
    if (!warning.isEmpty())
        MessageBox(window, warning, QStringLiteral("Tesserine"), MB_OK);
}

} // namespace

void TRichEdit::LoadFromFile(const QString& path, const QByteArray& encoding)
{
    QString warning;
    {
        // A file of many megabytes holds up the window while it is read and laid out.
        const BusyCursor busy;
        // Everything is read before the document is touched, so a failure leaves it as is;
        // but of a big file only the start, and the rest as it loads.
        std::unique_ptr<QFile> file = OpenForReading(path);
        const bool big = file->size() >= kIncrementalLoadBytes;
        QByteArray bytes = ReadFrom(*file, path, !big ? -1 : PlainText ? kDetectionSampleBytes : kRtfHeadBytes);
        bool startedText = false;
        bool startedRtf = false;
        if (big && !file->atEnd()) {
            const qsizetype sampleEnd = PlainText ? SampleEndForDetection(bytes, bytes.size()) : 0;
            if (!PlainText && HoldsRtf(bytes)) {
                // The reader takes the rest from the file as it goes on, so that the
                // first paragraphs show before much is read.
                warning = StartRtfLoading(path, bytes, std::move(file));
                startedRtf = true;
            } else if (sampleEnd == 0) {
                bytes += ReadFrom(*file, path, -1);
            } else {
                const QByteArray further = encoding.isEmpty() ? SampleFurtherIn(file.get(), bytes, sampleEnd) : QByteArray();
                warning = StartLoading(path, std::move(file), std::move(bytes), sampleEnd, encoding, further);
                startedText = true;
            }
        }
        if (startedRtf) {
            // What the file held that cannot be kept is told when the load ends.
        } else if (startedText) {
            UnkeptOnSave.clear();
        } else if (PlainText || !HoldsRtf(bytes)) {
            warning = LoadPlainText(path, std::move(bytes), encoding);
            UnkeptOnSave.clear();
        } else if (bytes.size() >= kIncrementalLoadBytes) {
            // A big RTF file shows its first paragraphs at once and reads the rest in
            // slices; what it held that cannot be kept is told when the load ends.
            warning = StartRtfLoading(path, bytes);
        } else {
            // A small RTF file is read whole; a load still going on ends here.
            EndLoad(false);
            EncodingUnsure = false;
            OtherLikelyEncodings.clear();
            // The reader records no undo steps and clears those of the document before.
            UnkeptOnSave = ReadRtf(bytes, *document(), PixelsPerInch());
            moveCursor(QTextCursor::Start);
            if (!UnkeptOnSave.isEmpty())
                warning = UnkeptContentWarning(path, UnkeptOnSave);
        }
    }
    ShowFileWarning(window(), warning);
}

QString TRichEdit::LoadPlainText(const QString& path, QByteArray bytes, const QByteArray& encoding)
{
    // A big file shows its start at once. One without a line break near its start is
    // read whole: it is not cut for deciding its encoding.
    if (bytes.size() >= kIncrementalLoadBytes) {
        const qsizetype sampleEnd = SampleEndForDetection(bytes, kDetectionSampleBytes);
        if (sampleEnd > 0) {
            const QByteArray further = encoding.isEmpty() ? SampleFurtherIn(nullptr, bytes, sampleEnd) : QByteArray();
            return StartLoading(path, nullptr, std::move(bytes), sampleEnd, encoding, further);
        }
    }
    const DecodedText decoded = encoding.isEmpty() ? DecodeTextFile(bytes) : DecodeTextFile(bytes, encoding);
    ReplaceWithPlainText(decoded.text);
    PlainTextFormat = decoded.format;
    EncodingUnsure = decoded.unsure;
    OtherLikelyEncodings = decoded.alternatives;
    return decoded.hadUndecodableBytes ? UndecodableBytesWarning(path, decoded.format.encoding) : QString();
}

void TRichEdit::SaveToFile(const QString& path)
{
    FinishLoading();
    QString warning;
    {
        const BusyCursor busy;
        if (PlainText)
            warning = SavePlainText(path);
        else
            WriteWholeFile(path, WriteRtf(*document(), PixelsPerInch()));
    }
    ShowFileWarning(window(), warning);
}

QString TRichEdit::SavePlainText(const QString& path)
{
    const EncodedText encoded = EncodeTextFile(Text(), PlainTextFormat);
    WriteWholeFile(path, encoded.bytes);
    const QByteArray previous = PlainTextFormat.encoding;
    PlainTextFormat = encoded.format;
    if (!encoded.fellBackToUtf8)
        return QString();
    return QStringLiteral("The document holds characters that %1 cannot represent, so \"%2\" "
                          "was saved as UTF-8 to keep all of its text.")
        .arg(EncodingName(previous), path);
}

void TRichEdit::Print(const QString& title)
{
    struct JobEnd {
        ~JobEnd() { EndCurrentPrinterJob(); }
    } jobEnd;
    FinishLoading();
    PrepareCurrentPrinterForJob();
    QPrinter& printer = CurrentPrinter();
    printer.setDocName(title);
    // The document prints from a copy laid out for the page, so the text, its modified
    // flag and the screen layout stay as they are. Long documents take seconds.
    {
        const BusyCursor busy;
        PrintDocumentContent(*document(), printer);
    }
    CheckCurrentPrinterJobDelivered();
}
