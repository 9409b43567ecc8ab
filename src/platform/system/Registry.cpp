#include "platform/system/Registry.h"

#include "platform/text/ReasonSentence.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

ERegistryException::ERegistryException(const QString& message)
    : std::runtime_error(message.toStdString()) {}

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";
const char kStoreName[] = "Orvalde/Tesserine.reg";

QString RootName(quint32 root)
{
    return root == HKEY_LOCAL_MACHINE ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                      : QStringLiteral("HKEY_CURRENT_USER");
}

QString Unquote(const QString& quoted, bool* ok)
{
    *ok = quoted.size() >= 2 && quoted.startsWith(QLatin1Char('"')) && quoted.endsWith(QLatin1Char('"'));
    QString out;
    for (int i = 1; *ok && i < quoted.size() - 1; ++i) {
        QChar c = quoted.at(i);
        if (c == QLatin1Char('\\')) {
            if (++i >= quoted.size() - 1) {
                *ok = false;
                break;
            }
            c = quoted.at(i);
        } else if (c == QLatin1Char('"')) {
            *ok = false;
        }
        out += c;
    }
    return out;
}

QString Quote(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// Splits "\"name\"=value" at the '=' after the closing quote of the name.
bool SplitValueLine(const QString& line, QString& name, QString& value)
{
    for (int i = 1; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (line.at(i) == QLatin1Char('"')) {
            bool ok = false;
            name = Unquote(line.left(i + 1), &ok);
            if (!ok || i + 1 >= line.size() || line.at(i + 1) != QLatin1Char('='))
                return false;
            value = line.mid(i + 2);
            return true;
        }
    }
    return false;
}

// The first of path.bak, path.bak.1, path.bak.2, ... that names nothing yet, so that no
// earlier copy (the user's own, or one kept before) is ever replaced.
QString FreeBackupPath(const QString& path)
{
    const QString first = path + QStringLiteral(".bak");
    QString candidate = first;
    for (int number = 1;; ++number) {
        const QFileInfo info(candidate);
        if (!info.exists() && !info.isSymLink())
            return candidate;
        candidate = first + QLatin1Char('.') + QString::number(number);
    }
}

bool LoadStore(const QString& path, RegistryKeys& keys, QMap<QString, QString>& names)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ParseRegistryText(file.readAll(), keys, &names);
}

} // namespace

bool ParseRegistryText(const QByteArray& text, RegistryKeys& keys, QMap<QString, QString>* keyNames)
{
    const QString content = QString::fromUtf8(text);
    bool wellFormed = true;
    QString current;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (int number = 0; number < lines.size(); ++number) {
        const QString line = lines[number].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || (number == 0 && line == QLatin1String(kHeader)))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2);
            current = name.toUpper();
            keys[current];
            if (keyNames)
                keyNames->insert(current, name);
            continue;
        }
        QString name;
        QString value;
        if (current.isEmpty() || !line.startsWith(QLatin1Char('"')) || !SplitValueLine(line, name, value)) {
            wellFormed = false;
            continue;
        }
        if (value.startsWith(QLatin1String("dword:"))) {
            bool ok = false;
            const uint number32 = value.mid(6).toUInt(&ok, 16);
            if (!ok || value.size() > 14) {
                wellFormed = false;
                continue;
            }
            keys[current].insert(name, static_cast<int>(number32));
        } else {
            bool ok = false;
            const QString string = Unquote(value, &ok);
            if (!ok) {
                wellFormed = false;
                continue;
            }
            keys[current].insert(name, string);
        }
    }
    return wellFormed;
}

