// The folder list: the current folder with the folders above it, then its sub-folders to open.
#include "projects/window/FolderList.h"

#include "projects/FolderListing.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace darv {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;

QStringList ancestorsOf(const QString& folder)
{
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());
    return chain;
}

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this, &FolderList::openItem);
}

bool FolderList::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable())
        return false;
    const auto subfolders = listSubfolders(QDir::cleanPath(info.absoluteFilePath()).toStdString());
    if (!subfolders)
        return false;
    m_path = QDir::cleanPath(info.absoluteFilePath());
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = ancestorsOf(m_path);
    int depth = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& level : chain) {
        const QString name = level == QStringLiteral("/") ? level : QFileInfo(level).fileName();
        auto* item = new QListWidgetItem(openIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, level);
        current = item;
        ++depth;
    }
    for (const std::string& sub : *subfolders) {
        const QString name = QString::fromStdString(sub);
        auto* item = new QListWidgetItem(closedIcon, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(kPathRole, QString::fromStdString(joinPath(m_path.toStdString(), sub)));
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
