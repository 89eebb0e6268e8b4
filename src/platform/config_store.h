#pragma once
// The machine-wide configuration store: one text file in the registry export
// syntax (REGEDIT4, [HKEY_LOCAL_MACHINE\<key>] sections, "name"="text" and
// "name"=dword:xxxxxxxx values). The file is /etc/zelvo/machine.reg; a build
// with ZELVO_STORE_FROM_ENVIRONMENT (the default for tests, never the
// package) takes $ZELVO_MACHINE_STORE instead when it is set. Key and value names compare without
// letter case. Every write replaces the whole file atomically. Accounts granted the right to save
// may write the store's folder, so only a regular file standing there is read or replaced: a link,
// a pipe, a device or a folder in its place reads as no values and is never written (nor written
// through).

#include <QString>
#include <optional>

// Path of the store file in force.
QString MachineStorePath();

// True when this process may write the store file (or create it in its folder);
// false when anything but a regular file stands in its place.
bool CanWriteMachineStore();

class StoreKey {
  public:
    // Opens `keyPath` (for instance "Software\\Brenk\\Dorvo") for reading. Never
    // fails: a missing file or key reads as no values. With `create`, a missing
    // key is created when the store can be written, and quietly not otherwise.
    static StoreKey openRead(const QString& keyPath, bool create = false);
    // Opens with full access, creating the key when `create` and it is missing.
    // Empty when the store cannot be written (or the key is missing and not created).
    static std::optional<StoreKey> openFull(const QString& keyPath, bool create);

    bool hasValue(const QString& name) const;
    // Empty when the value is missing; StoreError "Invalid data type for '%s'"
    // when it exists with another type.
    std::optional<QString> readString(const QString& name) const;
    // The same, and whether the store could be read: false when a store file
    // stands there that cannot be read whole (its mode, a link, a pipe, a
    // folder, a file beyond the size limit); a missing store is readable.
    std::optional<QString> readString(const QString& name, bool& storeReadable) const;
    std::optional<qint32> readNumber(const QString& name) const;

    // StoreError "Failed to set data for '%s'" when refused (also on a key
    // opened for reading only). The store file is replaced atomically.
    void writeString(const QString& name, const QString& value);
    void writeNumber(const QString& name, qint32 value);
    // True when the value existed and the store was rewritten without it.
    bool deleteValue(const QString& name);

  private:
    StoreKey(const QString& keyPath, bool writable) : keyPath_(keyPath), writable_(writable) {}
    QString keyPath_;
    bool writable_;
};
