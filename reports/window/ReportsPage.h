// The Reports page: the report view, the three report options, and the Print and What Next buttons.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace darv {

class ReportsPage : public QFrame
{
    Q_OBJECT
public:
    explicit ReportsPage(QWidget* parent = nullptr);

    QLabel* lblProject1;
    QTextEdit* RichTextBox1;
    QRadioButton* optReport[3];
    QLabel* Label2;
    QPushButton* cmdPrint;
    QPushButton* cmdWhatnext;
};

} // namespace darv
