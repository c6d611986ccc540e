// What the main window shows of a collection run, beyond what a comparison run shows.
#pragma once

#include "compare/CompareView.h"

#include <string>

namespace darv {

class CollectView : public CompareView
{
public:
    // ProgressBar1, 0 to 100 as a floating-point value.
    virtual void setProgress(double percent) = 0;
    // lblLocCur, lblSubs and lblFileCur.
    virtual void setLocationText(const std::string& text) = 0;
    virtual void setSubfolderText(const std::string& text) = 0;
    virtual void setFileText(const std::string& text) = 0;
    // Enables "Recompare...".
    virtual void enableRecompare() = 0;
    // The collected-data file could not be deleted: the message has been shown; the system ends now.
    virtual void endApplication() = 0;
};

} // namespace darv
