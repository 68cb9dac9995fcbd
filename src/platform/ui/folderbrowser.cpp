#include "platform/ui/folderbrowser.h"

#include "platform/textbridge.h"
#include "runtime/text.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace platform {

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int ListedRole = Qt::UserRole + 1;

// The kernel writes a space, tab, newline or backslash in a mount point as "\ooo".
std::string unescaped(const std::string& field) {
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const std::string code = field.substr(i + 1, 3);
        if (field[i] == '\\' && code.size() == 3 &&
            code.find_first_not_of("01234567") == std::string::npos) {
            bytes += static_cast<char>(std::stoi(code, nullptr, 8));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return bytes;
}

// Folders other than the root where a block device is mounted, with their devices. Read as
// bytes, as HOME is: Qt decodes a name that is not UTF-8 lossily, and the item would name a
// look-alike folder or none.
std::vector<std::pair<std::string, std::string>> blockDeviceMounts() {
    std::vector<std::pair<std::string, std::string>> mounts;
    std::ifstream info("/proc/self/mountinfo");
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string skipped, point, device;
        fields >> skipped >> skipped >> skipped >> skipped >> point;
        while (fields >> skipped && skipped != "-")
            ;
        fields >> skipped >> device;
        point = unescaped(point);
        device = unescaped(device);
        struct stat st {};
        if (device.starts_with("/dev/") && point != "/" && ::stat(point.c_str(), &st) == 0 &&
            S_ISDIR(st.st_mode))
            mounts.emplace_back(device, point);
    }
    return mounts;
}

QString homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? QDir::cleanPath(fromBytes(home)) : QStringLiteral("/");
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
    addPlace(tr("Home"), homeFolder());
    addPlace(tr("File System"), QStringLiteral("/"));
    QHash<QByteArray, QString> labels; // by device
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        labels.insert(volume.device(), volume.name());
    for (const auto& [device, point] : blockDeviceMounts()) {
        const QString label = labels.value(QByteArray::fromStdString(device));
        addPlace(label.isEmpty() ? QFile::decodeName(point.c_str()) : label, fromBytes(point));
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
    if (DIR* dir = ::opendir(toBytes(folder).c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            struct stat st {};
            if (entry->d_name[0] != '.' && ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 &&
                S_ISDIR(st.st_mode))
                subfolders.emplace_back(QFile::decodeName(entry->d_name),
                                        fromBytes(withSeparator(toBytes(folder)) + entry->d_name));
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
