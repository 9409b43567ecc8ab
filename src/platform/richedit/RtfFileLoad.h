#pragma once
// A big RTF file loaded in slices of whole paragraphs.
#include "platform/richedit/RichEditLoading.h"
#include "platform/richedit/rtf/RtfDocumentReader.h"

#include <QByteArray>

class QTextDocument;

class TRtfFileLoad : public TLoadInProgress {
public:
    // Empties doc and reads its first paragraphs; unkept receives what the file held
    // that a save will not write back, once the whole file is read.
    TRtfFileLoad(const QString& path, const QByteArray& bytes, QTextDocument& doc, int ppi, QStringList& unkept);

    Step LoadOn(qint64 budgetNs) override;
    int Percent() const override;
    double ExpectedParagraphs(int loaded) const override;
    QString TakeWarning() override;
    bool AtEnd() const { return reader_.AtEnd(); }

private:
    void TakeUnkept();

    QByteArray bytes_;
    rtf::RtfDocumentReader reader_;
    QStringList& unkept_;
    bool warned_ = false;
};
