// The Reports page: the report view, the three report options with the similarity check's report beside
// them, and the Print, What Next and Similar Drawings buttons.
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
    QRadioButton* optSimilar; // the latest similarity report of the project
    QLabel* Label2;
    QPushButton* cmdPrint;
    QPushButton* cmdWhatnext;
    QPushButton* cmdSimilar; // opens the Similar Drawings window of the selected project
};

} // namespace darv
