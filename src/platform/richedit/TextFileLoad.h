#pragma once
// A big plain-text file loaded in slices: decoded piece by piece and appended in
// batches of whole lines.
#include "platform/richedit/RichEditLoading.h"
#include "platform/text/TextEncoding.h"
#include "platform/text/TextPieces.h"

#include <QFile>
#include <memory>

class QTextDocument;

class TTextFileLoad : public TLoadInProgress {
public:
    // file, when given, is read on as the pieces need its bytes. format is the
    // control's: its incomplete unit is set once the whole file is in. warned tells
    // that undecodable bytes in the start were reported already.
    TTextFileLoad(const QString& path, TTextPieces pieces, std::unique_ptr<QFile> file, QTextDocument& doc,
                  TextFileFormat& format, bool warned);

    Step LoadOn(qint64 budgetNs) override;
    int Percent() const override;
    double ExpectedParagraphs(int loaded) const override;
    QString TakeWarning() override;
    QString Failure() const override { return failure_; }

private:
    // Reads more of the file (the whole rest when all); false when that failed.
    bool ReadMoreOfFile(bool all);
    void Append(const QString& text);

    TTextPieces pieces_;
    std::unique_ptr<QFile> file_;
    QTextDocument& doc_;
    TextFileFormat& format_;
    // Decoded text not yet in the document, from pendingAt on.
    QString pending_;
    qsizetype pendingAt_ = 0;
    // Characters appended at once: as many as take about kAppendNs.
    qsizetype batchChars_ = 16 * 1024;
    bool warned_;  // undecodable bytes are reported once
    QString failure_;
};
