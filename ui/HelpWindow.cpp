// The Help window: the full help text of the data folder.
#include "ui/HelpWindow.h"

#include "ui/RtfReader.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace darv {

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("DARV 2007 Help"));
    resize(600, 500);

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    cmdExit = new QPushButton(tr("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setMinimumWidth(105);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichTextBox1);
    layout->addLayout(buttons);

    connect(cmdExit, &QPushButton::clicked, this, &frmHelp::cmdExit_Click);
}

void frmHelp::loadHelp(const QString& path)
{
    if (!loadRichText(RichTextBox1->document(), path))
        RichTextBox1->setPlainText(tr("Help file not found..."));
}

void frmHelp::cmdExit_Click()
{
    // Only hidden: the window and its text are kept for the next press of Help.
    hide();
}

} // namespace darv
