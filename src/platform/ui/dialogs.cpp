#include "platform/ui/dialogs.h"

#include "platform/runtime/buffers.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/seam.h"
#include "platform/runtime/text.h"
#include "platform/ui/folderbrowser.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>

namespace platform {

namespace {
class QtDialogs final : public DialogHost {
public:
    std::optional<QString> openFile(const OpenFileRequest& request) override {
        QFileDialog dialog(request.owner, request.title, request.initialDir);
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
            const QString p = Trim(pattern);
            patterns << (p == QStringLiteral("*.*") ? QStringLiteral("*") : p);
        }
        filters.push_back({parts[i], patterns});
    }
    return filters;
}

int GetOpenFileNameA(OPENFILENAME& ofn) {
    if (ofn.nMaxFile > ofn.lpstrFile.size() || ofn.nMaxFileTitle > ofn.lpstrFileTitle.size())
        Raise(err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    const std::vector<FileFilter> filters = parseFilterList(ofn.lpstrFilter);
    const int selected =
        ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size() ? int(ofn.nFilterIndex) - 1 : 0;
    const std::optional<QString> chosen = use<DialogHost>(realHost).openFile(
        {ofn.hwndOwner, ofn.lpstrTitle, ofn.lpstrInitialDir, filters, selected});
    if (!chosen)
        return 0;

    const QFileInfo file(*chosen);
    const std::string path = toAnsi(*chosen);
    const std::string name = toAnsi(file.fileName());
    // A path that does not fit is a failure of the dialog, as a cancel is.
    if (path.size() >= ofn.nMaxFile || (ofn.nMaxFileTitle > 0 && name.size() >= ofn.nMaxFileTitle))
        return 0;
    putTerminated(path, ofn.lpstrFile, ofn.nMaxFile);
    if (ofn.nMaxFileTitle > 0)
        putTerminated(name, ofn.lpstrFileTitle, ofn.nMaxFileTitle);
    // A folder removed since the choice leaves the current directory where it was.
    if (!(ofn.Flags & OFN_NOCHANGEDIR))
        QDir::setCurrent(file.absolutePath());
    return 1;
}

LPITEMIDLIST SHBrowseForFolder(const BROWSEINFO& bi) {
    const std::optional<QString> chosen =
        use<DialogHost>(realHost).browseForFolder(bi.hwndOwner, bi.lpszTitle);
    if (!chosen)
        return nullptr;
    return std::make_unique<ITEMIDLIST>(ITEMIDLIST{*chosen});
}

bool SHGetPathFromIDList(const ITEMIDLIST* pidl, std::string& buffer) {
    if (!pidl || pidl->path.isEmpty())
        return false;
    return putTerminated(toAnsi(pidl->path), buffer, buffer.size());
}

} // namespace platform
