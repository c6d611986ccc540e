// The What Next window: advice on what to do once a conflict has been found.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTextEdit;

namespace darv {

class Messages;

class WhatNext : public QWidget
{
    Q_OBJECT
public:
    // installLoc gives the data folder whose resources hold the text.
    WhatNext(std::function<std::string()> installLoc, Messages& messages, QWidget* parent = nullptr);

    // Shows the text named by which; "WhatNext" is the only text there is. When its file cannot be read
    // the user is told and the window keeps what it held.
    void form2load(const QString& which);

    void cmdClose_Click();

    QTextEdit* RichTextBox1;
    QPushButton* cmdClose;
    QLabel* Label2;

private:
    std::function<std::string()> m_installLoc;
    Messages& m_messages;
};

} // namespace darv
