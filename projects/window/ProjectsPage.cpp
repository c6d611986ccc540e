// The Projects page: the project list, the name box and its two buttons.
#include "projects/window/ProjectsPage.h"

#include "widgets/Layout.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace darv {

ProjectsPage::ProjectsPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frmProjects"));
    setFrameShape(QFrame::NoFrame);
    lstProjects = place(new QListWidget(this), "lstProjects", 0, 8, 457, 134);
    lstProjects->setMouseTracking(true);
    txtProject = place(new QLineEdit(this), "txtProject", 0, 152, 145, 23);
    cmdAddproj = place(new QPushButton(tr("Add"), this), "cmdAddproj", 152, 152, 33, 25);
    cmdRemproj = place(new QPushButton(tr("Remove project"), this), "cmdRemproj", 312, 152, 145, 25);
    cmdRemproj->setEnabled(false);
}

} // namespace darv
