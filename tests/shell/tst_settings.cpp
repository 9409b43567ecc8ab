// The two settings kept between runs, and the close prompt, through the real window.
#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/system/Registry.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"
#include "support/ModalAnswerer.h"
#include "support/TestFiles.h"
#include "support/WindowSetFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QSet>
#include <QTest>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ORVALDE\\TESSERINE");

QByteArray Store(const QByteArray& values)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvalde\\Tesserine]\n" + values;
}

RegistryValues StoredValues(const QString& configDir)
{
    QFile file(configDir + QStringLiteral("/Orvalde/Tesserine.reg"));
    RegistryKeys keys;
    if (file.open(QIODevice::ReadOnly))
        ParseRegistryText(file.readAll(), keys);
    return keys.value(kKey);
}

// Delivers what the start posted, such as the notice of a settings file kept aside.
// The program shows its window first; here the window waits to become active, which
// a message box over it would prevent.
void DeliverPostedAtStart()
{
    QCoreApplication::processEvents();
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registryTextKeepsTypesAndEscapes();
    void firstRunCreatesTheKeyAndClosingWritesTheDefaults();
    void storedSettingsAreUsedAndWrittenBackAsChanged();
    void anIndexWithoutARowSelectsNoLanguageAndMinusOneIsWritten();
    void aValueOfTheWrongTypeGivesBothDefaults_data();
    void aValueOfTheWrongTypeGivesBothDefaults();
    void aMachineWideStoreIsReadWhenTheUserHasNone();
    void closingAnUnmodifiedDocumentClosesAtOnce();
    void cancelAtTheCloseQueryKeepsTheWindowAndWritesNothing();
    void yesThenCancellingSaveAsKeepsTheWindowOpen();
    void noClosesWritesTheSettingsAndDiscardsTheChanges();
    void aFailedSettingsWriteIsReportedAndTheWindowStillCloses();
    void aStoreThatCannotBeReadIsKeptBesideAsBak();
    void aDamagedStoreIsKeptUnderTheFirstFreeBackupName_data();
    void aDamagedStoreIsKeptUnderTheFirstFreeBackupName();
};

void SettingsTest::registryTextKeepsTypesAndEscapes()
{
    RegistryKeys keys;
    QMap<QString, QString> names;
    keys[kKey].insert(QStringLiteral("iCharSet"), -1);
    keys[kKey].insert(QStringLiteral("stFont"), U("ＭＳ \"Ｐ\" ゴシック\\x"));
    names.insert(kKey, QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvalde\\Tesserine"));
    const QByteArray text = FormatRegistryText(keys, names);
    QVERIFY(text.contains("\"iCharSet\"=dword:ffffffff"));
    RegistryKeys back;
    QVERIFY(ParseRegistryText(text, back));
    QCOMPARE(back.value(kKey).value(QStringLiteral("iCharSet")).typeId(), int(QMetaType::Int));
    QCOMPARE(back.value(kKey).value(QStringLiteral("iCharSet")).toInt(), -1);
    QCOMPARE(back.value(kKey).value(QStringLiteral("stFont")).toString(), U("ＭＳ \"Ｐ\" ゴシック\\x"));
    RegistryKeys broken;
    QVERIFY(!ParseRegistryText("[K]\n\"a\"=dword:zz\n\"b\"=\"unterminated\n\"c\"=\"ok\"\n", broken));
    QCOMPARE(broken.value(QStringLiteral("K")).value(QStringLiteral("c")).toString(), QStringLiteral("ok"));
    QVERIFY(!broken.value(QStringLiteral("K")).contains(QStringLiteral("a")));
}

void SettingsTest::firstRunCreatesTheKeyAndClosingWritesTheDefaults()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    QVERIFY(QFile::exists(TRegistry::UserStorePath()));
    QCOMPARE(form->ComboBox2->ItemIndex(), 11);
    QCOMPARE(form->ComboBox2->Text(), U("キリル文字"));
    QCOMPARE(ControlCharset(form->lastFindWord), 204);
    QCOMPARE(ControlFontName(form->lastFindWord), QStringLiteral("Arial CYR"));
    // The defaults are not written at start.
    QVERIFY(StoredValues(fixture.configDirectory()).isEmpty());
    // The font list holds every installed face once it is filled, in the platform's order.
    QCOMPARE(form->ComboBox1->Items(), InstalledFontFamilies());
    // A face that several foundries make is listed by its own name, not as "Name [Foundry]".
    const QStringList items = form->ComboBox1->Items();
    for (const QString& item : items)
        QVERIFY2(!item.endsWith(QLatin1Char(']')), qPrintable(item));
    for (const QString& family : QFontDatabase::families())
        if (family.endsWith(QLatin1Char(']')))
            QVERIFY2(items.contains(family.left(family.lastIndexOf(QLatin1String(" [")))), qPrintable(family));
    // Each face once, though several foundries make it (C059, Nimbus Sans on a Debian desktop).
    QCOMPARE(QSet<QString>(items.cbegin(), items.cend()).size(), items.size());
    QVERIFY(fixture.showMainWindow());
    form->FileExit1Execute();
    QVERIFY(!form->isVisible());
    const RegistryValues values = StoredValues(fixture.configDirectory());
    QCOMPARE(values.value(QStringLiteral("iCharSet")), QVariant(11));
    QCOMPARE(values.value(QStringLiteral("stFont")), QVariant(QStringLiteral("Arial CYR")));
}

