// The printer choice behind the Print command: the dialog in the window, a fixed choice in tests.
#pragma once

class QPrinter;
class QWidget;

namespace darv {

struct PrintChoice
{
    bool accepted = false; // false: the user cancelled, nothing is printed
    int copies = 0;        // documents to produce, each a copy of its own
};

class PrintSetup
{
public:
    virtual ~PrintSetup() = default;
    // Lets the user choose the printer and the number of copies for printer.
    virtual PrintChoice choose(QPrinter& printer, QWidget* parent) = 0;
    // Readies printer for copy number copy (from 1) just before its document begins.
    virtual void prepareCopy(QPrinter& printer, int copy) = 0;
};

} // namespace darv
