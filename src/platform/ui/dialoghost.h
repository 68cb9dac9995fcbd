#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QWidget;

// The dialogs behind GetOpenFileNameA and SHBrowseForFolder, as Qt shows them.
namespace platform {

// One entry of a file dialog's type list: its label and the patterns it matches.
struct FileFilter {
    QString label;
    QStringList patterns; // wildcards as Qt reads them: "*" matches every name
};

// Reads a NUL-separated filter list. "*.*" matches every file, names without a dot included.
std::vector<FileFilter> parseFilterList(const QString& list);

// Who shows the dialogs: the real ones, or scripted stand-ins in tests. Qt names a file that is
// not UTF-8 lossily; the dialog calls resolve such a name to the one file it stands for.
class DialogHost {
public:
    struct OpenFileRequest {
        QWidget* owner;
        QString title;
        QString initialDir;
        std::vector<FileFilter> filters;
        int selectedFilter; // index into filters
    };

    virtual ~DialogHost() = default;
    // One existing file: its full path, or nothing after a cancel.
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
    // The confirmed item's path (empty when it has none), or nothing after a cancel.
    virtual std::optional<QString> browseForFolder(QWidget* owner, const QString& title) = 0;
};

} // namespace platform
