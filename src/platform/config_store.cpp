#include "platform/config_store.h"

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "platform/posix_io.h"
#include "platform/safe_open.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kHive = QStringLiteral("HKEY_LOCAL_MACHINE\\");
// A store is a few hundred bytes; anything far larger is not ours to load
// (parsing takes some fifty times a file's size in memory, and its time).
const qint64 kMaxStoreSize = 1024 * 1024;

enum class ValueType { String, Number, Other };

// One line (or continued lines) inside a section: a value, or a line we do not
// understand and keep as it is. `raw` holds the bytes as read; it is empty for
// a value written by us, which is then formatted from its fields.
struct Entry {
    bool isValue = false;
    QString name;
    ValueType type = ValueType::Other;
    QString text;
    quint32 number = 0;
    QByteArray raw;
};

struct Section {
    QString path; // the text between the brackets
    QByteArray raw;
    QList<Entry> entries;
};

struct Store {
    QByteArrayList preamble; // lines before the first section, but the header
    QList<Section> sections;
};

bool IsHeaderLine(const QString& line)
{
    return line.startsWith(QStringLiteral("REGEDIT")) ||
           line.startsWith(QStringLiteral("Windows Registry Editor"));
}

// Reads a quoted text starting at `pos` (a '"'); a backslash takes the next
// character literally. Returns false when the closing quote is missing.
bool ReadQuoted(const QString& line, int& pos, QString& out)
{
    out.clear();
    for (int i = pos + 1; i < line.size(); ++i) {
        QChar c = line[i];
        if (c == '\\') {
            if (++i >= line.size())
                return false;
            out += line[i];
        } else if (c == '"') {
            pos = i + 1;
            return true;
        } else {
            out += c;
        }
    }
    return false;
}

QString Quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

bool ParseDword(const QString& text, quint32& value)
{
    QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 8)
        return false;
    for (QChar c : digits)
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
            return false;
    bool ok = false;
    value = digits.toUInt(&ok, 16);
    return ok;
}

// Fills name, type and value from a value line; false when the line is not one.
bool ParseValueLine(const QString& line, Entry& e)
{
    int pos = 0;
    if (line.startsWith('"')) {
        if (!ReadQuoted(line, pos, e.name))
            return false;
    } else if (line.startsWith('@')) {
        e.name.clear();
        pos = 1;
    } else {
        return false;
    }
    if (pos >= line.size() || line[pos] != '=')
        return false;
    const QString value = line.mid(pos + 1);
    e.isValue = true;
    e.type = ValueType::Other;
    if (value.startsWith('"')) {
        int end = 0;
        QString text;
        if (ReadQuoted(value, end, text) && value.mid(end).trimmed().isEmpty()) {
            e.type = ValueType::String;
            e.text = text;
        }
    } else if (value.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
        if (ParseDword(value.mid(6), e.number))
            e.type = ValueType::Number;
    }
    return true;
}

Store Parse(const QByteArray& bytes)
{
    QByteArrayList lines = bytes.split('\n');
    Store store;
    Section* section = nullptr;
    bool seenLine = false;
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray raw = lines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (i == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            store.sections.append(Section{line.mid(1, line.size() - 2), raw, {}});
            section = &store.sections.last();
            continue;
        }
        if (!section) {
            // The header is written anew; any other line before the first
            // section is kept as it is (a comment, or bytes not ours to drop).
            if (seenLine || !IsHeaderLine(line))
                store.preamble.append(raw);
            seenLine = true;
            continue;
        }
        Entry e;
        const bool isValue = ParseValueLine(line, e);
        if (!(isValue && e.type == ValueType::String)) {
            // Binary and multi-string values go on over lines ending in '\'.
            QByteArray last = raw.trimmed();
            while (last.endsWith('\\') && i + 1 < lines.size()) {
                QByteArray next = lines[++i];
                if (next.endsWith('\r'))
                    next.chop(1);
                raw += '\n' + next;
                last = next.trimmed();
            }
        }
        e.isValue = isValue;
        e.raw = raw;
        section->entries.append(e);
    }
    return store;
}

QByteArray Format(const Store& store)
{
    QByteArray out = "REGEDIT4\n";
    for (const QByteArray& line : store.preamble)
        out += line + '\n';
    for (const Section& s : store.sections) {
        out += '\n';
        out += s.raw.isEmpty() ? ('[' + s.path + ']').toUtf8() : s.raw;
        out += '\n';
        for (const Entry& e : s.entries) {
            if (!e.raw.isEmpty()) {
                out += e.raw;
                // A continuation left open at the end of the file is closed by
                // a blank line, so that the next line stays a line of its own.
                if (e.raw.mid(e.raw.lastIndexOf('\n') + 1).trimmed().endsWith('\\'))
                    out += '\n';
            } else {
                QString line = e.name.isEmpty() ? QStringLiteral("@") : Quoted(e.name);
                line += '=';
                if (e.type == ValueType::String)
                    line += Quoted(e.text);
                else
                    line += QStringLiteral("dword:%1").arg(e.number, 8, 16, QChar('0'));
                out += line.toUtf8();
            }
            out += '\n';
        }
    }
    return out;
}

