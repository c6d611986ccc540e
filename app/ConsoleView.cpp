// The window's panel on a console.
#include "app/ConsoleView.h"

#include "base/TerminalText.h"

namespace darv {

void ConsoleView::showMessage(MessageIcon, const std::string& title, const std::string& text)
{
    m_err << title << ": " << terminalText(text, true) << "\n";
}

void ConsoleView::print(std::ostream& out) const
{
    out << "Files: " << m_counters[0] << "\n"
        << "Time Conflicts: " << m_counters[1] << "\n"
        << "Entity Conflicts: " << m_counters[2] << "\n"
        << "Age Conflicts: " << m_counters[3] << "\n"
        << m_status << "\n";
    if (!m_elapsed.empty())
        out << m_elapsed << "\n";
    // A run that stopped has no verdict to print.
    if (m_verdict != Verdict::None)
        out << (m_verdict == Verdict::Darv ? kVerdictDarvText : kVerdictNoDarvText) << "\n";
}

} // namespace darv
