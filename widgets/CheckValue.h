// Check boxes hold 0 (clear), 1 (set) or 2 (greyed), as the settings files store them.
#pragma once

class QCheckBox;

namespace darv {

int checkValue(const QCheckBox* box);
// Values other than 0, 1 and 2 are refused (false) and leave the box as it was.
bool setCheckValue(QCheckBox* box, long long value);

} // namespace darv
