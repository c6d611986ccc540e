// Check boxes hold 0 (clear), 1 (set) or 2 (greyed).
#include "widgets/CheckValue.h"

#include <QCheckBox>

namespace darv {

int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

bool setCheckValue(QCheckBox* box, long long value)
{
    switch (value) {
    case 0:
        box->setCheckState(Qt::Unchecked);
        return true;
    case 1:
        box->setCheckState(Qt::Checked);
        return true;
    case 2:
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        return true;
    default:
        return false;
    }
}

} // namespace darv
