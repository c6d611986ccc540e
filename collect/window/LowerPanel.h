// The lower panel of the main window: entity choice, report options, the two run buttons,
// the progress of a collection and the comparison statistics.
#pragma once

#include <QFrame>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace darv {

class ListChoiceComboBox;
class ProgressBar;

class LowerPanel : public QFrame
{
    Q_OBJECT
public:
    explicit LowerPanel(QWidget* parent = nullptr);

    // Report options
    QLabel* lblEntity;
    ListChoiceComboBox* cmbEntity;
    QCheckBox* chkLine0;
    QGroupBox* frmOpt;
    QCheckBox* chkOpt[3];
    ListChoiceComboBox* cmbPercent;
    QLabel* Label1;
    ListChoiceComboBox* cmbdate;

    // Runs and their progress
    QPushButton* cmdCollect;
    QPushButton* cmdCompare;
    QLabel* Picture1;
    QLabel* lblLocCheck;
    QLabel* lblLocCur;
    QLabel* Label4;
    QLabel* lblSubs;
    QLabel* lblFileCheck;
    QLabel* lblFileCur;
    QLabel* lblProgress;
    ProgressBar* ProgressBar1;
    QLabel* lbl0;
    QLabel* lbl100;

    // Statistics
    QFrame* Shape1;
    QFrame* Line1;
    QFrame* Line2;
    QLabel* lblCompStats;
    QLabel* lblFilesHead;
    QLabel* lblTotalFiles;
    QLabel* lblTimeHead;
    QLabel* lblTotConflicts;
    QLabel* lblConflictHead;
    QLabel* lblTotEntityConflicts;
    QLabel* lblDateHead;
    QLabel* lblTotDateConflicts;
    QLabel* lblStatus;
    QLabel* lblDARVd;
    QLabel* lblTime;

private:
    QLabel* label(const char* name, const QString& text, int x, int y, int w, int h,
                  Qt::Alignment align = Qt::AlignLeft, bool bold = true);
    void buildOptions();
    void buildProgress();
    void buildStatistics();
};

} // namespace darv
