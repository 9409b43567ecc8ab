#include "platform/rtf/Rtf.h"

#include <stdexcept>

void ReadRtf(const QByteArray&, QTextDocument&, int)
{
    throw std::runtime_error("Reading RTF files is not available in this version.");
}

QByteArray WriteRtf(const QTextDocument&, int)
{
    throw std::runtime_error("Writing RTF files is not available in this version.");
}
