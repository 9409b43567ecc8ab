#include "platform/text/ReasonSentence.h"

QString ReasonSentence(const QString& systemReason)
{
    const QString reason = systemReason.trimmed();
    if (reason.isEmpty())
        return QStringLiteral("Unknown error.");
    const QChar last = reason.back();
    if (QStringLiteral(".!?\u3002\uFF01\uFF1F").contains(last))
        return reason;
    return reason + (last.unicode() >= 0x2E80 ? QChar(0x3002) : QChar(u'.'));
}
