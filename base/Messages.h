// The one way every part of the system shows a message box: icon, title, text and an OK button (or a question
// with Yes and No).
#pragma once

#include <string>

namespace darv {

enum class MessageIcon { Information, Exclamation, Critical };

class Messages
{
public:
    virtual ~Messages() = default;
    // Blocks until the user has pressed OK (in the window); a recorder in tests just notes it.
    virtual void show(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    // A question with Yes and No (No the default); true for Yes. Without a window to ask in, the text is shown
    // and the answer is No.
    virtual bool ask(const std::string& title, const std::string& text)
    {
        show(MessageIcon::Exclamation, title, text);
        return false;
    }
};

// The application's own title, for messages that have no title of their own.
inline constexpr const char* kAppTitle = "Darv2007";

} // namespace darv