void SettingsTest::storedSettingsAreUsedAndWrittenBackAsChanged()
{
    WindowSetFixture fixture([](const QString& dir) {
        WriteTestFile(dir + QStringLiteral("/Orvalde/Tesserine.reg"),
                   Store("\"iCharSet\"=dword:00000000\n\"stFont\"=\"No Such Font Face\"\n"));
    });
    TSDIAppForm* form = fixture.form();
    QCOMPARE(form->ComboBox2->ItemIndex(), 0);
    QCOMPARE(ControlCharset(form->lastFindWord), 128);
    // A face that is not installed is still shown and still given to the edit.
    QCOMPARE(form->ComboBox1->Text(), QStringLiteral("No Such Font Face"));
    QCOMPARE(ControlFontName(form->lastFindWord), QStringLiteral("No Such Font Face"));
    form->ComboBox2->SetItemIndex(9);
    form->ComboBox1->SetText(QStringLiteral("Noto Sans"));
    QVERIFY(fixture.showMainWindow());
    form->FileExit1Execute();
    const RegistryValues values = StoredValues(fixture.configDirectory());
    QCOMPARE(values.value(QStringLiteral("iCharSet")), QVariant(9));
    QCOMPARE(values.value(QStringLiteral("stFont")), QVariant(QStringLiteral("Noto Sans")));
}

void SettingsTest::anIndexWithoutARowSelectsNoLanguageAndMinusOneIsWritten()
{
    WindowSetFixture fixture([](const QString& dir) {
        WriteTestFile(dir + QStringLiteral("/Orvalde/Tesserine.reg"),
                   Store("\"iCharSet\"=dword:00000014\n\"stFont\"=\"Arial\"\n"));
    });
    TSDIAppForm* form = fixture.form();
    QCOMPARE(form->ComboBox2->ItemIndex(), -1);
    QCOMPARE(ControlCharset(form->lastFindWord), 128);
    QCOMPARE(form->ComboBox1->Text(), QStringLiteral("Arial"));
    QVERIFY(fixture.showMainWindow());
    form->FileExit1Execute();
    QCOMPARE(StoredValues(fixture.configDirectory()).value(QStringLiteral("iCharSet")), QVariant(-1));
}

void SettingsTest::aValueOfTheWrongTypeGivesBothDefaults_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<bool>("keptAside");  // damaged: kept as .bak, and the user told so
    QTest::newRow("iCharSet is a string") << Store("\"iCharSet\"=\"3\"\n\"stFont\"=\"Arial\"\n") << false;
    QTest::newRow("stFont is an integer") << Store("\"iCharSet\"=dword:00000003\n\"stFont\"=dword:00000001\n") << false;
    QTest::newRow("stFont missing") << Store("\"iCharSet\"=dword:00000003\n") << false;
    QTest::newRow("corrupt file") << QByteArray("\x01\x02 not a registry file [[[\n\"x\"") << true;
    QTest::newRow("key missing") << QByteArray("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"iCharSet\"=dword:00000003\n") << false;
}

void SettingsTest::aValueOfTheWrongTypeGivesBothDefaults()
{
    QFETCH(QByteArray, store);
    QFETCH(bool, keptAside);
    WindowSetFixture fixture([&store](const QString& dir) {
        WriteTestFile(dir + QStringLiteral("/Orvalde/Tesserine.reg"), store);
    });
    TSDIAppForm* form = fixture.form();
    QCOMPARE(form->ComboBox2->ItemIndex(), 11);
    QCOMPARE(form->ComboBox1->Text(), QStringLiteral("Arial CYR"));
    ModalAnswerer answerer;
    if (keptAside)
        answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    DeliverPostedAtStart();
    QVERIFY(fixture.showMainWindow());
    form->FileExit1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.answeredCount(), keptAside ? 1 : 0);
    if (keptAside)
        QCOMPARE(ReadTestFile(TRegistry::UserStorePath() + QStringLiteral(".bak")), store);
    const RegistryValues values = StoredValues(fixture.configDirectory());
    QCOMPARE(values.value(QStringLiteral("iCharSet")), QVariant(11));
    QCOMPARE(values.value(QStringLiteral("stFont")), QVariant(QStringLiteral("Arial CYR")));
}

