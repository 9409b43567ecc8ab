// Recovery of unsaved work: the document's journal, kept from its first unsaved change
// until Save, New, Open or a close that discards the changes, and the question at start
// about the documents of instances that died before they could ask.
#include "shell/SDIMain.h"

#include "document/RecoveryState.h"
#include "platform/forms/Application.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/recovery/DocumentJournalCodec.h"
#include "platform/forms/MessageBox.h"
#include "platform/recovery/RecoveryStore.h"
#include "platform/richedit/RichEdit.h"

#include <QLocale>

#include <cstdio>

namespace {

TRecoveryStore ProgramRecoveryStore()
{
    return TRecoveryStore(TRecoveryStore::DefaultDirectory(QStringLiteral("Orvalde"), QStringLiteral("Tesserine")));
}

enum RecoveryAnswer { kRestore = 0, kDelete = 1, kLater = 2 };

// What the question says of a document: its name (or 無題), when it last changed, its size.
QString DescribeRecovered(const TJournalReplay& scan, const TRecoveryState& state)
{
    const QString name = state.fileName.isEmpty() ? QString::fromUtf8("無題") : state.fileName;
    const QString when = QLocale(QLocale::Japanese).toString(scan.written.toLocalTime(), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    const QString size = scan.length >= 0 ? QLocale(QLocale::Japanese).toString(scan.length) : QStringLiteral("?");
    return QString::fromUtf8("文書: %1\n最後の変更: %2\n大きさ: %3 文字").arg(name, when, size);
}

// Reads a set's journal without replaying it; false (with a line on stderr) when the
// file is not a journal of this program.
bool ScanRecovered(const TRecoverySet& set, TJournalReplay& scan, TRecoveryState& state)
{
    scan = ReplayJournalFile(set.journalPath, nullptr);
    if (!scan.isJournal) {
        std::fprintf(stderr, "tesserine: %s is not a recovery journal of this program; it is ignored\n",
                     qPrintable(set.journalPath));
        return false;
    }
    DecodeRecoveryState(scan.state, state);
    return true;
}

} // namespace

void TSDIAppForm::StartDocumentJournal()
{
    DocumentJournal = std::make_unique<TDocumentJournal>(RichEdit1, ProgramRecoveryStore());
    DocumentJournal->OnFailure = [this](const QString& reason) {
        MessageBox(this,
                   QString::fromUtf8("この文書の復元用データを書き込めません。保存するまで、この文書の復元は無効です。\n") + reason,
                   QStringLiteral("Tesserine"), MB_OK);
    };
}

void TSDIAppForm::RecordDocumentState(bool documentIsTheFile)
{
    if (!DocumentJournal)
        return;
    TRecoveryState state;
    state.fileName = DocumentFileName;
    state.plainText = RichEdit1->PlainText;
    state.plainTextFormat = RichEdit1->PlainTextFormat;
    state.stampName = DocumentStampName;
    state.stamp = DocumentFileStamp;
    state.unkeptOnSave = RichEdit1->UnkeptOnSave;
    DocumentJournal->SetState(EncodeRecoveryState(state));
    DocumentJournal->SetBase(documentIsTheFile && !DocumentFileName.isEmpty() ? EncodeRecoveryState(state) : QByteArray());
}

void TSDIAppForm::DiscardRecoveryData()
{
    if (DocumentJournal)
        DocumentJournal->Discard();
}

bool TSDIAppForm::RestoreRecovered(TRecoverySet& set)
{
    // A journal may start from the file as it was read or written: it is read again,
    // unless it has changed since.
    const auto loadBase = [this](const QByteArray& base) {
        TRecoveryState file;
        if (!DecodeRecoveryState(base, file) || FileStampOf(file.fileName) != file.stamp)
            return false;
        RichEdit1->PlainText = file.plainText;
        try {
            RichEdit1->LoadFromFile(file.fileName, file.plainText ? file.plainTextFormat.encoding : QByteArray());
            // The journal's edits apply to the whole file.
            RichEdit1->FinishLoading();
        } catch (const std::exception&) {
            return false;
        }
        return true;
    };
    TJournalReplay replay;
    {
        const TJournalPause pause(DocumentJournal.get());
        RichEdit1->SetText(QString());
        replay = ReplayJournalFile(set.journalPath, RichEdit1->document(), loadBase);
    }
    if (replay.baseMissing) {
        TRecoveryState state;
        DecodeRecoveryState(replay.state, state);
        {
            const TJournalPause pause(DocumentJournal.get());
            RichEdit1->SetText(QString());
        }
        RichEdit1->SetModified(false);
        MessageBox(this,
                   QString::fromUtf8("文書を復元できません。元のファイル \"%1\" が変更されたか、見つかりません。"
                                     "復元用のデータは次の起動時にもう一度確認します。")
                       .arg(state.fileName),
                   QStringLiteral("Tesserine"), MB_OK);
        TRecoveryStore::Release(set);
        return false;
    }
    if (!replay.isJournal) {
        std::fprintf(stderr, "tesserine: %s is not a recovery journal of this program; it is ignored\n",
                     qPrintable(set.journalPath));
        RichEdit1->SetText(QString());
        TRecoveryStore::Release(set);
        return false;
    }
    TRecoveryState state;
    DecodeRecoveryState(replay.state, state);
    DocumentFileName = state.fileName;
    DocumentStampName = state.stampName;
    DocumentFileStamp = state.stamp;
    RichEdit1->PlainText = state.plainText;
    RichEdit1->PlainTextFormat = state.plainTextFormat;
    RichEdit1->UnkeptOnSave = state.unkeptOnSave;
    if (replay.caret >= 0)
        RichEdit1->SetSelStart(replay.caret);
    // The recovered changes are not in any file: the close question still asks.
    RichEdit1->SetModified(true);
    DiscardRecoveryData();
    RecordDocumentState();
    // The old set goes once the document's new journal is on disk.
    DocumentJournal->Adopt(set);
    set.lockFd = -1;
    UpdateStatusBar();
    return true;
}

void TSDIAppForm::OfferRecoveredDocuments(bool intoThisWindow)
{
    const TRecoveryStore store = ProgramRecoveryStore();
    for (TRecoverySet& set : store.ClaimOrphans()) {
        TJournalReplay scan;
        TRecoveryState state;
        if (!ScanRecovered(set, scan, state)) {
            TRecoveryStore::Release(set);
            continue;
        }
        const QString question = QString::fromUtf8("前回 Tesserine が終了したとき、保存されていない変更のある文書がありました。\n\n")
                                 + DescribeRecovered(scan, state) + QString::fromUtf8("\n\n復元しますか?");
        const QStringList buttons = {QString::fromUtf8("復元(&R)"), QString::fromUtf8("破棄(&D)"),
                                     QString::fromUtf8("後で(&L)")};
        int answer = kLater;
        for (;;) {
            answer = MessageBoxChoice(this, question, QString::fromUtf8("文書の復元"), buttons, kRestore, kLater);
            if (answer != kDelete)
                break;
            if (MessageBox(this, QString::fromUtf8("この文書の保存されていない変更を削除します。元に戻すことはできません。削除しますか?"),
                           QString::fromUtf8("文書の復元"), MB_YESNO | MB_ICONWARNING) == IDYES)
                break;
        }
        if (answer == kDelete) {
            TRecoveryStore::Remove(set);
        } else if (answer == kRestore && intoThisWindow) {
            intoThisWindow = !RestoreRecovered(set);
        } else if (answer == kRestore) {
            // This window holds a document already: another instance takes this one.
            const QString id = set.id;
            TRecoveryStore::Release(set);
            if (!StartProgramInstance({QStringLiteral("--recover"), id}))
                MessageBox(this, QString::fromUtf8("文書を復元するためのウィンドウを開けません。次の起動時にもう一度確認します。"),
                           QStringLiteral("Tesserine"), MB_OK);
        } else {
            TRecoveryStore::Release(set);
        }
    }
}

void TSDIAppForm::RestoreRecoverySet(const QString& id)
{
    TRecoverySet set;
    if (ProgramRecoveryStore().Claim(id, set))
        RestoreRecovered(set);
}
