#pragma once

#include <QDialog>

class QDialogButtonBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {

// The folder browser: the desktop's namespace from its root (home, the file system, mounted
// volumes, and places that have no file-system path), folders listed as they are opened.
class FolderBrowser final : public QDialog {
    Q_OBJECT
public:
    FolderBrowser(QWidget* owner, const QString& title);

    // The selected item's path; empty for a place without one.
    QString chosenPath() const;

private:
    void addPlace(const QString& label, const QString& path);
    void listSubfolders(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    QDialogButtonBox* buttons_;
};

} // namespace platform
