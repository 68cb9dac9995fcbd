#include "platform/registry/shellobject.h"

#include "platform/registry/registry.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

#include <QString>

namespace platform {

namespace {
ObjectFactory realFactory;

// The registry file is UTF-8 text: a name or value in another encoding (a program installed
// below such a folder) would read back as another one.
QString utf8OrRaise(const std::string& text) {
    const QString decoded = QString::fromUtf8(text);
    if (decoded.toUtf8().toStdString() != text)
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument");
    return decoded;
}

reg::Name nameOrRaise(const std::string& name) {
    const auto parsed = reg::parseName(QString::fromUtf8(name));
    if (!parsed)
        Raise(err::NotFound, "Invalid root in registry key \"" + name + "\".");
    return *parsed;
}

} // namespace

void ShellObject::RegWrite(const std::string& name, const std::string& text) {
    const reg::Name target = nameOrRaise(name);
    utf8OrRaise(name);
    const QString data = utf8OrRaise(text.substr(0, text.find('\0')));
    registry::update([&](reg::Key& machine) {
        reg::createKey(machine, target.keyPath).setValue(target.valueName, data);
    });
}

std::string ShellObject::RegRead(const std::string& name) {
    const reg::Name target = nameOrRaise(name);
    const reg::Key machine = registry::load();
    const reg::Key* key = reg::findKey(machine, target.keyPath);
    const reg::Value* value = key ? key->value(target.valueName) : nullptr;
    if (!value)
        Raise(err::NotFound, "Unable to open registry key \"" + name + "\" for reading.");
    return value->data.toUtf8().toStdString();
}

void ShellObject::RegDelete(const std::string& name) {
    const reg::Name target = nameOrRaise(name);
    const std::string unable = "Unable to remove registry key \"" + name + "\".";
    registry::update([&](reg::Key& machine) {
        if (!target.valueName.isEmpty()) {
            reg::Key* key = reg::findKey(machine, target.keyPath);
            if (!key || !key->removeValue(target.valueName))
                Raise(err::NotFound, unable);
            return;
        }
        if (target.keyPath.isEmpty())
            Raise(err::AccessDenied, unable);
        const QStringList parentPath = target.keyPath.first(target.keyPath.size() - 1);
        reg::Key* parent = reg::findKey(machine, parentPath);
        const reg::Key* key = parent ? parent->subkey(target.keyPath.last()) : nullptr;
        if (!key)
            Raise(err::NotFound, unable);
        if (!key->subkeys.empty())
            Raise(err::AccessDenied, unable);
        parent->removeSubkey(key->name);
    });
}

std::unique_ptr<ShellObject> ObjectFactory::create(const std::string& progId) {
    if (QString::fromUtf8(progId).compare(QStringLiteral("WScript.Shell"), Qt::CaseInsensitive) != 0)
        Raise(err::CannotCreateObject, "ActiveX component can't create object");
    return std::make_unique<ShellObject>();
}

std::unique_ptr<ShellObject> CreateObject(const std::string& progId) {
    return use<ObjectFactory>(realFactory).create(progId);
}

} // namespace platform
