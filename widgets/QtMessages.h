// Message boxes in the window: one OK button, an icon and a title.
#pragma once

#include "base/Messages.h"

class QWidget;

namespace darv {

class QtMessages : public Messages
{
public:
    explicit QtMessages(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void show(MessageIcon icon, const std::string& title, const std::string& text) override;
    bool ask(const std::string& title, const std::string& text) override;

private:
    QWidget* m_parent;
};

} // namespace darv
