// The Reports page: the report view, the report options, and the Print, What Next and Similar Drawings
// buttons.
#include "reports/window/ReportsPage.h"

#include "widgets/Layout.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

namespace darv {

ReportsPage::ReportsPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frmReports"));
    setFrameShape(QFrame::NoFrame);
    lblProject1 = place(new QLabel(tr("Project:"), this), "lblProject(1)", 0, 8, 225, 17);
    lblProject1->setFont(arialFont(8.25));
    setTextColour(lblProject1, colours::darkBlue);

    RichTextBox1 = place(new QTextEdit(this), "RichTextBox1", 0, 24, 457, 297);
    QFont courier(QStringLiteral("Courier New"));
    courier.setPointSizeF(8.25);
    courier.setStyleHint(QFont::TypeWriter);
    RichTextBox1->setFont(courier);
    RichTextBox1->setAcceptRichText(false);
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setLineWrapMode(QTextEdit::NoWrap);

    auto* group = new QButtonGroup(this);
    optReport[0] = place(new QRadioButton(tr("Show Time Conflicts"), this), "optReport(0)", 8, 328, 129, 17);
    optReport[1] =
        place(new QRadioButton(tr("Show Entity [Handle] Conflicts"), this), "optReport(1)", 136, 328, 185, 17);
    optReport[2] = place(new QRadioButton(tr("Show DWG Age Conflicts"), this), "optReport(2)", 304, 328, 145, 17);
    for (int i = 0; i < 3; ++i)
        group->addButton(optReport[i], i);
    // Below the three, in the free line above the help text.
    optSimilar = place(new QRadioButton(tr("Show Similar Drawings"), this), "optSimilar", 8, 344, 185, 17);
    optSimilar->setToolTip(tr("The latest report of the similarity check (open Similar Drawings... for the pairs)"));
    group->addButton(optSimilar, 3);

    Label2 = place(new QLabel(tr("What happens if you find a conflict? Select \"What Next?\" for more help."), this),
                   "Label2", 16, 360, 433, 17);
    Label2->setFont(arialFont(8.25));
    Label2->setAlignment(Qt::AlignCenter);
    setTextColour(Label2, colours::blue);

    cmdPrint = place(new QPushButton(tr("Print..."), this), "cmdPrint", 112, 384, 105, 25);
    cmdPrint->setEnabled(false);
    cmdWhatnext = place(new QPushButton(tr("What Next?"), this), "cmdWhatnext", 232, 384, 105, 25);
    // In the free place right of "What Next?"; it needs a selected project.
    cmdSimilar = place(new QPushButton(tr("Similar Drawings..."), this), "cmdSimilar", 352, 384, 105, 25);
    cmdSimilar->setEnabled(false);
}

} // namespace darv
