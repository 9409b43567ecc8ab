#include "platform/richedit/rtf/Rtf.h"

#include "platform/richedit/rtf/RtfReader.h"
#include "platform/richedit/rtf/RtfWriter.h"
#include "platform/richedit/rtf/TextDocumentSink.h"

#include <QTextDocument>

namespace {

QString Describe(rtf::Unkept kind)
{
    switch (kind) {
    case rtf::Unkept::TableStructure: return QString::fromUtf8("表の構造（セルはタブになります）");
    case rtf::Unkept::FieldInstructions: return QString::fromUtf8("フィールドの命令（結果は文字として残ります）");
    case rtf::Unkept::HeadersAndFooters: return QString::fromUtf8("ヘッダーとフッター");
    case rtf::Unkept::Footnotes: return QString::fromUtf8("脚注");
    case rtf::Unkept::DrawingObjects: return QString::fromUtf8("文字以外のオブジェクトと図形");
    case rtf::Unkept::NumberedLists: return QString::fromUtf8("番号付きリスト（箇条書きとして表示）");
    case rtf::Unkept::JustifiedAlignment: return QString::fromUtf8("両端揃え（左揃えとして表示）");
    case rtf::Unkept::PageAndSectionBreaks: return QString::fromUtf8("改ページと改セクション");
    case rtf::Unkept::Formulas: return QString::fromUtf8("数式（図として保存）");
    case rtf::Unkept::PictureAnchoring: return QString::fromUtf8("図の配置と文字の折り返し（行内に表示）");
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

QString JoinUnkept(const QStringList& unkept)
{
    return unkept.join(QChar(0x3001));  // 、
}

QByteArray WriteRtf(const QTextDocument& doc, int ppi)
{
    return rtf::WriteDocument(doc, ppi);
}
