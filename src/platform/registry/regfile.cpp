#include "platform/registry/regfile.h"

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <utility>

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

template <typename Items> bool eraseNamed(Items& items, const QString& name) {
    const auto it = findNamed(items, name);
    if (it == items.end())
        return false;
    items.erase(it);
    return true;
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
    if (parts.size() > maxDepth || !std::all_of(parts.begin(), parts.end(), writableKeyName))
        return std::nullopt;
    return parts;
}

QString quoted(const QString& text) {
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

// The tree as the text builds it: keys in the order they first appear, each after its parent,
// and found by parent and name in constant time, so that many siblings cost no more than few.
class Builder {
public:
    Builder() : keys_{emptyMachine()}, children_(1) {}

    // Goes to the key of a "[...]" line, creating it and any missing keys above it; false past
    // the limits.
    bool enter(const QStringList& path) {
        if (path.size() > maxDepth)
            return false;
        std::size_t key = 0;
        qsizetype nameLength = rootName().size();
        for (const QString& part : path) {
            nameLength += 1 + part.size();
            auto it = keyAt_.find({key, part.toCaseFolded()});
            if (it == keyAt_.end()) {
                // Each key is written back on a line of its whole name.
                written_ += nameLength + 4;
                if (written_ > maxTextSize)
                    return false;
                it = keyAt_.insert({key, part.toCaseFolded()}, keys_.size());
                children_[key].push_back(keys_.size());
                keys_.push_back({part, {}, {}});
                children_.emplace_back();
            }
            key = *it;
        }
        current_ = key;
        return true;
    }
    bool inKey() const { return current_ != none; }
    void setValue(const QString& name, const QString& data) {
        std::vector<Value>& values = keys_[current_].values;
        const std::pair<std::size_t, QString> id{current_, name.toCaseFolded()};
        const auto it = valueAt_.constFind(id);
        if (it != valueAt_.cend()) {
            values[*it].data = data;
            return;
        }
        valueAt_.insert(id, values.size());
        values.push_back({name, data});
    }
    // Children come after their parents: from the last key back, each is complete when moved.
    Key finish() {
        for (std::size_t i = keys_.size(); i-- > 0;) {
            keys_[i].subkeys.reserve(children_[i].size());
            for (const std::size_t child : children_[i])
                keys_[i].subkeys.push_back(std::move(keys_[child]));
        }
        return std::move(keys_[0]);
    }

private:
    static constexpr std::size_t none = std::size_t(-1);
    std::vector<Key> keys_;
    std::vector<std::vector<std::size_t>> children_;
    QHash<std::pair<std::size_t, QString>, std::size_t> keyAt_;   // parent, folded name
    QHash<std::pair<std::size_t, QString>, std::size_t> valueAt_; // key, folded name
    std::size_t current_ = none;
    qsizetype written_ = 0;
};

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

KeyList::~KeyList() {
    // Moves every descendant up into this list, so that each key is destroyed without subkeys.
    for (std::size_t i = 0; i < size(); ++i) {
        KeyList children = std::move((*this)[i].subkeys);
        for (Key& child : children)
            push_back(std::move(child));
    }
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
    return eraseNamed(values, valueName);
}

bool Key::removeSubkey(const QString& keyName) {
    return eraseNamed(subkeys, keyName);
}

Key emptyMachine() {
    return Key{rootName(), {}, {}};
}

std::optional<Key> parse(const QByteArray& bytes) {
    if (bytes.size() > maxTextSize)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return std::nullopt;

    Reader r(text);
    if (!r.take(u"REGEDIT4") || !r.endOfLine())
        return std::nullopt;
    Builder machine;
    for (;;) {
        r.skipWhitespace();
        if (r.atEnd())
            return machine.finish();
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
            if (!path || !machine.enter(*path))
                return std::nullopt;
            continue;
        }
        if (!machine.inKey())
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
        machine.setValue(valueName, *data);
    }
}

QByteArray format(const Key& machine) {
    QString out = QStringLiteral("REGEDIT4\n");
    // Depth first, by a list of keys still to write rather than by recursion.
    std::vector<std::pair<const Key*, QString>> pending{{&machine, rootName()}};
    while (!pending.empty()) {
        const auto [key, fullName] = std::move(pending.back());
        pending.pop_back();
        if (key != &machine || !key->values.empty()) {
            out += QStringLiteral("\n[") + fullName + QStringLiteral("]\n");
            for (const Value& v : key->values)
                out += (v.name.isEmpty() ? QStringLiteral("@") : quoted(v.name)) + u'=' +
                       quoted(v.data) + u'\n';
        }
        for (auto sub = key->subkeys.rbegin(); sub != key->subkeys.rend(); ++sub)
            pending.emplace_back(&*sub, fullName + u'\\' + sub->name);
    }
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
