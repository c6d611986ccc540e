// The folder list: the current folder with the folders above it, then its sub-folders to open.
#include "projects/window/FolderList.h"

#include "projects/FolderListing.h"
#include "widgets/NameText.h"

#include <QApplication>
#include <QStyle>

#include <filesystem>
#include <system_error>

namespace darv {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// The folder as an absolute path without "." or ".." parts and without a trailing "/" (but "/"
// itself), worked out on the bytes the file system holds.
std::string cleanFolder(const std::string& folder)
{
    std::error_code ec;
    std::string clean = std::filesystem::absolute(folder, ec).lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean;
}

// The folder and every folder above it, from "/" down.
std::vector<std::string> ancestorsOf(const std::string& folder)
{
    std::vector<std::string> chain;
    std::filesystem::path level(folder);
    while (true) {
        chain.insert(chain.begin(), level.string());
        if (!level.has_relative_path())
            break;
        level = level.parent_path();
    }
    return chain;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &FolderList::openItem);
}

bool FolderList::setPath(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const std::string path = cleanFolder(nameBytes(folder));
    std::error_code ec;
    if (!std::filesystem::is_directory(path, ec))
        return false;
    const auto subfolders = listSubfolders(path);
    if (!subfolders)
        return false;
    m_path = nameText(path);
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const std::string& level : ancestorsOf(path)) {
        const std::string name = level == "/" ? level : std::filesystem::path(level).filename().string();
        auto* item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + nameText(name), this);
        item->setData(kPathRole, nameText(level));
        current = item;
        ++depth;
    }
    for (const std::string& sub : *subfolders) {
        auto* item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + nameText(sub), this);
        item->setData(kPathRole, nameText(joinPath(path, sub)));
    }
    setCurrentItem(current);
    emit pathChanged(m_path);
    return true;
}

void FolderList::refresh()
{
    setPath(m_path);
}

void FolderList::openItem(QListWidgetItem* item)
{
    if (item)
        setPath(item->data(kPathRole).toString());
}

} // namespace darv
