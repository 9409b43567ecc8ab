#pragma once
// A big file being loaded into TRichEdit in slices. The control drives the load from
// the event loop, makes the text read-only meanwhile and ends it; each kind of file
// reads itself into the document (TextFileLoad, RtfFileLoad).
#include <QString>
#include <QStringList>
#include <qnamespace.h>

class TLoadInProgress {
public:
    enum class Step { More, Done, Failed };

    explicit TLoadInProgress(const QString& path) : path_(path) {}
    virtual ~TLoadInProgress() = default;
    TLoadInProgress(const TLoadInProgress&) = delete;
    TLoadInProgress& operator=(const TLoadInProgress&) = delete;

    // Loads on for about budgetNs nanoseconds, or to the end when negative. Appended
    // text is no edit: the control keeps its caret and modified flag meanwhile.
    virtual Step LoadOn(qint64 budgetNs) = 0;
    // The share of the file in the document, 0 to 100.
    virtual int Percent() const = 0;
    // Paragraphs the whole file will likely make, reckoned from what is loaded.
    virtual double ExpectedParagraphs(int loaded) const = 0;
    // A warning met since the last call, for the user to see once; empty for none.
    virtual QString TakeWarning() = 0;
    // Why the last step failed.
    virtual QString Failure() const { return QString(); }

    const QString& Path() const { return path_; }
    // What the user could do with the text before the load made it read-only.
    Qt::TextInteractionFlags interaction;

private:
    QString path_;
};

// The warning for a file with bytes that are not valid in the encoding it is read in.
QString UndecodableBytesWarning(const QString& path, const QByteArray& encoding);
// Why a load failed when the file could not be read to its end (reason: the system's).
QString PartlyReadFailure(const QString& path, const QString& reason);
// The warning for an RTF file that holds what the control cannot keep.
QString UnkeptContentWarning(const QString& path, const QStringList& unkept);
