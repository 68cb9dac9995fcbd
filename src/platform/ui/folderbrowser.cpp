#include "platform/ui/folderbrowser.h"

#include "platform/runtime/text.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace platform {

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int ListedRole = Qt::UserRole + 1;

bool isBlockDeviceVolume(const QStorageInfo& volume) {
    return volume.isValid() && volume.isReady() && !volume.isRoot() &&
           volume.device().startsWith("/dev/") && QFileInfo(volume.rootPath()).isDir();
}
} // namespace

FolderBrowser::FolderBrowser(QWidget* owner, const QString& title)
    : QDialog(owner), tree_(new QTreeWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(title);
    resize(340, 420);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(title, this);
    heading->setTextFormat(Qt::PlainText);
    layout->addWidget(heading);
    layout->addWidget(tree_);
    layout->addWidget(buttons_);

    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    addPlace(tr("Home"), QDir::homePath());
    addPlace(tr("File System"), QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isBlockDeviceVolume(volume))
            addPlace(volume.displayName(), volume.rootPath());
    }
    addPlace(tr("Network"), {});
    addPlace(tr("Trash"), {});

    // Nothing is chosen until the user picks an item.
    QPushButton* ok = buttons_->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(tree_, &QTreeWidget::itemSelectionChanged, ok,
            [this, ok] { ok->setEnabled(!tree_->selectedItems().isEmpty()); });
    connect(tree_, &QTreeWidget::itemExpanded, this, &FolderBrowser::listSubfolders);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString FolderBrowser::chosenPath() const {
    const auto selected = tree_->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(0, PathRole).toString();
}

void FolderBrowser::addPlace(const QString& label, const QString& path) {
    auto* item = new QTreeWidgetItem(tree_, QStringList{label});
    item->setData(0, PathRole, path);
    item->setToolTip(0, path);
    if (!path.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void FolderBrowser::listSubfolders(QTreeWidgetItem* item) {
    if (item->data(0, ListedRole).toBool())
        return;
    item->setData(0, ListedRole, true);
    // Listed by bytes: Qt's listing decodes a name that is not UTF-8 lossily, and its path would
    // name a look-alike folder or none.
    const QString folder = item->data(0, PathRole).toString();
    std::vector<std::pair<QString, QString>> subfolders; // label, path
    if (DIR* dir = ::opendir(toAnsi(folder).c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st {};
            if (entry->d_name[0] != '.' && ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 &&
                S_ISDIR(st.st_mode))
                subfolders.emplace_back(QFile::decodeName(entry->d_name),
                                        withSeparator(folder) + fromAnsi(entry->d_name));
        }
        ::closedir(dir);
    }
    std::sort(subfolders.begin(), subfolders.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [label, path] : subfolders) {
        auto* child = new QTreeWidgetItem(item, QStringList{label});
        child->setData(0, PathRole, path);
        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    if (subfolders.empty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

} // namespace platform