// The store file's bytes. Other accounts may have write access to the store's
// folder, so whatever stands there is opened without following a link and
// without waiting for a pipe's writer, and only a regular file of at most
// kMaxStoreSize bytes is read. False when something else stands there or the
// file cannot be read whole; a missing file reads as no bytes.
bool ReadStoreBytes(QByteArray& bytes)
{
    bytes.clear();
    const QByteArray path = QFile::encodeName(MachineStorePath());
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    if (!S_ISREG(st.st_mode) || st.st_size > kMaxStoreSize)
        return false; // a device is never opened: opening some has effects
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0)
        return errno == ENOENT;
    bool whole = ::fstat(fd, &st) == 0 && st.st_size <= kMaxStoreSize;
    // Reads to the end, at most one byte past the limit: a file that grew
    // meanwhile beyond it is not ours either.
    QByteArray buffer(static_cast<int>(qMin<qint64>(st.st_size, kMaxStoreSize)) + 1,
                      Qt::Uninitialized);
    qint64 size = 0;
    while (whole) {
        const ssize_t n =
            ReadUpTo(fd, buffer.data() + size, static_cast<size_t>(buffer.size() - size));
        if (n < 0) {
            whole = false;
            break;
        }
        size += n;
        if (size < buffer.size() || buffer.size() > kMaxStoreSize)
            break;
        buffer.resize(static_cast<int>(kMaxStoreSize) + 1);
    }
    ::close(fd);
    if (!whole || size > kMaxStoreSize)
        return false;
    buffer.truncate(size);
    bytes = buffer;
    return true;
}

// False when the file exists but cannot be read whole; a missing file is an
// empty store.
bool Load(Store& store)
{
    store = Store();
    QByteArray bytes;
    if (!ReadStoreBytes(bytes))
        return false;
    store = Parse(bytes);
    return true;
}

// Replaces the store file by a complete new one (ReplaceFileWhole), so that a
// crash leaves the old store or the new one, never a part of one (a store
// that lost "MyPass" would let anyone in as ADM). A link in place of the
// store is refused, never written through. A replaced store keeps its mode
// exactly, and its owner where this process may keep it; a new one gets 0644.
// A store that would grow beyond what Load takes is not written: it could
// not be read back.
bool Save(const Store& store)
{
    const QByteArray bytes = Format(store);
    if (bytes.size() > kMaxStoreSize)
        return false;
    const QString path = MachineStorePath();
    struct stat old;
    const bool exists =
        ::lstat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode);
    return ReplaceFileWhole(path, bytes, 0644, exists ? int(old.st_mode & 07777) : 0644).replaced();
}

