// An editable drop-down list that tells a choice from its list apart from typed text. A choice is an
// item picked in the open list (mouse or keys), or one stepped to with the arrow keys or the wheel on
// the closed box; typing a text, even one that equals an item, is not a choice.
#pragma once

#include <QComboBox>

namespace darv {

class ListChoiceComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ListChoiceComboBox(QWidget* parent = nullptr);

    void hidePopup() override;

signals:
    // Every choice, the current item chosen again included.
    void chosen(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool m_choosing = false; // set while the list itself (not the typed text) may activate an item
};

} // namespace darv