QByteArray FormatRegistryText(const RegistryKeys& keys, const QMap<QString, QString>& keyNames)
{
    QString out = QLatin1String(kHeader) + QLatin1String("\n");
    for (auto key = keys.cbegin(); key != keys.cend(); ++key) {
        out += QStringLiteral("\n[%1]\n").arg(keyNames.value(key.key(), key.key()));
        for (auto value = key->cbegin(); value != key->cend(); ++value) {
            out += Quote(value.key()) + QLatin1Char('=');
            if (value->typeId() == QMetaType::Int)
                out += QStringLiteral("dword:%1").arg(static_cast<uint>(value->toInt()), 8, 16, QLatin1Char('0'));
            else
                out += Quote(value->toString());
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

TRegistry::TRegistry() = default;

QString TRegistry::UserStorePath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QLatin1String(kStoreName));
}

QString TRegistry::MachineStorePath()
{
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    return QDir(dirs.section(QLatin1Char(':'), 0, 0)).filePath(QLatin1String(kStoreName));
}

QString TRegistry::KeyPath() const
{
    return RootName(RootKey) + QLatin1Char('\\') + openKey_;
}

bool TRegistry::OpenKey(const QString& key, bool canCreate)
{
    openKey_ = key;
    openError_.clear();
    while (openKey_.startsWith(QLatin1Char('\\')))
        openKey_.remove(0, 1);
    open_ = false;
    RegistryKeys keys;
    QMap<QString, QString> names;
    LoadStore(UserStorePath(), keys, names);
    RegistryKeys machine;
    QMap<QString, QString> machineNames;
    LoadStore(MachineStorePath(), machine, machineNames);
    const QString upper = KeyPath().toUpper();
    if (keys.contains(upper) || machine.contains(upper)) {
        open_ = true;
        return true;
    }
    if (!canCreate)
        return false;
    try {
        Write(QString(), QVariant());
    } catch (const ERegistryException& e) {
        openError_ = QString::fromUtf8(e.what());
        return false;
    }
    open_ = true;
    return true;
}

QVariant TRegistry::Read(const QString& name) const
{
    if (!open_)
        throw ERegistryException(QStringLiteral("No registry key is open to read '%1' from.").arg(name));
    const QString upper = KeyPath().toUpper();
    for (const QString& path : {UserStorePath(), MachineStorePath()}) {
        RegistryKeys keys;
        QMap<QString, QString> names;
        LoadStore(path, keys, names);
        const auto key = keys.constFind(upper);
        if (key == keys.cend())
            continue;
        for (auto value = key->cbegin(); value != key->cend(); ++value)
            if (value.key().compare(name, Qt::CaseInsensitive) == 0)
                return *value;
        return QVariant();  // the user's key hides the machine-wide one
    }
    return QVariant();
}

int TRegistry::ReadInteger(const QString& name) const
{
    const QVariant value = Read(name);
    if (value.typeId() != QMetaType::Int)
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value.toInt();
}

QString TRegistry::ReadString(const QString& name) const
{
    const QVariant value = Read(name);
    if (value.typeId() != QMetaType::QString)
        throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value.toString();
}

void TRegistry::Write(const QString& name, const QVariant& value)
{
    const QString path = UserStorePath();
    RegistryKeys keys;
    QMap<QString, QString> names;
    QFile existing(path);
    if (existing.exists() && !LoadStore(path, keys, names)) {
        // Keep what could not be read or understood beside the file that replaces it.
        // A file that cannot be read cannot be copied either; it is moved aside whole.
        // One that can be kept neither way is not replaced. Neither way replaces a file
        // of the backup's name.
        const QString backup = FreeBackupPath(path);
        if (!QFile::copy(path, backup) && !existing.rename(backup))
            throw ERegistryException(QStringLiteral("The settings in \"%1\" could not be read, and could not be kept as \"%2\". %3")
                                         .arg(path, backup, ReasonSentence(existing.errorString())));
        setAside_ = backup;
    }
    const QString keyName = KeyPath();
    const QString upper = keyName.toUpper();
    if (!names.contains(upper))
        names.insert(upper, keyName);
    RegistryValues& values = keys[upper];
    if (!name.isEmpty()) {
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().compare(name, Qt::CaseInsensitive) == 0) {
                values.erase(it);
                break;
            }
        values.insert(name, value);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray text = FormatRegistryText(keys, names);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw ERegistryException(QStringLiteral("The settings could not be saved to \"%1\". %2")
                                     .arg(path, ReasonSentence(file.errorString())));
}

QString TRegistry::TakeSetAsideCopy()
{
    return std::exchange(setAside_, QString());
}

void TRegistry::CheckOpenToWrite(const QString& name) const
{
    if (open_)
        return;
    // Why the key could not be created says more than that it is not open.
    throw ERegistryException(!openError_.isEmpty() ? openError_
                                                   : QStringLiteral("No registry key is open to write '%1' to.").arg(name));
}

void TRegistry::WriteInteger(const QString& name, int value)
{
    CheckOpenToWrite(name);
    Write(name, value);
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    CheckOpenToWrite(name);
    Write(name, value);
}
