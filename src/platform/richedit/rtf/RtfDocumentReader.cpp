#include "platform/richedit/rtf/RtfDocumentReader.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <algorithm>

namespace rtf {
namespace {

// Paragraphs read between two looks at the clock: a few hundred microseconds' worth.
constexpr int kParagraphsPerCheck = 8;

QTextDocument& Cleared(QTextDocument& doc)
{
    // clear() keeps the document's default font and indent width, which the control set.
    doc.clear();
    return doc;
}

std::string_view ViewOf(const QByteArray& bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

QString DescribeUnkept(Unkept kind)
{
    switch (kind) {
    case Unkept::TableStructure: return QString::fromUtf8("表の構造（セルはタブになります）");
    case Unkept::FieldInstructions: return QString::fromUtf8("フィールドの命令（結果は文字として残ります）");
    case Unkept::HeadersAndFooters: return QString::fromUtf8("ヘッダーとフッター");
    case Unkept::Footnotes: return QString::fromUtf8("脚注");
    case Unkept::DrawingObjects: return QString::fromUtf8("文字以外のオブジェクトと図形");
    case Unkept::NumberedLists: return QString::fromUtf8("番号付きリスト（箇条書きとして表示）");
    case Unkept::JustifiedAlignment: return QString::fromUtf8("両端揃え（左揃えとして表示）");
    case Unkept::PageAndSectionBreaks: return QString::fromUtf8("改ページと改セクション");
    case Unkept::Formulas: return QString::fromUtf8("数式（図として保存）");
    case Unkept::PictureAnchoring: return QString::fromUtf8("図の配置と文字の折り返し（行内に表示）");
    }
    return QString();
}

RtfDocumentReader::RtfDocumentReader(const QByteArray& bytes, QTextDocument& doc, int ppi)
    : bytes_(bytes), doc_(doc), sink_(Cleared(doc), ppi), reader_(sink_),
      undoWasEnabled_(doc.isUndoRedoEnabled())
{
    // A load is not an edit to undo; recording it would only cost time.
    doc_.setUndoRedoEnabled(false);
    reader_.Begin(ViewOf(bytes_));
}

RtfDocumentReader::RtfDocumentReader(ByteSource& source, QTextDocument& doc, int ppi)
    : doc_(doc), sink_(Cleared(doc), ppi), reader_(sink_), undoWasEnabled_(doc.isUndoRedoEnabled())
{
    doc_.setUndoRedoEnabled(false);
    reader_.Begin(source);
}

// A reader dropped before the end leaves in the document what it had read.
RtfDocumentReader::~RtfDocumentReader()
{
    if (!done_)
        Done();
}

bool RtfDocumentReader::ReadSome(int budgetMs)
{
    if (done_)
        return true;
    if (budgetMs < 0) {
        reader_.ReadParagraphs(-1);
        Done();
        return true;
    }
    QElapsedTimer timer;
    timer.start();
    while (!reader_.ReadParagraphs(kParagraphsPerCheck)) {
        if (timer.hasExpired(budgetMs)) {
            sink_.EndEdit();
            return false;
        }
    }
    Done();
    return true;
}

bool RtfDocumentReader::ReadParagraphs(int paragraphs)
{
    if (done_)
        return true;
    if (reader_.ReadParagraphs(std::max(paragraphs, 0))) {
        Done();
        return true;
    }
    sink_.EndEdit();
    return false;
}

void RtfDocumentReader::Done()
{
    done_ = true;
    sink_.Finish();
    sink_.EndEdit();
    doc_.setUndoRedoEnabled(undoWasEnabled_);
}

qsizetype RtfDocumentReader::BytesRead() const
{
    return static_cast<qsizetype>(reader_.Offset());
}

QStringList RtfDocumentReader::Unkept() const
{
    QStringList unkept;
    for (const rtf::Unkept kind : sink_.UnkeptKinds())
        unkept << DescribeUnkept(kind);
    return unkept;
}

} // namespace rtf
