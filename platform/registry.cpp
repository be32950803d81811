#include "platform/registry.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSettings>
#include <QStringList>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/last_error.h"

struct HKEY__ {
    // Key path below HKEY_CURRENT_USER with '/' between the parts; empty for
    // the hive's root.
    QString path;
    bool predefined = false;
};

namespace {

HKEY__ g_currentUserRoot{QString(), true};

// Marks a key that exists even while it holds no value.
const QString kKeyMarker = QStringLiteral(".");
const QByteArray kRootName = "HKEY_CURRENT_USER";

std::mutex g_registryMutex;

// The file looks like a .reg export:
//   [HKEY_CURRENT_USER\Software\VELOR player]
//   "Language"="english"
//   "Volume"=dword:00000050
QByteArray EscapeText(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size() + 2);
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out;
}

// Reads a quoted text starting at `pos` (on the opening quote); returns the
// position after the closing quote, or -1 when the text is malformed.
int ReadQuoted(const QByteArray& line, int pos, QByteArray* text) {
    if (pos >= line.size() || line[pos] != '"')
        return -1;
    text->clear();
    for (int i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"')
            return i + 1;
        if (c != '\\') {
            *text += c;
            continue;
        }
        if (++i >= line.size())
            return -1;
        if (line[i] == 'x' && i + 2 < line.size()) {
            bool ok = false;
            int value = line.mid(i + 1, 2).toInt(&ok, 16);
            if (!ok)
                return -1;
            *text += static_cast<char>(value);
            i += 2;
        } else {
            *text += line[i];
        }
    }
    return -1;
}

QString SectionKeyPath(const QByteArray& header) {
    QByteArray inner = header.mid(1, header.size() - 2);
    if (inner != kRootName && !inner.startsWith(kRootName + "\\"))
        return QString();
    QByteArray below = inner.mid(kRootName.size() + 1);
    return QString::fromUtf8(below).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void ReadValueLine(const QByteArray& line, const QString& section, QSettings::SettingsMap& map) {
    QByteArray name;
    int pos = ReadQuoted(line, 0, &name);
    if (pos < 0 || pos >= line.size() || line[pos] != '=' || name.isEmpty())
        return;
    QByteArray rest = line.mid(pos + 1);
    QString key = section + QLatin1Char('/') + QString::fromUtf8(name);
    if (rest.startsWith("dword:")) {
        bool ok = false;
        uint value = rest.mid(6).toUInt(&ok, 16);
        if (ok && rest.size() == 14)
            map.insert(key, QVariant::fromValue<uint>(value));
        return;
    }
    QByteArray text;
    if (ReadQuoted(rest, 0, &text) == rest.size())
        map.insert(key, QVariant(text));
}

// Anything that does not parse is passed over: a damaged file loses only
// the lines that are damaged.
bool ReadRegistryFile(QIODevice& device, QSettings::SettingsMap& map) {
    QString section;
    bool inSection = false;
    while (!device.atEnd()) {
        QByteArray line = device.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = SectionKeyPath(line);
            inSection = !section.isEmpty();
            if (inSection)
                map.insert(section + QLatin1Char('/') + kKeyMarker, QVariant(true));
            continue;
        }
        if (inSection)
            ReadValueLine(line, section, map);
    }
    return true;
}

bool WriteRegistryFile(QIODevice& device, const QSettings::SettingsMap& map) {
    QString current;
    bool first = true;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        int slash = it.key().lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            continue;
        QString keyPath = it.key().left(slash);
        QString name = it.key().mid(slash + 1);
        if (first || keyPath != current) {
            QByteArray header =
                (first ? "" : "\n") + QByteArray("[") + kRootName + "\\" +
                QString(keyPath).replace(QLatin1Char('/'), QLatin1Char('\\')).toUtf8() + "]\n";
            device.write(header);
            current = keyPath;
            first = false;
        }
        if (name == kKeyMarker)
            continue;
        QByteArray line = "\"" + EscapeText(name.toUtf8()) + "\"=";
        if (it.value().typeId() == QMetaType::UInt) {
            line += "dword:" + QByteArray::number(it.value().toUInt(), 16).rightJustified(8, '0');
        } else {
            line += "\"" + EscapeText(it.value().toByteArray()) + "\"";
        }
        device.write(line + "\n");
    }
    return true;
}

QSettings::Format RegistryFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("reg"), ReadRegistryFile, WriteRegistryFile);
    return format;
}

