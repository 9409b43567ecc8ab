// The main window's creation, close query, close and resize, and the two settings it
// keeps between runs.
#include "shell/SDIMain.h"

#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/MessageBox.h"
#include "platform/system/Registry.h"
#include "platform/richedit/RichEdit.h"

namespace {
const char* const kSettingsKey = "SOFTWARE\\Orvalde\\Tesserine";
constexpr int kDefaultLanguageIndex = 11;
const char* const kDefaultFontName = "Arial CYR";

// Where the settings file went that a write of the settings found unreadable and kept
// before replacing it; empty when the last writes kept none.
QString SetAsideNotice(TRegistry& registry)
{
    const QString copy = registry.TakeSetAsideCopy();
    if (copy.isEmpty())
        return QString();
    return QStringLiteral("The settings file \"%1\" could not be read. It was kept as \"%2\", and a new "
                          "settings file was written in its place.")
        .arg(TRegistry::UserStorePath(), copy);
}

void ShowSettingsNotice(QWidget* window, const QString& notice)
{
    if (!notice.isEmpty())
        MessageBox(window, notice, QStringLiteral("Tesserine"), MB_OK);
}
}

void TSDIAppForm::FormCreate()
{
    SettingsRegistry = std::make_unique<TRegistry>();
    SettingsRegistry->RootKey = HKEY_LOCAL_MACHINE;
    SettingsRegistry->OpenKey(QString::fromLatin1(kSettingsKey), true);
    // Creating the key writes the file; the user hears of a damaged one it replaced
    // once the window is up.
    const QString notice = SetAsideNotice(*SettingsRegistry);
    if (!notice.isEmpty())
        PostHandler(this, [this, notice]() { ShowSettingsNotice(this, notice); });

    int languageIndex = kDefaultLanguageIndex;
    QString fontName = QString::fromLatin1(kDefaultFontName);
    try {
        languageIndex = SettingsRegistry->ReadInteger(QStringLiteral("iCharSet"));
        fontName = SettingsRegistry->ReadString(QStringLiteral("stFont"));
    } catch (const std::exception&) {
        // Any failure in the block gives both defaults, silently.
        languageIndex = kDefaultLanguageIndex;
        fontName = QString::fromLatin1(kDefaultFontName);
    }

    for (const QString& family : InstalledFontFamilies())
        ComboBox1->AddItem(family);
    ComboBox2->SetItemIndex(languageIndex);
    ApplyLanguageCharset();
    ComboBox1->SetText(fontName);
    SetControlFontName(lastFindWord, ComboBox1->Text());
    StartDocumentJournal();
    NewDocument();
    Edit1Click();
}

void TSDIAppForm::FormCloseQuery(bool& canClose)
{
    // A save that fails throws past this point and leaves the window open.
    canClose = false;
    canClose = !CancelledAtSavePrompt(SavePrompt::Close);
}

void TSDIAppForm::FormClose()
{
    // The close query has asked: the changes are saved, or the user chose to lose them.
    // A load still going on stops, and what it read is let go.
    RichEdit1->StopLoading();
    DiscardRecoveryData();
    if (!SettingsRegistry)
        return;
    // A damaged file is kept aside by the first write; the user hears where even when a
    // write then fails.
    try {
        SettingsRegistry->WriteInteger(QStringLiteral("iCharSet"), ComboBox2->ItemIndex());
        SettingsRegistry->WriteString(QStringLiteral("stFont"), ComboBox1->Text());
    } catch (...) {
        ShowSettingsNotice(this, SetAsideNotice(*SettingsRegistry));
        throw;
    }
    ShowSettingsNotice(this, SetAsideNotice(*SettingsRegistry));
    SettingsRegistry.reset();
}

void TSDIAppForm::FormResize()
{
    UpdateFormattingRect();
}
