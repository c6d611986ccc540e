// A message box stand-in that records what would have been shown.
#pragma once

#include "base/Messages.h"

#include <string>
#include <vector>

namespace darv::test {

struct ShownMessage
{
    MessageIcon icon;
    std::string title;
    std::string text;
};

class RecordingMessages : public Messages
{
public:
    void show(MessageIcon icon, const std::string& title, const std::string& text) override
    {
        shown.push_back({icon, title, text});
    }
    // Questions are recorded like messages and answered with `answer`.
    bool ask(const std::string& title, const std::string& text) override
    {
        shown.push_back({MessageIcon::Exclamation, title, text});
        return answer;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> result;
        for (const auto& m : shown)
            result.push_back(m.text);
        return result;
    }
    std::vector<ShownMessage> shown;
    bool answer = false;
};

} // namespace darv::test
