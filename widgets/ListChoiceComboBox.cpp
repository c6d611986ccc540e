// An editable drop-down list that tells a choice from its list apart from typed text.
#include "widgets/ListChoiceComboBox.h"

#include <QKeyEvent>
#include <QTimer>
#include <QWheelEvent>

namespace darv {

ListChoiceComboBox::ListChoiceComboBox(QWidget* parent) : QComboBox(parent)
{
    // QComboBox activates an item also when the typed text equals it and editing ends (Return,
    // Tab, focus lost); only activations inside a list action count as a choice.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_choosing) {
            m_choosing = false;
            emit chosen(index);
        }
    });
}

void ListChoiceComboBox::hidePopup()
{
    // The open list hides itself right before it activates the picked item. Closing it without a
    // pick (Escape, a click elsewhere) activates nothing, so the mark is dropped once events resume.
    m_choosing = true;
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { m_choosing = false; });
}

void ListChoiceComboBox::keyPressEvent(QKeyEvent* event)
{
    // Stepping through the list with the keys is a choice; Return, Enter and Tab end the typing,
    // which is not one.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        m_choosing = true;
        QComboBox::keyPressEvent(event);
        m_choosing = false;
        break;
    default:
        QComboBox::keyPressEvent(event);
        break;
    }
}

void ListChoiceComboBox::wheelEvent(QWheelEvent* event)
{
    m_choosing = true;
    QComboBox::wheelEvent(event);
    m_choosing = false;
}

} // namespace darv
