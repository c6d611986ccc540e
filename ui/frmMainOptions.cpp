// The main window's handlers of the report options panel.
#include "ui/frmMain.h"

#include "base/Messages.h"
#include "collect/window/LowerPanel.h"
#include "settings/SettingsFiles.h"
#include "widgets/CheckValue.h"
#include "widgets/ListChoiceComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace darv {

void frmMain::chkOpt_Click()
{
    bool anyOn = false;
    for (const QCheckBox* box : m_panel->chkOpt)
        anyOn = anyOn || checkValue(box) != 0;
    if (!anyOn) {
        m_panel->cmdCollect->setEnabled(false);
        m_panel->cmdCompare->setEnabled(false);
    } else if (hasSelectedProject()) {
        m_panel->cmdCollect->setEnabled(true);
        m_panel->cmdCompare->setEnabled(true);
    }
}

void frmMain::cmbPercent_Click()
{
    m_panel->chkOpt[1]->setText(m_panel->cmbPercent->currentText() == QStringLiteral("100") ? tr("Entities =")
                                                                                            : tr("Entities >"));
}

void frmMain::cmbEntity_Click()
{
    const int index = m_panel->cmbEntity->currentIndex();
    if (index < 0)
        return;
    if (m_panel->cmbEntity->itemText(index) == QStringLiteral("LINE") && isVisible() &&
        checkValue(m_panel->chkLine0) == 1) {
        m_services.messages->show(MessageIcon::Information, "Entity Selection",
                                  "Warning! LINES often result in large quantities,\r"
                                  "therefore comparison times may be lengthy...");
    }
}

void frmMain::chkLine_Click()
{
    if (const FileWrite written = writeSettingFile(warningFilePath(m_installLoc), checkValue(m_panel->chkLine0));
        !written)
        showWriteFailure("The LINE warning setting", written.error().text);
}

} // namespace darv
