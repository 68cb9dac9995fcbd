#include "platform/registry/shellobject.h"

#include "platform/explorer/filemanagers.h"
#include "platform/registry/registry.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/seam.h"

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

// The program's one way to change the registry: the menu entries follow each committed change.
void change(const std::function<void(reg::Key&)>& edit) {
    registry::update(edit, filemanagers::afterChange);
}
} // namespace

void ShellObject::RegWrite(const QString& name, const QString& text) {
    const reg::Name target = nameOrRaise(name);
    const QString data = text.section(QChar(0), 0, 0);
    // The file is UTF-8 text: a name in another encoding (a program installed below such a
    // folder) would read back as another name.
    if (!name.isValidUtf16() || !data.isValidUtf16())
        Raise(err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    change([&](reg::Key& machine) {
        reg::createKey(machine, target.keyPath).setValue(target.valueName, data);
    });
}

QString ShellObject::RegRead(const QString& name) {
    const reg::Name target = nameOrRaise(name);
    const reg::Key machine = registry::load();
    const reg::Key* key = reg::findKey(machine, target.keyPath);
    const reg::Value* value = key ? key->value(target.valueName) : nullptr;
    if (!value)
        raiseNotFound(QStringLiteral("Unable to open registry key \"%1\" for reading."), name);
    return value->data;
}

void ShellObject::RegDelete(const QString& name) {
    const reg::Name target = nameOrRaise(name);
    const QString unable = QStringLiteral("Unable to remove registry key \"%1\".");
    change([&](reg::Key& machine) {
        if (!target.valueName.isEmpty()) {
            reg::Key* key = reg::findKey(machine, target.keyPath);
            if (!key || !key->removeValue(target.valueName))
                raiseNotFound(unable, name);
            return;
        }
        if (target.keyPath.isEmpty())
            Raise(err::AccessDenied, unable.arg(name));
        const QStringList parentPath = target.keyPath.first(target.keyPath.size() - 1);
        reg::Key* parent = reg::findKey(machine, parentPath);
        const reg::Key* key = parent ? parent->subkey(target.keyPath.last()) : nullptr;
        if (!key)
            raiseNotFound(unable, name);
        if (!key->subkeys.empty())
            Raise(err::AccessDenied, unable.arg(name));
        parent->removeSubkey(key->name);
    });
}

std::unique_ptr<ShellObject> ObjectFactory::create(const QString& progId) {
    if (progId.compare(QStringLiteral("WScript.Shell"), Qt::CaseInsensitive) != 0)
        Raise(err::CannotCreateObject, QStringLiteral("ActiveX component can't create object"));
    return std::make_unique<ShellObject>();
}

std::unique_ptr<ShellObject> CreateObject(const QString& progId) {
    return use<ObjectFactory>(realFactory).create(progId);
}

} // namespace platform
