// The main window's creation, close query, close and resize, and the two settings it
// keeps between runs.
#include "shell/SDIMain.h"

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Registry.h"
#include "platform/RichEdit.h"

namespace {
const char* const kSettingsKey = "SOFTWARE\\Orvalde\\Tesserine";
constexpr int kDefaultLanguageIndex = 11;
const char* const kDefaultFontName = "Arial CYR";
}

void TSDIAppForm::FormCreate()
{
    SettingsRegistry = std::make_unique<TRegistry>();
    SettingsRegistry->RootKey = HKEY_LOCAL_MACHINE;
    SettingsRegistry->OpenKey(QString::fromLatin1(kSettingsKey), true);

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
    DiscardRecoveryData();
    if (!SettingsRegistry)
        return;
    SettingsRegistry->WriteInteger(QStringLiteral("iCharSet"), ComboBox2->ItemIndex());
    SettingsRegistry->WriteString(QStringLiteral("stFont"), ComboBox1->Text());
    SettingsRegistry.reset();
}

void TSDIAppForm::FormResize()
{
    UpdateFormattingRect();
}
