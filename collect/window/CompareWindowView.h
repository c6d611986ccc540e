// The main window's side of a collection or comparison run: it shows what the run reports. Labels take
// every change, but the window repaints at most every 50 ms, so a run over many pairs is not slowed
// down by painting it cannot show anyway.
#pragma once

#include "collect/CollectView.h"

#include <QElapsedTimer>

#include <cstdint>
#include <functional>

class QLabel;

namespace darv {

class LowerPanel;
class Messages;
class SoundPlayer;

class CompareWindowView : public CollectView
{
public:
    CompareWindowView(LowerPanel* panel, Messages& messages, SoundPlayer& sound, std::function<void()> endApplication);

    void setStatusText(const std::string& text) override;
    void setPairStatus(std::int64_t first, std::int64_t second) override;
    void setIndexStatus(std::int64_t step, std::int64_t steps) override;
    void setElapsedText(const std::string& text) override;
    void setCounterText(CounterLabel label, const std::string& text) override;
    void showPicture(Picture picture, const std::string& path) override;
    void setVerdict(Verdict verdict) override;
    bool playAlertSound(const std::string& wavPath) override;
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override;
    void clearTimeOption() override;
    void disableRecompare() override;
    void setProgress(double percent) override;
    void setLocationText(const std::string& text) override;
    void setSubfolderText(const std::string& text) override;
    void setFileText(const std::string& text) override;
    void enableRecompare() override;
    void endApplication() override;

    // Shows what is still pending at once; called when a run ends.
    void flush();

    // How many times the status and time labels were repainted (for the benchmark).
    std::int64_t repaints() const { return m_repaints; }

private:
    void repaintSoon(bool force);

    LowerPanel* m_panel;
    Messages& m_messages;
    SoundPlayer& m_sound;
    std::function<void()> m_endApplication;
    QElapsedTimer m_sinceRepaint;
    bool m_pairPending = false;
    std::int64_t m_pairFirst = 0;
    std::int64_t m_pairSecond = 0;
    bool m_indexPending = false;
    std::int64_t m_indexStep = 0;
    std::int64_t m_indexSteps = 0;
    std::int64_t m_repaints = 0;
};

} // namespace darv
