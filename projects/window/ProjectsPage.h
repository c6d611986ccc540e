// The Projects page: the project list, the name box and its two buttons.
#pragma once

#include <QFrame>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace darv {

class ProjectsPage : public QFrame
{
    Q_OBJECT
public:
    explicit ProjectsPage(QWidget* parent = nullptr);

    QListWidget* lstProjects;
    QLineEdit* txtProject;
    QPushButton* cmdAddproj;
    QPushButton* cmdRemproj;
};

} // namespace darv
