// The window's panel on a console: the command line's view of a collection or comparison run.
#pragma once

#include "collect/CollectView.h"

#include <array>
#include <ostream>
#include <string>

namespace darv {

// Remembers the labels and prints them at the end; messages go to the error stream at once.
class ConsoleView : public CollectView
{
public:
    explicit ConsoleView(std::ostream& err) : m_err(err) {}

    void setStatusText(const std::string& text) override { m_status = text; }
    void setPairStatus(std::int64_t, std::int64_t) override {} // nobody watches a console per pair
    void setIndexStatus(std::int64_t, std::int64_t) override {}
    void setElapsedText(const std::string& text) override { m_elapsed = text; }
    void setCounterText(CounterLabel label, const std::string& text) override
    {
        m_counters[static_cast<std::size_t>(label)] = text;
    }
    void showPicture(Picture, const std::string&) override {}
    void setVerdict(Verdict verdict) override { m_verdict = verdict; }
    bool playAlertSound(const std::string&) override { return false; }
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    void clearTimeOption() override {}
    void disableRecompare() override {}
    void setProgress(double) override {}
    void setLocationText(const std::string&) override {}
    void setSubfolderText(const std::string&) override {}
    void setFileText(const std::string&) override {}
    void enableRecompare() override {}
    void endApplication() override { m_ended = true; }

    // The counters, the status line, the elapsed time and the verdict, one a line.
    void print(std::ostream& out) const;
    bool ended() const { return m_ended; }

private:
    std::ostream& m_err;
    std::string m_status;
    std::string m_elapsed;
    std::array<std::string, 4> m_counters = {"0000", "0000", "0000", "0000"};
    Verdict m_verdict = Verdict::None;
    bool m_ended = false;
};

} // namespace darv
