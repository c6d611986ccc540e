// The Locations page: the location list with its buttons, and the drive and folder lists.
#include "projects/window/LocationsPage.h"

#include "projects/window/FolderList.h"
#include "widgets/Layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace darv {

LocationsPage::LocationsPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frmLocations"));
    setFrameShape(QFrame::NoFrame);
    lblProject0 = place(new QLabel(tr("Project:"), this), "lblProject(0)", 0, 8, 225, 17);
    lblProject0->setFont(arialFont(8.25));
    setTextColour(lblProject0, colours::darkBlue);
    lstLocations = place(new QListWidget(this), "lstLocations", 0, 24, 225, 108);
    lstLocations->setMouseTracking(true);
    Label3 = place(new QLabel(tr("+ denotes sub-folder search"), this), "Label3", 0, 133, 225, 17);
    Label3->setFont(arialFont(6.75));
    cmdAddloc = place(new QPushButton(tr("Add"), this), "cmdAddloc", 0, 152, 73, 25);
    cmdRemloc = place(new QPushButton(tr("Remove"), this), "cmdRemloc", 80, 152, 73, 25);
    cmdJump = place(new QPushButton(tr("Jump To ->"), this), "cmdJump", 160, 152, 65, 25);
    // In the free space beside the sub-folder note, under the location list.
    cmdImport = place(new QPushButton(tr("Import submissions..."), this), "cmdImport", 121, 133, 104, 18);
    cmdImport->setFont(arialFont(6.75));
    cmdImport->setToolTip(tr("Unpack a download of the students' submissions (Moodle, Canvas or a plain ZIP, 7z, "
                             "tar.gz or tar.xz) into one folder per student and add it as a location"));
    cmdAddloc->setEnabled(false);
    cmdRemloc->setEnabled(false);
    cmdJump->setEnabled(false);
    cmdImport->setEnabled(false);
    drvMain = place(new QComboBox(this), "drvMain", 232, 8, 225, 21);
    dirMain = place(new FolderList(this), "dirMain", 232, 32, 225, 126);
    chkSub0 = place(new QCheckBox(tr("Include sub-folders (one level only)"), this), "chkSub(0)", 232, 160, 225, 17);
}

} // namespace darv
