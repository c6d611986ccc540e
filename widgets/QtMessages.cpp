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

} // namespace darv
