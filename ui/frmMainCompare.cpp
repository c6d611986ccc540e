// The main window's handlers of the collection and comparison runs.
#include "ui/frmMain.h"

#include "collect/CollectionRun.h"
#include "collect/window/CompareWindowView.h"
#include "collect/window/LowerPanel.h"
#include "compare/CompareRun.h"
#include "widgets/CheckValue.h"
#include "widgets/ListChoiceComboBox.h"
#include "widgets/NameText.h"

#include <QCheckBox>
#include <QComboBox>

namespace darv {

CompareOptions frmMain::currentOptions() const
{
    CompareOptions options;
    options.timeCheck = checkValue(m_panel->chkOpt[0]) == 1;
    options.handleCheck = checkValue(m_panel->chkOpt[1]) == 1;
    options.ageCheck = checkValue(m_panel->chkOpt[2]) == 1;
    options.entity = m_panel->cmbEntity->currentText().toStdString();
    options.percent = m_panel->cmbPercent->currentText().toStdString();
    options.age = m_panel->cmbdate->currentText().toStdString();
    return options;
}

void frmMain::cmdCompare_Click()
{
    if (refuseProject())
        return;
    m_compareRun->recompare(m_installLoc, nameBytes(selectedProject()), locationEntries(), currentOptions());
    m_compareView->flush();
}

void frmMain::cmdCollect_Click()
{
    if (refuseProject())
        return;
    if (m_collectionRun)
        m_collectionRun->collect(m_installLoc, nameBytes(selectedProject()), locationEntries(), currentOptions());
    m_compareView->flush();
}

} // namespace darv