void SettingsTest::aMachineWideStoreIsReadWhenTheUserHasNone()
{
    WindowSetFixture fixture([](const QString& dir) {
        WriteTestFile(dir + QStringLiteral("/machine/Orvalde/Tesserine.reg"),
                   Store("\"iCharSet\"=dword:0000000c\n\"stFont\"=\"Noto Sans Thai\"\n"));
    });
    QCOMPARE(fixture.form()->ComboBox2->ItemIndex(), 12);
    QCOMPARE(fixture.form()->ComboBox1->Text(), QStringLiteral("Noto Sans Thai"));
}

void SettingsTest::closingAnUnmodifiedDocumentClosesAtOnce()
{
    WindowSetFixture fixture;
    QVERIFY(fixture.showMainWindow());
    fixture.form()->RichEdit1->SetText(QStringLiteral("text"));
    fixture.form()->close();
    QVERIFY(!fixture.form()->isVisible());
}

void SettingsTest::cancelAtTheCloseQueryKeepsTheWindowAndWritesNothing()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    QVERIFY(fixture.showMainWindow());
    form->RichEdit1->setFocus();
    QTest::keyClicks(form->RichEdit1, QStringLiteral("changed"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(U("確認"), Qt::Key_Escape);
    form->close();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(form->isVisible());
    QVERIFY(StoredValues(fixture.configDirectory()).isEmpty());
}

void SettingsTest::yesThenCancellingSaveAsKeepsTheWindowOpen()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    QVERIFY(fixture.showMainWindow());
    form->RichEdit1->setFocus();
    QTest::keyClicks(form->RichEdit1, QStringLiteral("changed"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(U("確認"), Qt::Key_Y).expectFileDialog(QStringLiteral("SaveDialog"), QString());
    form->close();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.proposedNames(), QStringList(QStringLiteral("Untitled.rtf")));
    QVERIFY(form->isVisible());
    QVERIFY(form->RichEdit1->Modified());
    QVERIFY(StoredValues(fixture.configDirectory()).isEmpty());
}

void SettingsTest::noClosesWritesTheSettingsAndDiscardsTheChanges()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    QVERIFY(fixture.showMainWindow());
    form->RichEdit1->setFocus();
    QTest::keyClicks(form->RichEdit1, QStringLiteral("changed"));
    ModalAnswerer answerer;
    answerer.expectMessageBox(U("確認"), Qt::Key_N);
    form->close();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QVERIFY(!form->isVisible());
    QCOMPARE(StoredValues(fixture.configDirectory()).value(QStringLiteral("iCharSet")), QVariant(11));
    QCOMPARE(QDir(fixture.configDirectory()).entryList(QDir::Files), QStringList());
}

void SettingsTest::aFailedSettingsWriteIsReportedAndTheWindowStillCloses()
{
    WindowSetFixture fixture;
    TSDIAppForm* form = fixture.form();
    // The store's folder becomes a file, so the store cannot be written.
    QFile::remove(TRegistry::UserStorePath());
    QDir(fixture.configDirectory()).rmdir(QStringLiteral("Orvalde"));
    WriteTestFile(fixture.configDirectory() + QStringLiteral("/Orvalde"), "in the way");
    QVERIFY(fixture.showMainWindow());
    ModalAnswerer answerer;
    answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form->FileExit1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    // The system's reason is a sentence of its own.
    const QString message = answerer.messageTexts().first();
    QVERIFY2(message.contains(QStringLiteral("settings could not be saved")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("\". ")) && message.endsWith(QLatin1Char('.')), qPrintable(message));
    QVERIFY(!form->isVisible());
}

