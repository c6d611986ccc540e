// The Help window: the full help text of the data folder.
#pragma once

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace darv {

class frmHelp : public QWidget
{
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Replaces the whole text with the rich-text file at path, or with a short notice when it cannot
    // be read.
    void loadHelp(const QString& path);

    void cmdExit_Click();

    QTextEdit* RichTextBox1;
    QPushButton* cmdExit;
};

} // namespace darv
