// The About page: the product banner and the about text.
#pragma once

#include <QFrame>

class QLabel;
class QTextEdit;

namespace darv {

class AboutPage : public QFrame
{
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent = nullptr);

    QLabel* Picture2;
    QTextEdit* RichTextBox2;
};

} // namespace darv
