#pragma once
// A small registry: keys holding typed values (32-bit integers and strings), kept in a
// text file of the .reg kind in the user's configuration directory
// ($XDG_CONFIG_HOME/Orvalde/Tesserine.reg). A machine-wide file of the same name under
// the XDG configuration directories is read when the user's file lacks a key.
#include <QMap>
#include <QString>
#include <QVariant>
#include <stdexcept>

enum RegistryRoot : quint32 {
    HKEY_CURRENT_USER = 0x80000001,
    HKEY_LOCAL_MACHINE = 0x80000002,
};

class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const QString& message);
};

class TRegistry {
public:
    TRegistry();

    quint32 RootKey = HKEY_CURRENT_USER;

    // Opens a key below the root ("SOFTWARE\Maker\Program"); with canCreate a missing
    // key is created in the user's file. Returns false when the key neither exists
    // nor could be created.
    bool OpenKey(const QString& key, bool canCreate);

    // Throw ERegistryException when no key is open, the value is missing, or it holds
    // the other type (a string is not an integer, nor the other way round).
    int ReadInteger(const QString& name) const;
    QString ReadString(const QString& name) const;
    // Write through to the user's file at once, atomically; throw ERegistryException
    // naming the file and the reason when it cannot be written.
    void WriteInteger(const QString& name, int value);
    void WriteString(const QString& name, const QString& value);

    // A write that finds the user's file unreadable or damaged keeps it under the
    // first free name of Tesserine.reg.bak, .bak.1, .bak.2, ... before replacing it.
    // The path of that copy, once; empty when no write since the last call kept one.
    QString TakeSetAsideCopy();

    // Where the values are stored.
    static QString UserStorePath();
    static QString MachineStorePath();

private:
    QString KeyPath() const;
    QVariant Read(const QString& name) const;
    void Write(const QString& name, const QVariant& value);
    // Throws when no key is open, naming why OpenKey could not create it.
    void CheckOpenToWrite(const QString& name) const;

    QString openKey_;
    bool open_ = false;
    QString openError_;  // why the key could not be created, for the next write
    QString setAside_;   // where a write kept the file it could not read
};

// The .reg text format: sections "[ROOT\path]" holding lines "name"=dword:hex or
// "name"="text". Keys and value names keep their case but match without it.
using RegistryValues = QMap<QString, QVariant>;  // value name -> int or QString
using RegistryKeys = QMap<QString, RegistryValues>;  // upper-cased full key path -> values

// Parses a store; returns false (and what could be read) when the text is malformed.
bool ParseRegistryText(const QByteArray& text, RegistryKeys& keys, QMap<QString, QString>* keyNames = nullptr);
QByteArray FormatRegistryText(const RegistryKeys& keys, const QMap<QString, QString>& keyNames);