QString FullPath(const QString& keyPath)
{
    QString path = keyPath;
    while (path.startsWith('\\'))
        path.remove(0, 1);
    while (path.endsWith('\\'))
        path.chop(1);
    return kHive + path;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// A key exists when it has a section of its own or one beneath it.
bool KeyExists(const Store& store, const QString& fullPath)
{
    for (const Section& s : store.sections)
        if (SameName(s.path, fullPath) || s.path.startsWith(fullPath + '\\', Qt::CaseInsensitive))
            return true;
    return false;
}

void AddSection(Store& store, const QString& fullPath)
{
    store.sections.append(Section{fullPath, {}, {}});
}

// Creates the key in the store file; false when it could not be written.
bool CreateKey(const QString& fullPath)
{
    Store store;
    if (!Load(store))
        return false;
    if (KeyExists(store, fullPath))
        return true;
    AddSection(store, fullPath);
    return Save(store);
}

// The value as the last line naming it in the key's sections holds it.
const Entry* FindValue(const Store& store, const QString& fullPath, const QString& name)
{
    const Entry* found = nullptr;
    for (const Section& s : store.sections)
        if (SameName(s.path, fullPath))
            for (const Entry& e : s.entries)
                if (e.isValue && SameName(e.name, name))
                    found = &e;
    return found;
}

StoreError SetFailed(const QString& name)
{
    return StoreError(QStringLiteral("Failed to set data for '%1'").arg(name));
}

StoreError WrongType(const QString& name)
{
    return StoreError(QStringLiteral("Invalid data type for '%1'").arg(name));
}

// The value `name` of the key as the store file holds it now; StoreError
// when it is not of `type`.
std::optional<Entry> ReadValue(const QString& fullPath, const QString& name, ValueType type,
                               bool* readable = nullptr)
{
    Store store;
    const bool loaded = Load(store);
    if (readable)
        *readable = loaded;
    const Entry* e = FindValue(store, fullPath, name);
    if (!e)
        return std::nullopt;
    if (e->type != type)
        throw WrongType(name);
    return *e;
}

bool IsDirectory(const QByteArray& path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

QString MachineStorePath()
{
    const QString fixed = QStringLiteral("/etc/zelvo/machine.reg");
#if ZELVO_STORE_FROM_ENVIRONMENT
    // Builds for tests may name another store; the package's programs never
    // do, or any account could name a store of its own choosing.
    const QString path = qEnvironmentVariable("ZELVO_MACHINE_STORE");
    return path.isEmpty() ? fixed : path;
#else
    return fixed;
#endif
}

bool CanWriteMachineStore()
{
    const QString path = MachineStorePath();
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (!IsDirectory(folder) || ::faccessat(AT_FDCWD, folder.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    // A link in place of the store is never written through, so it is not writable.
    struct stat st;
    if (::lstat(file.constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && ::faccessat(AT_FDCWD, file.constData(), W_OK, AT_EACCESS) == 0;
}

StoreKey StoreKey::openRead(const QString& keyPath, bool create)
{
    if (create && CanWriteMachineStore())
        CreateKey(FullPath(keyPath)); // quietly nothing when it fails
    return StoreKey(keyPath, false);
}

std::optional<StoreKey> StoreKey::openFull(const QString& keyPath, bool create)
{
    if (!CanWriteMachineStore())
        return std::nullopt;
    Store store;
    if (!Load(store))
        return std::nullopt;
    const QString fullPath = FullPath(keyPath);
    if (!KeyExists(store, fullPath)) {
        if (!create)
            return std::nullopt;
        AddSection(store, fullPath);
        if (!Save(store))
            return std::nullopt;
    }
    return StoreKey(keyPath, true);
}

bool StoreKey::hasValue(const QString& name) const
{
    Store store;
    Load(store);
    return FindValue(store, FullPath(keyPath_), name) != nullptr;
}

std::optional<QString> StoreKey::readString(const QString& name) const
{
    if (const std::optional<Entry> e = ReadValue(FullPath(keyPath_), name, ValueType::String))
        return e->text;
    return std::nullopt;
}

std::optional<QString> StoreKey::readString(const QString& name, bool& storeReadable) const
{
    if (const std::optional<Entry> e =
            ReadValue(FullPath(keyPath_), name, ValueType::String, &storeReadable))
        return e->text;
    return std::nullopt;
}

std::optional<qint32> StoreKey::readNumber(const QString& name) const
{
    if (const std::optional<Entry> e = ReadValue(FullPath(keyPath_), name, ValueType::Number))
        return static_cast<qint32>(e->number);
    return std::nullopt;
}

namespace {

// The export syntax keeps one value per line: a line break cannot be stored.
bool HasLineBreak(const QString& text) { return text.contains('\n') || text.contains('\r'); }

// Re-reads the store, sets the value in every line naming it (keeping the
// stored spelling of the name) or appends it to the key, and replaces the file.
void WriteValue(const QString& fullPath, bool writable, Entry value)
{
    const QString name = value.name;
    Store store;
    if (!writable || HasLineBreak(name) || !Load(store))
        throw SetFailed(name);
    bool found = false;
    for (Section& s : store.sections) {
        if (!SameName(s.path, fullPath))
            continue;
        for (Entry& e : s.entries) {
            if (e.isValue && SameName(e.name, name)) {
                value.name = e.name;
                e = value;
                found = true;
            }
        }
    }
    if (!found) {
        value.name = name;
        Section* target = nullptr;
        for (Section& s : store.sections)
            if (!target && SameName(s.path, fullPath))
                target = &s;
        if (!target) {
            AddSection(store, fullPath);
            target = &store.sections.last();
        }
        target->entries.append(value);
    }
    if (!Save(store))
        throw SetFailed(name);
}

} // namespace

void StoreKey::writeString(const QString& name, const QString& value)
{
    if (HasLineBreak(value))
        throw SetFailed(name);
    Entry e;
    e.isValue = true;
    e.name = name;
    e.type = ValueType::String;
    e.text = value;
    WriteValue(FullPath(keyPath_), writable_, e);
}

void StoreKey::writeNumber(const QString& name, qint32 value)
{
    Entry e;
    e.isValue = true;
    e.name = name;
    e.type = ValueType::Number;
    e.number = static_cast<quint32>(value);
    WriteValue(FullPath(keyPath_), writable_, e);
}

bool StoreKey::deleteValue(const QString& name)
{
    Store store;
    if (!writable_ || !Load(store))
        throw SetFailed(name);
    const QString fullPath = FullPath(keyPath_);
    bool found = false;
    for (Section& s : store.sections) {
        if (!SameName(s.path, fullPath))
            continue;
        for (int i = s.entries.size() - 1; i >= 0; --i) {
            if (s.entries[i].isValue && SameName(s.entries[i].name, name)) {
                s.entries.removeAt(i);
                found = true;
            }
        }
    }
    if (!found)
        return false;
    if (!Save(store))
        throw SetFailed(name);
    return true;
}
