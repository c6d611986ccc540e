// The data folder at the window's start: the recorded one, or the default one set up afresh.
#pragma once

#include "base/Messages.h"

#include <QString>

#include <string>

namespace darv {

struct FirstStart
{
    enum class Outcome {
        Ready,  // Install_Location names a folder: nothing was done
        SetUp,  // the default data folder was set up and recorded
        Failed, // no data folder could be set up; Install_Location is as it was
    };
    Outcome outcome = Outcome::Ready;
    QString folder;       // the data folder in use, or the one that could not be set up
    QString recorded;     // the Install_Location that named no folder (empty when there was none)
    bool hadData = false; // SetUp: the default folder was there already, with the teacher's files kept
    QString error;        // Failed: why

    // What the window says about it (empty text for Ready).
    MessageIcon icon() const;
    std::string message() const;
};

// Without Install_Location, or when it names no folder (a deleted folder, a drive that is not
// mounted), sets up the default data folder as darv2007-install does, with the resources from
// resourceFolder (see Installer), and records it. Files already in the default folder are kept;
// the folder that Install_Location named is never touched.
FirstStart prepareDataFolder(const QString& resourceFolder);

} // namespace darv
