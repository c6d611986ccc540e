// The printer choice through the desktop's printer dialog.
#include "reports/window/DialogPrintSetup.h"

#include <QPrintDialog>
#include <QPrinter>

namespace darv {

PrintChoice DialogPrintSetup::choose(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QObject::tr("Print"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    // The page range the user may pick is read by the dialog and not used: the report is always
    // printed whole.
    const int copies = printer.copyCount();
    // Every copy is sent as a document of its own, so the printer must not multiply them again.
    printer.setCopyCount(1);
    return {true, copies};
}

void DialogPrintSetup::prepareCopy(QPrinter& printer, int copy)
{
    printer.setDocName(QObject::tr("DARV report, copy %1").arg(copy));
}

} // namespace darv