QString ConfigHome() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured && configured[0] == '/')
        return QString::fromUtf8(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString HiveFile() {
    return ConfigHome() + QStringLiteral("/Velor/registry.reg");
}

QSettings OpenHive() {
    QString file = HiveFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    return QSettings(file, RegistryFormat());
}

QString JoinKeyPath(HKEY parent, const char* subKey) {
    QString below = QString::fromUtf8(subKey ? subKey : "");
    below.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts =
        (parent->path + QLatin1Char('/') + below).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

bool KeyExists(QSettings& hive, const QString& path) {
    if (path.isEmpty())
        return true;
    QString prefix = path + QLatin1Char('/');
    const QStringList keys = hive.allKeys();
    for (const QString& key : keys) {
        if (key.startsWith(prefix))
            return true;
    }
    return false;
}

bool ValidKey(HKEY key) {
    return key != nullptr;
}

LONG Commit(QSettings& hive) {
    hive.sync();
    if (hive.status() != QSettings::NoError)
        return static_cast<LONG>(ERROR_ACCESS_DENIED);
    return static_cast<LONG>(ERROR_SUCCESS);
}

} // namespace

const HKEY HKEY_CURRENT_USER = &g_currentUserRoot;

std::string RegistryFilePath() {
    return HiveFile().toStdString();
}

LONG RegOpenKeyExA(HKEY parent, const char* subKey, DWORD, REGSAM, HKEY* result) {
    if (!ValidKey(parent) || !result)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(g_registryMutex);
    QString path = JoinKeyPath(parent, subKey);
    QSettings hive = OpenHive();
    if (!KeyExists(hive, path))
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    *result = new HKEY__{path, false};
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegCreateKeyExA(HKEY parent, const char* subKey, DWORD, char*, DWORD, REGSAM, void*,
                     HKEY* result, DWORD* disposition) {
    if (!ValidKey(parent) || !result)
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(g_registryMutex);
    QString path = JoinKeyPath(parent, subKey);
    QSettings hive = OpenHive();
    bool existed = KeyExists(hive, path);
    if (!existed && !path.isEmpty()) {
        hive.setValue(path + QLatin1Char('/') + kKeyMarker, true);
        LONG status = Commit(hive);
        if (status != static_cast<LONG>(ERROR_SUCCESS))
            return status;
    }
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = new HKEY__{path, false};
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryValueExA(HKEY key, const char* valueName, DWORD*, DWORD* type, BYTE* data,
                      DWORD* size) {
    if (!ValidKey(key) || (data && !size))
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(g_registryMutex);
    QSettings hive = OpenHive();
    QString name = QString::fromUtf8(valueName ? valueName : "");
    if (name.isEmpty() || name == kKeyMarker)
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    QVariant value = hive.value(key->path + QLatin1Char('/') + name);
    if (!value.isValid())
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);

    QByteArray bytes;
    DWORD valueType = REG_SZ;
    if (value.typeId() == QMetaType::UInt) {
        valueType = REG_DWORD;
        DWORD number = value.toUInt();
        bytes = QByteArray(reinterpret_cast<const char*>(&number), sizeof number);
    } else {
        bytes = value.toByteArray();
        bytes.append('\0');
    }
    if (type)
        *type = valueType;
    DWORD needed = static_cast<DWORD>(bytes.size());
    if (!size)
        return static_cast<LONG>(ERROR_SUCCESS);
    DWORD room = *size;
    *size = needed;
    if (!data)
        return static_cast<LONG>(ERROR_SUCCESS);
    if (room < needed)
        return static_cast<LONG>(ERROR_MORE_DATA);
    std::memcpy(data, bytes.constData(), needed);
    return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegSetValueExA(HKEY key, const char* valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD size) {
    if (!ValidKey(key) || key->path.isEmpty())
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    QString name = QString::fromUtf8(valueName ? valueName : "");
    if (name.isEmpty() || name == kKeyMarker || name.contains(QLatin1Char('/')))
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    QVariant value;
    if (type == REG_DWORD) {
        if (!data || size < sizeof(DWORD))
            return static_cast<LONG>(ERROR_INVALID_PARAMETER);
        DWORD number = 0;
        std::memcpy(&number, data, sizeof number);
        value = QVariant::fromValue<uint>(number);
    } else if (type == REG_SZ) {
        // The stored text ends at the first NUL, as readers of REG_SZ expect.
        const char* text = reinterpret_cast<const char*>(data);
        DWORD length = 0;
        while (text && length < size && text[length] != '\0')
            ++length;
        value = QVariant(QByteArray(text ? text : "", static_cast<int>(length)));
    } else {
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    }
    std::lock_guard lock(g_registryMutex);
    QSettings hive = OpenHive();
    hive.setValue(key->path + QLatin1Char('/') + name, value);
    return Commit(hive);
}

LONG RegDeleteValueA(HKEY key, const char* valueName) {
    if (!ValidKey(key))
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    std::lock_guard lock(g_registryMutex);
    QSettings hive = OpenHive();
    QString full = key->path + QLatin1Char('/') + QString::fromUtf8(valueName ? valueName : "");
    if (!hive.contains(full))
        return static_cast<LONG>(ERROR_FILE_NOT_FOUND);
    hive.remove(full);
    // Keep the key itself when its last value goes.
    hive.setValue(key->path + QLatin1Char('/') + kKeyMarker, true);
    return Commit(hive);
}

LONG RegCloseKey(HKEY key) {
    if (!ValidKey(key))
        return static_cast<LONG>(ERROR_INVALID_HANDLE);
    if (!key->predefined)
        delete key;
    return static_cast<LONG>(ERROR_SUCCESS);
}
