#include "platform/registry/shellobject.h"

#include "platform/explorer/filemanagers.h"
#include "platform/registry/registry.h"
#include "platform/textbridge.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

namespace platform {

namespace {
ObjectFactory realFactory;

reg::Name nameOrRaise(const QString& name) {
    const auto parsed = reg::parseName(name);
    if (!parsed)
        Raise(err::NotFound, QStringLiteral("Invalid root in registry key \"%1\".").arg(name));
    return *parsed;
}

[[noreturn]] void raiseNotFound(const QString& description, const QString& name) {
    Raise(err::NotFound, description.arg(name));
}

// The file is UTF-8 text: a name in other bytes names nothing in it, and a text in other
// bytes (a program installed below a folder so named) would read back as another text.
bool isUtf8(const std::string& bytes) {
    return QByteArrayView(bytes).isValidUtf8();
}

// The program's one way to change the registry: the menu entries follow each committed change.
void change(const std::function<void(reg::Key&)>& edit) {
    registry::update(edit, filemanagers::afterChange);
}
} // namespace

void ShellObject::RegWrite(const std::string& name, const std::string& text) {
    const reg::Name target = nameOrRaise(QString::fromUtf8(name));
    const std::string data = text.substr(0, text.find('\0'));
    if (!isUtf8(name) || !isUtf8(data))
        Raise(err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    change([&](reg::Key& machine) {
        reg::createKey(machine, target.keyPath).setValue(target.valueName, QString::fromUtf8(data));
    });
}

std::string ShellObject::RegRead(const std::string& name) {
    const QString key = QString::fromUtf8(name);
    const reg::Name target = nameOrRaise(key);
    const reg::Key machine = registry::load();
    const reg::Key* found = isUtf8(name) ? reg::findKey(machine, target.keyPath) : nullptr;
    const reg::Value* value = found ? found->value(target.valueName) : nullptr;
    if (!value)
        raiseNotFound(QStringLiteral("Unable to open registry key \"%1\" for reading."), key);
    return value->data.toStdString();
}

void ShellObject::RegDelete(const std::string& name) {
    const QString path = QString::fromUtf8(name);
    const reg::Name target = nameOrRaise(path);
    const QString unable = QStringLiteral("Unable to remove registry key \"%1\".");
    change([&](reg::Key& machine) {
        if (!isUtf8(name))
            raiseNotFound(unable, path);
        if (!target.valueName.isEmpty()) {
            reg::Key* key = reg::findKey(machine, target.keyPath);
            if (!key || !key->removeValue(target.valueName))
                raiseNotFound(unable, path);
            return;
        }
        if (target.keyPath.isEmpty())
            Raise(err::AccessDenied, unable.arg(path));
        const QStringList parentPath = target.keyPath.first(target.keyPath.size() - 1);
        reg::Key* parent = reg::findKey(machine, parentPath);
        const reg::Key* key = parent ? parent->subkey(target.keyPath.last()) : nullptr;
        if (!key)
            raiseNotFound(unable, path);
        if (!key->subkeys.empty())
            Raise(err::AccessDenied, unable.arg(path));
        parent->removeSubkey(key->name);
    });
}

std::unique_ptr<ShellObject> ObjectFactory::create(const std::string& progId) {
    const QString name = QString::fromUtf8(progId);
    if (name.compare(QStringLiteral("WScript.Shell"), Qt::CaseInsensitive) != 0)
        Raise(err::CannotCreateObject, QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<ShellObject>();
}

std::unique_ptr<ShellObject> CreateObject(const std::string& progId) {
    return use<ObjectFactory>(realFactory).create(progId);
}

} // namespace platform
