#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// HKEY_LOCAL_MACHINE as a tree of keys with REG_SZ values, and its REGEDIT4 text. Pure: text
// in, structure out, and back. Reading, writing and destroying a tree take time and stack in
// proportion to its text, whatever its shape.
namespace platform::reg {

QString rootName(); // "HKEY_LOCAL_MACHINE"

// Far above any real registry; text past either limit is damaged.
inline constexpr qsizetype maxTextSize = 16 * 1024 * 1024; // bytes, also of the written text
inline constexpr qsizetype maxDepth = 512;                 // keys below the root

struct Value {
    QString name; // empty for the key's default value
    QString data;
};

struct Key;

// The subkeys of a key. Destroyed without recursion, so that no depth exhausts the stack.
class KeyList : public std::vector<Key> {
public:
    using std::vector<Key>::vector;
    KeyList() = default;
    KeyList(const KeyList&) = default;
    KeyList(KeyList&&) noexcept = default;
    KeyList& operator=(const KeyList&) = default;
    KeyList& operator=(KeyList&&) noexcept = default;
    ~KeyList();
};

// Key and value names compare without regard to case and keep the case they were created with.
struct Key {
    QString name;
    std::vector<Value> values;
    KeyList subkeys;

    Key* subkey(const QString& keyName);
    const Key* subkey(const QString& keyName) const;
    const Value* value(const QString& valueName) const;
    void setValue(const QString& valueName, const QString& data);
    bool removeValue(const QString& valueName);
    bool removeSubkey(const QString& keyName);
};

Key emptyMachine();

// Reads the REGEDIT4 text of HKEY_LOCAL_MACHINE; nullopt when the text is damaged (anything
// this format cannot hold without loss, such as other value types or other roots), or past the
// limits: larger than maxTextSize, keys deeper than maxDepth, or key lines that would write
// back larger than maxTextSize.
std::optional<Key> parse(const QByteArray& text);

// The REGEDIT4 text of the tree, which parse() reads back as the same tree.
QByteArray format(const Key& machine);

// A name as the shell object takes it: "HKEY_LOCAL_MACHINE\Key\Sub\Value", or ending in "\"
// for the key's default value (RegWrite, RegRead) or the key itself (RegDelete).
struct Name {
    QStringList keyPath; // below the root
    QString valueName;   // empty when the name ends in "\"
};
// nullopt when the name is not under HKEY_LOCAL_MACHINE (or HKLM), has an empty or unwritable
// key name in it, or is deeper than maxDepth.
std::optional<Name> parseName(const QString& name);

const Key* findKey(const Key& machine, const QStringList& path);
Key* findKey(Key& machine, const QStringList& path);
// Finds the key, creating it and any missing keys above it.
Key& createKey(Key& machine, const QStringList& path);

} // namespace platform::reg
