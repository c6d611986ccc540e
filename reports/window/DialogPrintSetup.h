// The printer choice through the desktop's printer dialog.
#pragma once

#include "reports/window/PrintSetup.h"

namespace darv {

class DialogPrintSetup : public PrintSetup
{
public:
    PrintChoice choose(QPrinter& printer, QWidget* parent) override;
    void prepareCopy(QPrinter& printer, int copy) override;
};

} // namespace darv
