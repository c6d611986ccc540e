// The About page: the product banner and the about text.
#include "ui/AboutPage.h"

#include "widgets/Layout.h"

#include <QLabel>
#include <QPixmap>
#include <QTextEdit>

namespace darv {

AboutPage::AboutPage(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, colours::white);
    setPalette(background);

    Picture2 = place(new QLabel(this), "Picture2", 120, 16, 225, 29);
    Picture2->setPixmap(QPixmap(QStringLiteral(":/darv/banner.png")));
    RichTextBox2 = place(new QTextEdit(this), "RichTextBox2", 32, 56, 393, 97);
    RichTextBox2->setReadOnly(true);
    RichTextBox2->setFrameShape(QFrame::NoFrame);
}

} // namespace darv
