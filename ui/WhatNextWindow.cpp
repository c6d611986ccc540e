// The What Next window: advice on what to do once a conflict has been found.
#include "ui/WhatNextWindow.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "ui/RtfReader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace darv {

WhatNext::WhatNext(std::function<std::string()> installLoc, Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), m_installLoc(std::move(installLoc)), m_messages(messages)
{
    setObjectName(QStringLiteral("WhatNext"));
    setWindowTitle(tr("What Next?"));
    resize(600, 500);

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    Label2 = new QLabel(tr("Full help file (DARV2006.rtf) as displayed by selecting HELP on the main screen is "
                           "available in the \\Resources folder for further reference and printing."),
                        this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    cmdClose = new QPushButton(tr("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setMinimumWidth(105);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RichTextBox1);
    layout->addWidget(Label2);
    layout->addLayout(buttons);

    connect(cmdClose, &QPushButton::clicked, this, &WhatNext::cmdClose_Click);
}

void WhatNext::form2load(const QString& which)
{
    if (which != QLatin1String("WhatNext"))
        return;
    const QString path = QString::fromStdString(resourcePath(m_installLoc(), "whatnext.rtf"));
    if (!loadRichText(RichTextBox1->document(), path))
        m_messages.show(MessageIcon::Critical, kAppTitle, "Whatnext.rtf unavailable!");
}

void WhatNext::cmdClose_Click()
{
    // Only hidden: the window and its text are kept for the next press of What Next?.
    hide();
}

} // namespace darv
