// The main window's two help buttons: each opens its window, made on first use and kept, and
// reloads its text on every press.
#include "ui/HelpWindows.h"

#include "base/DataFolder.h"
#include "ui/HelpWindow.h"
#include "ui/WhatNextWindow.h"
#include "widgets/ScreenPlacement.h"

namespace darv {

namespace {
// Shown without blocking: the main window stays usable beside it.
void bringUp(QWidget* window)
{
    if (!window->isVisible()) {
        fitToScreen(window);
        placeOnScreen(window, false);
    }
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

HelpWindows::HelpWindows(QWidget* owner, std::function<std::string()> installLoc, Messages& messages)
    : QObject(owner), m_owner(owner), m_installLoc(std::move(installLoc)), m_messages(messages)
{}

void HelpWindows::cmdHelp_Click()
{
    if (!m_help)
        m_help = new frmHelp(m_owner);
    bringUp(m_help);
    m_help->loadHelp(QString::fromStdString(resourcePath(m_installLoc(), "Darv2007.rtf")));
}

void HelpWindows::cmdWhatnext_Click()
{
    if (!m_whatNext)
        m_whatNext = new WhatNext(m_installLoc, m_messages, m_owner);
    bringUp(m_whatNext);
    m_whatNext->form2load(QStringLiteral("WhatNext"));
}

} // namespace darv
