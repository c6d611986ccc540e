// Message boxes in the window.
#include "widgets/QtMessages.h"

#include <QMessageBox>

namespace darv {

void QtMessages::show(MessageIcon icon, const std::string& title, const std::string& text)
{
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    if (icon == MessageIcon::Exclamation)
        qtIcon = QMessageBox::Warning;
    else if (icon == MessageIcon::Critical)
        qtIcon = QMessageBox::Critical;
    QMessageBox box(qtIcon, QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtMessages::ask(const std::string& title, const std::string& text)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace darv
