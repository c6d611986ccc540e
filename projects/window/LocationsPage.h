// The Locations page: the location list with its buttons, and the drive and folder lists.
#pragma once

#include <QFrame>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace darv {

class FolderList;

class LocationsPage : public QFrame
{
    Q_OBJECT
public:
    explicit LocationsPage(QWidget* parent = nullptr);

    QLabel* lblProject0;
    QListWidget* lstLocations;
    QLabel* Label3;
    QPushButton* cmdAddloc;
    QPushButton* cmdRemloc;
    QPushButton* cmdJump;
    QPushButton* cmdImport;
    QComboBox* drvMain;
    FolderList* dirMain;
    QCheckBox* chkSub0;
};

} // namespace darv
