#include "platform/ui/dialogs.h"

#include "platform/textbridge.h"
#include "platform/ui/dialoghost.h"
#include "platform/ui/folderbrowser.h"
#include "platform/ui/qtwindow.h"
#include "runtime/buffers.h"
#include "runtime/errors.h"
#include "runtime/seam.h"
#include "runtime/text.h"

#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <dirent.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace platform {

namespace {
// Qt's dialog decodes a name that is not UTF-8 lossily (each undecodable byte shows as U+FFFD),
// so such a name may stand for more than one file. The bytes of the one file that each such
// name stands for; nothing when there is none, or more than one.
std::optional<std::string> chosenFileBytes(const QString& chosen) {
    if (!chosen.contains(QChar::ReplacementCharacter))
        return toBytes(chosen);
    std::string path;
    const QStringList parts = chosen.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        if (!parts[i].contains(QChar::ReplacementCharacter)) {
            const std::string part = toBytes(parts[i]);
            if (part.empty() != parts[i].isEmpty())
                return std::nullopt;
            path += part;
            continue;
        }
        std::vector<std::string> matches;
        if (DIR* dir = ::opendir(path.empty() ? "." : path.c_str())) {
            while (const dirent* entry = ::readdir(dir))
                if (QFile::decodeName(entry->d_name) == parts[i])
                    matches.emplace_back(entry->d_name);
            ::closedir(dir);
        }
        if (matches.size() != 1)
            return std::nullopt;
        path += matches.front();
    }
    return path;
}

// Qt checks that the chosen file exists by that lossy name, and so would refuse a file whose
// name is not UTF-8: the same reading as the result's decides instead.
class OpenFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && chosen[0].contains(QChar::ReplacementCharacter)) {
            const std::optional<std::string> path = chosenFileBytes(chosen[0]);
            struct stat st {};
            if (path && ::stat(path->c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                return QDialog::accept();
        }
        QFileDialog::accept();
    }
};

class QtDialogs final : public DialogHost {
public:
    std::optional<QString> openFile(const OpenFileRequest& request) override {
        // Qt can name only a folder whose name is UTF-8: the nearest such one above, otherwise.
        QString initialDir = request.initialDir;
        while (!initialDir.isValidUtf16())
            initialDir = QFileInfo(initialDir).path();
        OpenFileDialog dialog(request.owner, request.title, initialDir);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);

        QStringList labels;
        for (const FileFilter& filter : request.filters)
            labels << filter.label;
        dialog.setNameFilters(labels);
        // Qt reads a label's "(…)" as its patterns, and "*.*" literally; the list's own
        // patterns decide what is shown instead.
        auto* model = dialog.findChild<QFileSystemModel*>();
        const auto usePatternsOf = [&](qsizetype index) {
            if (model && index >= 0 && index < qsizetype(request.filters.size()))
                model->setNameFilters(request.filters[std::size_t(index)].patterns);
        };
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString& label) { usePatternsOf(labels.indexOf(label)); });
        dialog.selectNameFilter(labels.value(request.selectedFilter));
        usePatternsOf(request.selectedFilter);

        // Modal to its owner alone, so that a folder browser stays usable; without an owner,
        // modal to the whole program.
        dialog.setWindowModality(request.owner ? Qt::WindowModal : Qt::ApplicationModal);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QString> browseForFolder(QWidget* owner, const QString& title) override {
        FolderBrowser browser(owner, title);
        // exec() would block every other window: show it and wait in a loop of our own.
        // A browser opened meanwhile runs its loop inside this one and so returns first.
        QEventLoop loop;
        QObject::connect(&browser, &QDialog::finished, &loop, &QEventLoop::quit);
        browser.show();
        loop.exec();
        if (browser.result() != QDialog::Accepted)
            return std::nullopt;
        return browser.chosenPath();
    }
};

QtDialogs realHost;

} // namespace

std::vector<FileFilter> parseFilterList(const QString& list) {
    std::vector<FileFilter> filters;
    const QStringList parts = list.split(QChar(0));
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString p = fromBytes(Trim(toBytes(pattern)));
            patterns << (p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
        }
        filters.push_back({parts[i], patterns});
    }
    return filters;
}

int GetOpenFileNameA(OPENFILENAME& ofn) {
    if (ofn.nMaxFile > ofn.lpstrFile.size() || ofn.nMaxFileTitle > ofn.lpstrFileTitle.size())
        Raise(err::InvalidProcedureCall, "Invalid procedure call or argument");
    const std::vector<FileFilter> filters = parseFilterList(fromBytes(ofn.lpstrFilter));
    const int selected =
        ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size() ? int(ofn.nFilterIndex) - 1 : 0;
    const std::optional<QString> chosen =
        use<DialogHost>(realHost).openFile({widget(ofn.hwndOwner), fromBytes(ofn.lpstrTitle),
                                            fromBytes(ofn.lpstrInitialDir), filters, selected});
    if (!chosen)
        return 0;

    // A path that stands for no one file, or does not fit, is a failure of the dialog, as a
    // cancel is.
    const std::optional<std::string> path = chosenFileBytes(*chosen);
    if (!path || path->empty())
        return 0;
    const std::size_t slash = path->rfind('/');
    const std::string name = slash == std::string::npos ? *path : path->substr(slash + 1);
    if (path->size() >= ofn.nMaxFile || (ofn.nMaxFileTitle > 0 && name.size() >= ofn.nMaxFileTitle))
        return 0;
    putTerminated(*path, ofn.lpstrFile, ofn.nMaxFile);
    if (ofn.nMaxFileTitle > 0)
        putTerminated(name, ofn.lpstrFileTitle, ofn.nMaxFileTitle);
    // A folder removed since the choice leaves the current directory where it was.
    if (!(ofn.Flags & OFN_NOCHANGEDIR) && slash != std::string::npos)
        std::ignore = ::chdir(slash == 0 ? "/" : path->substr(0, slash).c_str());
    return 1;
}

LPITEMIDLIST SHBrowseForFolder(const BROWSEINFO& bi) {
    const std::optional<QString> chosen =
        use<DialogHost>(realHost).browseForFolder(widget(bi.hwndOwner), fromBytes(bi.lpszTitle));
    if (!chosen)
        return nullptr;
    return std::make_unique<ITEMIDLIST>(ITEMIDLIST{toBytes(*chosen)});
}

bool SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer) {
    if (!pidl || pidl->path.empty())
        return false;
    return putTerminated(pidl->path, buffer, buffer.size());
}

} // namespace platform
