// The folder list: the current folder with the folders above it, then its sub-folders to open.
#pragma once

#include <QListWidget>

namespace darv {

class FolderList : public QListWidget
{
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Shows the folder; false (and nothing changed) when it does not exist or cannot be listed.
    bool setPath(const QString& folder);
    // Lists the current folder again.
    void refresh();

signals:
    void pathChanged(const QString& folder);

private:
    void openItem(QListWidgetItem* item);

    QString m_path;
};

} // namespace darv
