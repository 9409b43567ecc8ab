#include "platform/rtf/Rtf.h"

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextDocumentSink.h"

#include <QTextDocument>

namespace {

QString Describe(rtf::Unkept kind)
{
    switch (kind) {
    case rtf::Unkept::TableStructure: return QStringLiteral("tables' structure (cells become tabs)");
    case rtf::Unkept::FieldInstructions: return QStringLiteral("fields' instructions (their results stay as text)");
    case rtf::Unkept::HeadersAndFooters: return QStringLiteral("headers and footers");
    case rtf::Unkept::Footnotes: return QStringLiteral("footnotes");
    case rtf::Unkept::DrawingObjects: return QStringLiteral("objects and drawings beyond their text");
    case rtf::Unkept::NumberedLists: return QStringLiteral("numbered lists (shown as bullets)");
    case rtf::Unkept::JustifiedAlignment: return QStringLiteral("justified alignment (shown as left)");
    }
    return QString();
}

} // namespace

QStringList ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi)
{
    QStringList unkept;
    // clear() keeps the document's default font and indent width, which the control set.
    doc.clear();
    {
        rtf::TextDocumentSink sink(doc, ppi);
        rtf::ReadRtfInto(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), sink);
        for (const rtf::Unkept kind : sink.UnkeptKinds())
            unkept << Describe(kind);
    }
    return unkept;
}

QByteArray WriteRtf(const QTextDocument& doc, int ppi)
{
    return rtf::WriteDocument(doc, ppi);
}
