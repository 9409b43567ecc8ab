#include "platform/recovery/JournalFraming.h"

#include <QtEndian>
#include <zlib.h>

namespace JournalFraming {
namespace {

// A record larger than this is damage, not data: no edit or snapshot slice comes near it.
constexpr quint32 kMaxRecordBody = 512u * 1024u * 1024u;
constexpr int kFrameSize = 8;  // length and checksum

quint32 Crc32(const char* data, qsizetype size)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    while (size > 0) {
        const uInt chunk = uInt(qMin<qsizetype>(size, 1 << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), chunk);
        data += chunk;
        size -= chunk;
    }
    return quint32(crc);
}

void AppendUint32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray Header(const QByteArray& magic, quint32 version)
{
    QByteArray header = magic;
    AppendUint32(header, version);
    return header;
}

void AppendRecord(QByteArray& out, quint8 type, const QByteArray& payload)
{
    const qsizetype start = out.size();
    AppendUint32(out, quint32(payload.size() + 1));
    AppendUint32(out, 0);
    out.append(char(type));
    out.append(payload);
    const char* body = out.constData() + start + kFrameSize;
    qToLittleEndian(Crc32(body, payload.size() + 1), out.data() + start + 4);
}

Parsed Parse(const QByteArray& bytes, const QByteArray& magic, quint32 version)
{
    Parsed parsed;
    const qsizetype headerSize = magic.size() + 4;
    if (bytes.size() < headerSize || !bytes.startsWith(magic)
        || qFromLittleEndian<quint32>(bytes.constData() + magic.size()) != version)
        return parsed;
    parsed.isJournal = true;
    qsizetype at = headerSize;
    while (bytes.size() - at >= kFrameSize) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint32 checksum = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (length == 0 || length > kMaxRecordBody || bytes.size() - at - kFrameSize < qsizetype(length))
            break;
        const char* body = bytes.constData() + at + kFrameSize;
        if (Crc32(body, length) != checksum)
            break;
        parsed.records.push_back({quint8(body[0]), QByteArray(body + 1, length - 1)});
        at += kFrameSize + length;
    }
    parsed.cut = at != bytes.size();
    return parsed;
}

} // namespace JournalFraming
