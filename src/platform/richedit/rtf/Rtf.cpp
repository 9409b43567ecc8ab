#include "platform/richedit/rtf/Rtf.h"

#include "platform/richedit/rtf/RtfDocumentReader.h"
#include "platform/richedit/rtf/RtfWriter.h"

#include <QTextDocument>

QStringList ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi)
{
    rtf::RtfDocumentReader reader(bytes, doc, ppi);
    reader.ReadSome(-1);
    return reader.Unkept();
}

QString JoinUnkept(const QStringList& unkept)
{
    return unkept.join(QChar(0x3001));  // 、
}

QByteArray WriteRtf(const QTextDocument& doc, int ppi)
{
    return rtf::WriteDocument(doc, ppi);
}