void SettingsTest::aStoreThatCannotBeReadIsKeptBesideAsBak()
{
    // The store's owner can write it but not read it (mode 0200). Run as root, the
    // test becomes nobody for this, since root reads every file.
    const QByteArray stored = Store("\"iCharSet\"=dword:00000003\n\"stFont\"=\"MS Gothic\"\n");
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (::geteuid() == 0 && !nobody)
        QSKIP("no user to run as");
    struct BackToRoot {
        bool active = false;
        ~BackToRoot()
        {
            if (active)
                (void)::seteuid(0);
        }
    } backToRoot{nobody != nullptr};
    QString store;
    {
        WindowSetFixture fixture([&](const QString& configDir) {
            QDir().mkpath(configDir + QStringLiteral("/Orvalde"));
            store = configDir + QStringLiteral("/Orvalde/Tesserine.reg");
            WriteTestFile(store, stored);
            QFile::setPermissions(store, QFileDevice::WriteOwner);
            if (nobody) {
                QFile::setPermissions(configDir, QFileDevice::Permissions(0x7777));
                QFile::setPermissions(configDir + QStringLiteral("/Orvalde"), QFileDevice::Permissions(0x7777));
                QVERIFY(::chown(store.toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) == 0);
                QVERIFY(::seteuid(nobody->pw_uid) == 0);
            }
        });
        TSDIAppForm* form = fixture.form();
        QCOMPARE(form->ComboBox2->ItemIndex(), 11);  // the defaults, the store being unreadable
        // Where the store went is told once the window is up; closing saves without a word.
        ModalAnswerer answerer;
        answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
        DeliverPostedAtStart();
        QVERIFY(fixture.showMainWindow());
        form->FileExit1Execute();
        QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
        QCOMPARE(answerer.answeredCount(), 1);
        QVERIFY2(answerer.messageTexts().first().contains(QLatin1Char('"') + store + QStringLiteral(".bak\"")),
                 qPrintable(answerer.messageTexts().first()));
        if (nobody) {
            QVERIFY(::seteuid(0) == 0);
            backToRoot.active = false;
        }
        QVERIFY(!form->isVisible());
        QCOMPARE(ReadTestFile(store + QStringLiteral(".bak")), stored);
        QCOMPARE(StoredValues(fixture.configDirectory()).value(QStringLiteral("iCharSet")), QVariant(11));
    }
}

void SettingsTest::aDamagedStoreIsKeptUnderTheFirstFreeBackupName_data()
{
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<int>("earlierCopies");  // .bak, .bak.1, ... there before
    QTest::addColumn<bool>("atStart");       // the key is missing, so it is created at start
    const QByteArray noKey("\x01\x02 not a registry file [[[\n");
    const QByteArray brokenLine = Store("\"iCharSet\"=dword:00000003\n\"stFont\"=\"unterminated\n");
    QTest::newRow("no earlier copy") << noKey << 0 << true;
    QTest::newRow("the user's own .bak") << noKey << 1 << true;
    QTest::newRow(".bak and .bak.1") << noKey << 2 << true;
    QTest::newRow("the user's own .bak, replaced at close") << brokenLine << 1 << false;
}

// A damaged store goes to the first free backup name; every earlier copy stays as it
// was, and the user is told the name it went to.
void SettingsTest::aDamagedStoreIsKeptUnderTheFirstFreeBackupName()
{
    QFETCH(QByteArray, store);
    QFETCH(int, earlierCopies);
    QFETCH(bool, atStart);
    const auto backupName = [](const QString& path, int number) {
        return path + QStringLiteral(".bak") + (number > 0 ? QLatin1Char('.') + QString::number(number) : QString());
    };
    const auto earlierCopy = [](int number) { return "the user's own copy " + QByteArray::number(number); };
    QString path;
    WindowSetFixture fixture([&](const QString& dir) {
        path = dir + QStringLiteral("/Orvalde/Tesserine.reg");
        WriteTestFile(path, store);
        for (int number = 0; number < earlierCopies; ++number)
            WriteTestFile(backupName(path, number), earlierCopy(number));
    });
    TSDIAppForm* form = fixture.form();
    ModalAnswerer answerer;
    if (atStart)
        answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    DeliverPostedAtStart();
    QCOMPARE(answerer.answeredCount(), atStart ? 1 : 0);
    QVERIFY(fixture.showMainWindow());
    if (!atStart)
        answerer.expectMessageBox(QStringLiteral("Tesserine"), Qt::Key_Return);
    form->FileExit1Execute();
    QVERIFY2(answerer.allAnswered(), qPrintable(answerer.failure()));
    QCOMPARE(answerer.answeredCount(), 1);

    const QString kept = backupName(path, earlierCopies);
    const QString notice = answerer.messageTexts().first();
    QVERIFY2(notice.contains(QLatin1Char('"') + path + QLatin1Char('"'))
                 && notice.contains(QLatin1Char('"') + kept + QLatin1Char('"')),
             qPrintable(notice));
    QCOMPARE(ReadTestFile(kept), store);
    for (int number = 0; number < earlierCopies; ++number)
        QCOMPARE(ReadTestFile(backupName(path, number)), earlierCopy(number));
    QVERIFY(!QFile::exists(backupName(path, earlierCopies + 1)));
    QCOMPARE(StoredValues(fixture.configDirectory()).value(QStringLiteral("iCharSet")), QVariant(11));
}

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
