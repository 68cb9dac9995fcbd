#include "platform/explorer/menuexports.h"

#include "platform/explorer/command.h"
#include "platform/explorer/ownverb.h"

#include <QCryptographicHash>
#include <algorithm>

namespace platform::menuexports {

namespace {
const QString serviceMenus = QStringLiteral("/usr/local/share/kio/servicemenus");
const QString nemoActions = QStringLiteral("/usr/local/share/nemo/actions");
const QString fileManagerActions = QStringLiteral("/usr/local/share/file-manager/actions");

// A value of type string in a desktop entry or key file: backslashes doubled, line breaks and
// tabs escaped, a leading space kept.
QString desktopString(const QString& text) {
    QString escaped;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            escaped += QStringLiteral("\\s");
        else
            escaped += c;
    }
    return escaped;
}

// One argument of a desktop entry's Exec: in double quotes when it holds a reserved character,
// with ", `, $ and \ escaped inside them; a literal % doubled so that it is no field code.
QString desktopArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=");
    const bool quote =
        argument.isEmpty() ||
        std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    QString text;
    for (const QChar c : argument) {
        if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            text += u'\\';
        text += c;
    }
    text.replace(u'%', QStringLiteral("%%"));
    return quote ? u'"' + text + u'"' : text;
}

// One word for GLib's shell parser, which is how Nemo splits its Exec: single quotes keep
// everything literal, and a single quote is ended, escaped and reopened.
QString shellWord(const QString& word) {
    QString quoted = word;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

// Nemo expands its tokens (%F, %f, ...) in Name and Exec alike; "%%" is a literal percent.
QString nemoLiteral(QString text) {
    return text.replace(u'%', QStringLiteral("%%"));
}

// The command of the desktop-entry formats: %f is the chosen file's path.
QString desktopExec(const Verb& verb) {
    return desktopArgument(verb.program) + (verb.takesFile ? QStringLiteral(" %f") : QString());
}

// Nemo's %F is the chosen file's path (its %f is a display name). With Quote=double, Nemo puts
// the path in double quotes and escapes what those would expand.
QString nemoExec(const Verb& verb) {
    return nemoLiteral(shellWord(verb.program)) +
           (verb.takesFile ? QStringLiteral(" %F") : QString());
}

// KConfig expands $VAR in TryExec as in a path; "$$" is a literal dollar there.
QString kdePath(QString path) {
    return path.replace(u'$', QStringLiteral("$$"));
}

// One item of a string list: its separator escaped, the list ended.
QString listItem(const QString& text) {
    return desktopString(text).replace(u';', QStringLiteral("\\;")) + u';';
}

// A layout with %1 for the menu text, %2 for the command and %3 for the condition that shows the
// entry, each already in its format's code.
QByteArray fill(const QString& layout, const QString& text, const QString& exec,
                const QString& shownIf) {
    return layout.arg(desktopString(text), desktopString(exec), shownIf).toUtf8();
}

// Dolphin hides a service menu whose TryExec is missing, Nemo an action whose Dependencies are;
// the FileManager-Actions readers disagree on TryExec, so the package's removal deletes those.
const QString serviceMenuLayout = QStringLiteral("[Desktop Entry]\n"
                                                 "Type=Service\n"
                                                 "TryExec=%3\n"
                                                 "MimeType=all/allfiles;\n"
                                                 "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                                 "X-KDE-MaxNumberOfUrls=1\n"
                                                 "Actions=run;\n"
                                                 "\n"
                                                 "[Desktop Action run]\n"
                                                 "Name=%1\n"
                                                 "Exec=%2\n");

const QString nemoActionLayout = QStringLiteral("[Nemo Action]\n"
                                                "Active=true\n"
                                                "Name=%1\n"
                                                "Exec=%2\n"
                                                "Quote=double\n"
                                                "Selection=s\n"
                                                "Extensions=nodirs;\n"
                                                "Dependencies=%3\n");

const QString fileManagerActionLayout = QStringLiteral("[Desktop Entry]\n"
                                                       "Type=Action\n"
                                                       "Name=%1\n"
                                                       "Profiles=run;\n"
                                                       "\n"
                                                       "[X-Action-Profile run]\n"
                                                       "MimeTypes=all/allfiles;\n"
                                                       "SelectionCount=%3\n"
                                                       "Exec=%2\n");
} // namespace

std::vector<Place> places() {
    return {{serviceMenus, QStringLiteral(".desktop")},
            {nemoActions, QStringLiteral(".nemo_action")},
            {fileManagerActions, QStringLiteral(".desktop")}};
}

QString baseName(const QString& verb) {
    const QByteArray utf8 = verb.toUtf8();
    QString name;
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            name += QLatin1Char(byte);
        else
            name += u'_' + QString::number(c, 16).toUpper().rightJustified(2, u'0');
    }
    // Room for "zintra-", the longest suffix and a temporary file's ending within 255 bytes.
    constexpr qsizetype longest = 200;
    if (name.size() > longest) {
        const QByteArray hash = QCryptographicHash::hash(utf8, QCryptographicHash::Sha256);
        name = name.left(longest - 17) + u'.' + QString::fromLatin1(hash.toHex().left(16));
    }
    return QStringLiteral("zintra-") + name;
}

std::vector<Verb> verbs(const reg::Key& machine) {
    std::vector<Verb> found;
    const reg::Key* shell = reg::findKey(machine, ownverb::shellKey());
    if (!shell)
        return found;
    for (const reg::Key& verb : shell->subkeys) {
        const reg::Key* command = verb.subkey(QStringLiteral("command"));
        const reg::Value* commandLine = command ? command->value({}) : nullptr;
        if (!commandLine || commandLine->data.isEmpty())
            continue;
        // Split as Explorer splits it, so that the menu starts what Explorer would.
        const QStringList argv = explorerCommand(commandLine->data, QStringLiteral("file"));
        if (argv.first().isEmpty())
            continue;
        const reg::Value* text = verb.value({});
        found.push_back({verb.name, text && !text->data.isEmpty() ? text->data : verb.name,
                         commandLine->data, argv.first(), argv.size() > 1});
    }
    return found;
}

std::vector<Export> exports(const std::vector<Verb>& verbs) {
    std::vector<Export> files;
    for (const Verb& verb : verbs) {
        const QString name = baseName(verb.name);
        // Dolphin lists a service menu only when it is executable.
        files.push_back({serviceMenus + u'/' + name + QStringLiteral(".desktop"),
                         fill(serviceMenuLayout, verb.text, desktopExec(verb),
                              desktopString(kdePath(verb.program))),
                         0755});
        files.push_back(
            {nemoActions + u'/' + name + QStringLiteral(".nemo_action"),
             fill(nemoActionLayout, nemoLiteral(verb.text), nemoExec(verb), listItem(verb.program)),
             0644});
        files.push_back({fileManagerActions + u'/' + name + QStringLiteral(".desktop"),
                         fill(fileManagerActionLayout, verb.text, desktopExec(verb),
                              QStringLiteral("=1")), // "=" and the count: exactly one file
                         0644});
    }
    return files;
}

} // namespace platform::menuexports
