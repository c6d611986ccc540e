// The main window's two help buttons: each opens its window, made on first use and kept, and
// reloads its text on every press.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QWidget;

namespace darv {

class Messages;
class WhatNext;
class frmHelp;

class HelpWindows : public QObject
{
    Q_OBJECT
public:
    // The windows belong to owner (the main window) and close with it; installLoc gives the data folder.
    HelpWindows(QWidget* owner, std::function<std::string()> installLoc, Messages& messages);

    void cmdHelp_Click();
    void cmdWhatnext_Click();

    // The windows made so far; null before first use.
    frmHelp* helpWindow() const { return m_help; }
    WhatNext* whatNextWindow() const { return m_whatNext; }

private:
    QWidget* m_owner;
    std::function<std::string()> m_installLoc;
    Messages& m_messages;
    QPointer<frmHelp> m_help;
    QPointer<WhatNext> m_whatNext;
};

} // namespace darv
