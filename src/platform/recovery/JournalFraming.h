#pragma once
// The framing of a journal file: a header that names the kind of file and its version,
// then records, each a length, a CRC-32 of its body and the body (a type byte and the
// payload). A file cut anywhere keeps every record before the cut readable.
#include <QByteArray>
#include <vector>

namespace JournalFraming {

// Written once at the start of every journal file.
QByteArray Header(const QByteArray& magic, quint32 version);

// Appends one framed record to out.
void AppendRecord(QByteArray& out, quint8 type, const QByteArray& payload);

struct Record {
    quint8 type = 0;
    QByteArray payload;
};

struct Parsed {
    bool isJournal = false;     // the header names this kind of file and a version read here
    std::vector<Record> records; // every whole record, in order
    bool cut = false;            // bytes after the last whole record were ignored
};

// The records of a journal file, up to the first one cut short or damaged.
Parsed Parse(const QByteArray& bytes, const QByteArray& magic, quint32 version);

} // namespace JournalFraming
