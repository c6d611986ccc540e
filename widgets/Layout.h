// Helpers for the fixed pixel layout of the windows: every control has a name, a place and a size.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace darv {

// Names the control after the system's own control name and puts it at (x, y) with size w x h.
template <typename W> W* place(W* widget, const char* name, int x, int y, int w, int h)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QFont arialFont(double points, bool bold = false);
void setTextColour(QWidget* widget, const QColor& colour);

namespace colours {
inline const QColor blue{0, 0, 255};
inline const QColor darkBlue{0, 0, 192};
inline const QColor red{255, 0, 0};
inline const QColor orange{192, 64, 0};
inline const QColor purple{128, 0, 128};
inline const QColor white{255, 255, 255};
} // namespace colours

} // namespace darv
