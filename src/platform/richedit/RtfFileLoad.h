#pragma once
// A big RTF file loaded in slices of whole paragraphs, read from the file as the
// reader needs its bytes.
#include "platform/richedit/RichEditLoading.h"
#include "platform/richedit/rtf/RtfDocumentReader.h"

#include <QByteArray>
#include <QIODevice>
#include <memory>

class QTextDocument;

class TRtfFileLoad : public TLoadInProgress, private rtf::ByteSource {
public:
    // Empties doc and reads its first paragraphs from head and then, when given, from
    // file (of fileSize bytes from where it stands). unkept receives what the file held
    // that a save will not write back, once the whole file is read.
    TRtfFileLoad(const QString& path, const QByteArray& head, std::unique_ptr<QIODevice> file, qint64 fileSize,
                 QTextDocument& doc, int ppi, QStringList& unkept);

    Step LoadOn(qint64 budgetNs) override;
    int Percent() const override;
    double ExpectedParagraphs(int loaded) const override;
    QString TakeWarning() override;
    QString Failure() const override { return failure_; }
    bool AtEnd() const { return reader_.AtEnd(); }

private:
    std::size_t Read(char* out, std::size_t max) override;
    void TakeUnkept();

    QByteArray head_;
    qsizetype headAt_ = 0;
    std::unique_ptr<QIODevice> file_;
    qsizetype size_;  // of the whole RTF, head and file
    QString failure_;
    rtf::RtfDocumentReader reader_;
    QStringList& unkept_;
    bool warned_ = false;
};
