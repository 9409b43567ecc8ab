#include "platform/rtf/Rtf.h"

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextDocumentSink.h"

#include <QTextDocument>

void ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi)
{
    // clear() keeps the document's default font and indent width, which the control set.
    doc.clear();
    rtf::TextDocumentSink sink(doc, ppi);
    rtf::ReadRtfInto(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), sink);
}

QByteArray WriteRtf(const QTextDocument& doc, int ppi)
{
    return rtf::WriteDocument(doc, ppi);
}
