// The lower panel of the main window.
#include "collect/window/LowerPanel.h"

#include "settings/SettingsFiles.h"
#include "widgets/Layout.h"
#include "widgets/ListChoiceComboBox.h"
#include "widgets/ProgressBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace darv {

LowerPanel::LowerPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frmMainHolder"));
    setFrameShape(QFrame::NoFrame);
    // The white statistics area lies behind everything else of the panel.
    Shape1 = place(new QFrame(this), "Shape1", 352, 0, 137, 249);
    Shape1->setAutoFillBackground(true);
    QPalette white = Shape1->palette();
    white.setColor(QPalette::Window, colours::white);
    Shape1->setPalette(white);
    Line1 = place(new QFrame(this), "Line1", 0, 0, 489, 1);
    Line1->setFrameShape(QFrame::HLine);
    Line2 = place(new QFrame(this), "Line2", 352, 0, 1, 249);
    Line2->setFrameShape(QFrame::VLine);
    buildOptions();
    buildProgress();
    buildStatistics();
}

QLabel* LowerPanel::label(const char* name, const QString& text, int x, int y, int w, int h, Qt::Alignment align,
                          bool bold)
{
    auto* l = place(new QLabel(text, this), name, x, y, w, h);
    l->setFont(arialFont(8.25, bold));
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

void LowerPanel::buildOptions()
{
    lblEntity = label("lblEntity", tr("Entity"), 0, 8, 81, 17);
    cmbEntity = place(new ListChoiceComboBox(this), "cmbEntity", 0, 24, 153, 21);
    cmbEntity->setEditable(true);
    cmbEntity->setInsertPolicy(QComboBox::NoInsert);
    for (const char* type : kEntityTypes)
        cmbEntity->addItem(QString::fromLatin1(type));
    cmbEntity->setCurrentIndex(-1);
    // Typed text stays as typed: no completion that would pick list items behind the user's back.
    cmbEntity->setCompleter(nullptr);
    chkLine0 = place(new QCheckBox(tr("LINE entity warnings"), this), "chkLine(0)", 0, 48, 145, 17);
    chkLine0->setChecked(true);

    frmOpt = place(new QGroupBox(tr("Report Options"), this), "frmOpt", 168, 8, 177, 137);
    QFont bold = frmOpt->font();
    bold.setBold(true);
    frmOpt->setFont(bold);
    QFont regular = bold;
    regular.setBold(false);
    const char* names[3] = {"chkOpt(0)", "chkOpt(1)", "chkOpt(2)"};
    const QString captions[3] = {tr("Time Matches"), tr("Entities ="), tr("DWG Age >=")};
    const QRect places[3] = {{8, 24, 145, 17}, {8, 48, 73, 17}, {8, 72, 89, 17}};
    for (int i = 0; i < 3; ++i) {
        chkOpt[i] = place(new QCheckBox(captions[i], frmOpt), names[i], places[i].x(), places[i].y(), places[i].width(),
                          places[i].height());
        chkOpt[i]->setFont(regular);
    }
    chkOpt[0]->setChecked(true);
    chkOpt[1]->setChecked(true);

    cmbPercent = place(new ListChoiceComboBox(frmOpt), "cmbPercent", 72, 47, 49, 21);
    cmbPercent->setEditable(true);
    cmbPercent->setInsertPolicy(QComboBox::NoInsert);
    cmbPercent->setFont(regular);
    for (const char* p : {"100", "90", "80", "70", "60", "50", "40", "30", "20", "10", "0"})
        cmbPercent->addItem(QString::fromLatin1(p));
    cmbPercent->setCompleter(nullptr);
    cmbPercent->setCurrentIndex(-1);
    cmbPercent->setEditText(QStringLiteral("100"));
    Label1 = place(new QLabel(tr("% match"), frmOpt), "Label1", 120, 48, 41, 17);
    // The label's box was made for a narrower font than Arial's metrics: narrow the text to fit it.
    QFont narrow = regular;
    narrow.setStretch(QFont::SemiCondensed);
    Label1->setFont(narrow);
    cmbdate = place(new ListChoiceComboBox(frmOpt), "cmbdate", 96, 72, 73, 21);
    cmbdate->setEditable(true);
    cmbdate->setInsertPolicy(QComboBox::NoInsert);
    cmbdate->setFont(regular);
    for (const char* d : {"1 month", "2 months", "3 months", "4 months", "5 months", "6 months", "1 year", "2 years",
                          "3 years", "4 years", "5 years"})
        cmbdate->addItem(QString::fromLatin1(d));
    cmbdate->setCompleter(nullptr);
    cmbdate->setCurrentIndex(-1);
    cmbdate->setEditText(QStringLiteral("1 month"));
}

void LowerPanel::buildProgress()
{
    cmdCollect = place(new QPushButton(tr("Start COLLECTING..."), this), "cmdCollect", 0, 72, 153, 25);
    cmdCollect->setEnabled(false);
    cmdCompare = place(new QPushButton(tr("Recompare..."), this), "cmdCompare", 208, 112, 97, 25);
    cmdCompare->setEnabled(false);
    cmdCompare->raise();

    lblLocCheck = label("lblLocCheck", tr("Location:"), 0, 152, 57, 17, Qt::AlignRight);
    lblLocCur = label("lblLocCur", QString(), 64, 152, 281, 17);
    setTextColour(lblLocCur, colours::darkBlue);
    Label4 = label("Label4", tr("search >>"), 0, 168, 57, 17, Qt::AlignRight, false);
    setTextColour(Label4, colours::orange);
    lblSubs = label("lblSubs", QString(), 72, 168, 265, 17, Qt::AlignLeft, false);
    setTextColour(lblSubs, colours::orange);
    lblFileCheck = label("lblFileCheck", tr("Filename:"), 0, 184, 57, 17, Qt::AlignRight);
    lblFileCur = label("lblFileCur", QString(), 64, 184, 281, 17);
    setTextColour(lblFileCur, colours::red);
    lblProgress = label("lblProgress", tr("Progress"), 0, 208, 81, 17);
    ProgressBar1 = place(new ProgressBar(this), "ProgressBar1", 0, 224, 345, 23);
    lbl0 = label("lbl0", tr("0%"), 0, 248, 17, 17);
    lbl100 = label("lbl100", tr("100%"), 312, 248, 33, 17, Qt::AlignRight);
}

void LowerPanel::buildStatistics()
{
    lblCompStats = label("lblCompStats", tr("Comparison Statistics"), 360, 16, 137, 17);
    lblFilesHead = label("lblFilesHead", tr("Files:"), 376, 48, 73, 17, Qt::AlignRight);
    lblTotalFiles = label("lblTotalFiles", QStringLiteral("0000"), 456, 48, 41, 17);
    setTextColour(lblTotalFiles, colours::darkBlue);
    lblTimeHead = label("lblTimeHead", tr("Time Conflicts:"), 352, 64, 97, 17, Qt::AlignRight);
    lblTotConflicts = label("lblTotConflicts", QStringLiteral("0000"), 456, 64, 33, 17);
    lblConflictHead = label("lblConflictHead", tr("Entity Conflicts:"), 352, 80, 97, 17, Qt::AlignRight);
    lblTotEntityConflicts = label("lblTotEntityConflicts", QStringLiteral("0000"), 456, 80, 33, 17);
    lblDateHead = label("lblDateHead", tr("Age Conflicts:"), 352, 96, 97, 17, Qt::AlignRight);
    lblTotDateConflicts = label("lblTotDateConflicts", QStringLiteral("0000"), 456, 96, 33, 17);
    for (QLabel* counter : {lblTotConflicts, lblTotEntityConflicts, lblTotDateConflicts})
        setTextColour(counter, colours::red);

    Picture1 = place(new QLabel(this), "Picture1", 377, 128, 90, 75);
    Picture1->setScaledContents(true);
    lblStatus = label("lblStatus", QString(), 352, 200, 137, 17, Qt::AlignHCenter);
    lblDARVd = place(new QLabel(tr("NO DARV's"), this), "lblDARVd", 357, 216, 129, 25);
    lblDARVd->setFont(arialFont(18, true));
    lblDARVd->setAlignment(Qt::AlignCenter);
    setTextColour(lblDARVd, colours::purple);
    lblTime = label("lblTime", QString(), 352, 248, 129, 17, Qt::AlignRight);
}

} // namespace darv
