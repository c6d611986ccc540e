// Helpers of the comparison tests: temporary folders, file contents, and recorders for what a run reports.
#pragma once

#include "compare/CompareClock.h"
#include "compare/CompareObserver.h"
#include "compare/CompareView.h"
#include "support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace darv::test {

// The bytes of a report or data file holding these lines: each quoted and ended by CR LF.
inline std::string quotedLines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\"" + line + "\"\r\n";
    return text;
}

class RecordingObserver : public CompareObserver
{
public:
    void statusChanged(const std::string& text) override { statuses.push_back(text); }
    void counterChanged(ConflictCounter counter, std::int64_t value) override { counters.push_back({counter, value}); }
    void showElapsed() override { ++elapsedCalls; }
    void conflictAlert() override { ++alerts; }

    std::vector<std::string> statuses;
    std::vector<std::pair<ConflictCounter, std::int64_t>> counters;
    std::int64_t elapsedCalls = 0;
    int alerts = 0;
};

// Records every call of a run as one text, in order.
class RecordingView : public CompareView
{
public:
    void setStatusText(const std::string& text) override
    {
        status = text;
        events.push_back("status " + text);
    }
    void setElapsedText(const std::string& text) override
    {
        elapsed = text;
        events.push_back("elapsed " + text);
    }
    void setCounterText(CounterLabel label, const std::string& text) override
    {
        static const char* names[] = {"files", "time", "handle", "age"};
        counters[static_cast<std::size_t>(label)] = text;
        events.push_back(std::string("counter ") + names[static_cast<std::size_t>(label)] + " " + text);
    }
    void showPicture(Picture shown, const std::string& path) override
    {
        picture = shown;
        picturePath = path;
        events.push_back("picture " + path);
    }
    void setVerdict(Verdict shown) override
    {
        verdict = shown;
        events.push_back(shown == Verdict::Darv   ? "verdict DARV!!!"
                         : shown == Verdict::None ? "verdict none"
                                                  : "verdict NO DARV's");
    }
    bool playAlertSound(const std::string& path) override
    {
        ++sounds;
        events.push_back("sound " + path);
        return false;
    }
    void showMessage(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        messages.push_back({icon, title, text});
        events.push_back("message " + title);
    }
    void clearTimeOption() override { events.push_back("clear time option"); }
    void disableRecompare() override { events.push_back("disable recompare"); }

    struct Message
    {
        MessageIcon icon;
        std::string title;
        std::string text;
    };
    std::vector<std::string> events;
    std::vector<Message> messages;
    std::string status = "(none)";
    std::string elapsed = "(none)";
    std::string counters[4] = {"(none)", "(none)", "(none)", "(none)"};
    std::string picturePath;
    Picture picture = Picture::Logo;
    Verdict verdict = Verdict::NoDarv;
    int sounds = 0;
};

// A clock that stands still unless a test moves it; each reading may advance it by a step.
class FakeClock : public CompareClock
{
public:
    std::int64_t nowSeconds() override
    {
        const std::int64_t now = seconds;
        seconds += step;
        return now;
    }
    YearMonth today() override { return todayValue; }

    std::int64_t seconds = 1'000'000;
    std::int64_t step = 0;
    YearMonth todayValue{2007, 9};
};

} // namespace darv::test
