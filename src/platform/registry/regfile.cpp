#include "platform/registry/regfile.h"

#include <QStringDecoder>
#include <algorithm>

namespace platform::reg {

namespace {
bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

template <typename Items> auto findNamed(Items& items, const QString& name) {
    return std::find_if(items.begin(), items.end(),
                        [&](const auto& item) { return sameName(item.name, name); });
}

template <typename Items> auto* pointerTo(Items& items, const QString& name) {
    const auto it = findNamed(items, name);
    return it == items.end() ? nullptr : &*it;
}

template <typename K> K* walk(K& machine, const QStringList& path) {
    K* key = &machine;
    for (const QString& part : path)
        if (!(key = key->subkey(part)))
            return nullptr;
    return key;
}

// A key name must fit on its "[...]" line.
bool writableKeyName(const QString& name) {
    return !name.isEmpty() &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20; });
}

// Key path below the root; nullopt unless `full` starts with the root and every part is valid.
std::optional<QStringList> pathBelowRoot(const QString& full, bool shortRootAllowed) {
    QStringList parts = full.split(u'\\');
    const QString root = parts.takeFirst();
    if (!sameName(root, rootName()) &&
        !(shortRootAllowed && sameName(root, QStringLiteral("HKLM"))))
        return std::nullopt;
    if (!std::all_of(parts.begin(), parts.end(), writableKeyName))
        return std::nullopt;
    return parts;
}

QString quoted(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

void formatKey(const Key& key, const QString& fullName, bool isRoot, QString& out) {
    if (!isRoot || !key.values.empty()) {
        out += QStringLiteral("\n[") + fullName + QStringLiteral("]\n");
        for (const Value& v : key.values)
            out += (v.name.isEmpty() ? QStringLiteral("@") : quoted(v.name)) + u'=' +
                   quoted(v.data) + u'\n';
    }
    for (const Key& sub : key.subkeys)
        formatKey(sub, fullName + u'\\' + sub.name, false, out);
}

// Walks the text; a quoted string may span lines, everything else is line by line.
class Reader {
public:
    explicit Reader(QStringView text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_[pos_]; }
    void advance() { ++pos_; }

    bool take(QStringView word) {
        if (!text_.mid(pos_).startsWith(word))
            return false;
        pos_ += word.size();
        return true;
    }
    void skipBlanks() {
        while (!atEnd() && (peek() == u' ' || peek() == u'\t' || peek() == u'\r'))
            ++pos_;
    }
    void skipWhitespace() {
        while (!atEnd() && peek().isSpace())
            ++pos_;
    }
    // True at the end of a line (or of the text), which it consumes.
    bool endOfLine() {
        skipBlanks();
        if (atEnd())
            return true;
        if (peek() != u'\n')
            return false;
        ++pos_;
        return true;
    }
    QStringView restOfLine() {
        const qsizetype start = pos_;
        while (!atEnd() && peek() != u'\n')
            ++pos_;
        return text_.mid(start, pos_ - start);
    }
    // A "..." string with \\ and \" escapes, the reader at its opening quote.
    std::optional<QString> quotedString() {
        QString s;
        ++pos_;
        while (!atEnd()) {
            const QChar c = text_[pos_++];
            if (c == u'"')
                return s;
            if (c == u'\\') {
                if (atEnd() || (peek() != u'\\' && peek() != u'"'))
                    return std::nullopt;
                s += text_[pos_++];
            } else {
                s += c;
            }
        }
        return std::nullopt;
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};
} // namespace

QString rootName() {
    return QStringLiteral("HKEY_LOCAL_MACHINE");
}

Key* Key::subkey(const QString& keyName) {
    return pointerTo(subkeys, keyName);
}

const Key* Key::subkey(const QString& keyName) const {
    return pointerTo(subkeys, keyName);
}

const Value* Key::value(const QString& valueName) const {
    return pointerTo(values, valueName);
}

void Key::setValue(const QString& valueName, const QString& data) {
    const auto it = findNamed(values, valueName);
    if (it == values.end())
        values.push_back({valueName, data});
    else
        it->data = data;
}

bool Key::removeValue(const QString& valueName) {
    const auto it = findNamed(values, valueName);
    if (it == values.end())
        return false;
    values.erase(it);
    return true;
}

bool Key::removeSubkey(const QString& keyName) {
    const auto it = findNamed(subkeys, keyName);
    if (it == subkeys.end())
        return false;
    subkeys.erase(it);
    return true;
}

Key emptyMachine() {
    return Key{rootName(), {}, {}};
}

std::optional<Key> parse(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;

    Reader r(text);
    if (!r.take(u"REGEDIT4") || !r.endOfLine())
        return std::nullopt;
    Key machine = emptyMachine();
    Key* current = nullptr; // set by each "[...]" line, before any key is created again
    for (;;) {
        r.skipWhitespace();
        if (r.atEnd())
            return machine;
        const QChar c = r.peek();
        if (c == u';') {
            r.restOfLine();
            continue;
        }
        if (c == u'[') {
            const QStringView line = r.restOfLine().trimmed();
            if (!line.endsWith(u']'))
                return std::nullopt;
            const auto path = pathBelowRoot(line.mid(1, line.size() - 2).toString(), false);
            if (!path)
                return std::nullopt;
            current = &createKey(machine, *path);
            continue;
        }
        if (!current)
            return std::nullopt;
        QString valueName;
        if (c == u'@') {
            r.advance();
        } else if (c == u'"') {
            const auto name = r.quotedString();
            if (!name)
                return std::nullopt;
            valueName = *name;
        } else {
            return std::nullopt;
        }
        r.skipBlanks();
        if (!r.take(u"="))
            return std::nullopt;
        r.skipBlanks();
        if (r.peek() != u'"')
            return std::nullopt;
        const auto data = r.quotedString();
        if (!data || !r.endOfLine())
            return std::nullopt;
        current->setValue(valueName, *data);
    }
}

QByteArray format(const Key& machine) {
    QString out = QStringLiteral("REGEDIT4\n");
    formatKey(machine, rootName(), true, out);
    return out.toUtf8();
}

std::optional<Name> parseName(const QString& name) {
    const qsizetype lastSeparator = name.lastIndexOf(u'\\');
    if (lastSeparator < 0)
        return std::nullopt;
    const auto path = pathBelowRoot(name.left(lastSeparator), true);
    if (!path)
        return std::nullopt;
    return Name{*path, name.mid(lastSeparator + 1)};
}

const Key* findKey(const Key& machine, const QStringList& path) {
    return walk(machine, path);
}

Key* findKey(Key& machine, const QStringList& path) {
    return walk(machine, path);
}

Key& createKey(Key& machine, const QStringList& path) {
    Key* key = &machine;
    for (const QString& part : path) {
        Key* sub = key->subkey(part);
        if (!sub) {
            key->subkeys.push_back({part, {}, {}});
            sub = &key->subkeys.back();
        }
        key = sub;
    }
    return *key;
}

} // namespace platform::reg
