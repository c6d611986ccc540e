// Everything the main window shows of a comparison run, as the run tells it; the window and the console both implement
// it.
#pragma once

#include "base/Messages.h"
#include "compare/CompareObserver.h"

#include <cstdint>
#include <string>

namespace darv {

enum class CounterLabel { Files, Time, Handle, Age };
enum class Picture { Logo, Check, Wrong }; // darvlogo.jpg, darvcheck.jpg, darvwrong.jpg
enum class Verdict {
    NoDarv,
    Darv,
    None, // a stopped run: no verdict at all, the label is empty
};

inline constexpr const char* kVerdictNoDarvText = "NO DARV's";
inline constexpr const char* kVerdictDarvText = "DARV!!!";
inline constexpr unsigned kVerdictNoDarvColour = 0x800080; // purple, as 0x00BBGGRR
inline constexpr unsigned kVerdictDarvColour = 0x0000FF;   // red, as 0x00BBGGRR

class CompareView
{
public:
    virtual ~CompareView() = default;

    // lblStatus; repainted at once.
    virtual void setStatusText(const std::string& text) = 0;
    // lblStatus during the handle check, for every pair: "Comparing  i vs.  j". A window may keep the
    // numbers and format them only when it repaints.
    virtual void setPairStatus(std::int64_t first, std::int64_t second) { setStatusText(comparingText(first, second)); }
    // lblStatus while the handle lists are indexed: "Indexing  i of  n"; called often, like setPairStatus.
    virtual void setIndexStatus(std::int64_t step, std::int64_t steps) { setStatusText(indexingText(step, steps)); }
    // lblTime: empty, or "Elapsed Time: hh:mm:ss". Called only when the text changes.
    virtual void setElapsedText(const std::string& text) = 0;
    // lblTotalFiles, lblTotConflicts, lblTotEntityConflicts, lblTotDateConflicts, as "0000" texts.
    virtual void setCounterText(CounterLabel label, const std::string& text) = 0;
    // Picture1; path is the picture file under the resources folder.
    virtual void showPicture(Picture picture, const std::string& path) = 0;
    // lblDARVd: "NO DARV's" in purple, "DARV!!!" in red, or empty.
    virtual void setVerdict(Verdict verdict) = 0;
    // Starts the alert sound without waiting for it; false when it could not start (then there is no sound).
    virtual bool playAlertSound(const std::string& wavPath) = 0;
    virtual void showMessage(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    // Clears "Time Matches" (chkOpt(0) = 0), which runs the options panel's own click behaviour.
    virtual void clearTimeOption() = 0;
    // Disables "Recompare...".
    virtual void disableRecompare() = 0;
};

} // namespace darv
