// The main window's handlers for projects, locations, folder browsing and the drawing count.
#include "ui/frmMain.h"

#include "base/DataFolder.h"
#include "base/Messages.h"
#include "collect/window/LowerPanel.h"
#include "projects/FolderListing.h"
#include "projects/ProjectLock.h"
#include "projects/ProjectName.h"
#include "projects/QuotedLinesFile.h"
#include "projects/window/FolderList.h"
#include "projects/window/LocationsPage.h"
#include "projects/window/ProjectsPage.h"
#include "projects/window/Volumes.h"
#include "reports/window/ReportsPage.h"
#include "settings/SettingsFiles.h"
#include "submissions/SubmissionImport.h"
#include "widgets/CheckValue.h"
#include "widgets/NameText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QThread>

#include <filesystem>
#include <optional>
#include <system_error>

namespace darv {

void frmMain::setProjectCaptions(const QString& text)
{
    m_locations->lblProject0->setText(tr("Project: ") + text);
    m_reports->lblProject1->setText(tr("Project: ") + text);
}

std::vector<std::string> frmMain::locationEntries() const
{
    std::vector<std::string> entries;
    const QListWidget* list = m_locations->lstLocations;
    for (int i = 0; i < list->count(); ++i)
        entries.push_back(nameBytes(list->item(i)->text()));
    return entries;
}

void frmMain::insertLocationSorted(const QString& entry)
{
    QListWidget* list = m_locations->lstLocations;
    const std::string key = nameBytes(entry);
    int row = 0;
    while (row < list->count() && !listingLess(key, nameBytes(list->item(row)->text())))
        ++row;
    list->insertItem(row, entry);
}

void frmMain::selectProjectRow(int row)
{
    QListWidget* list = m_projects->lstProjects;
    if (row < 0 || row >= list->count())
        return;
    if (list->item(row)->isSelected()) {
        lstProjects_Click();
        return;
    }
    list->setCurrentRow(row);
}

bool frmMain::refuseProject()
{
    // Without a selected project the name is empty: nothing may be done (the buttons are disabled too).
    if (!hasSelectedProject())
        return true;
    if (!isUnsafeProjectName(nameBytes(selectedProject())))
        return false;
    m_services.messages->show(MessageIcon::Information, "DARV Error", "Invalid project name!");
    return true;
}

void frmMain::showWriteFailure(const std::string& what, const std::string& error)
{
    m_services.messages->show(MessageIcon::Critical, "DARV Error", what + " could not be written:\n" + error);
}

void frmMain::projectUnselected()
{
    // Nothing works on "no project": the buttons that need one are off and its locations are gone.
    {
        QSignalBlocker block(m_locations->lstLocations);
        m_locations->lstLocations->clear();
        m_locations->lstLocations->setToolTip(QString());
    }
    m_projects->lstProjects->setToolTip(QString());
    m_panel->lblTotalFiles->setText(QStringLiteral("0000"));
    for (QPushButton* button :
         {m_projects->cmdRemproj, m_locations->cmdAddloc, m_locations->cmdImport, m_locations->cmdRemloc,
          m_locations->cmdJump, m_panel->cmdCollect, m_panel->cmdCompare, m_reports->cmdSimilar})
        button->setEnabled(false);
    m_locations->lblProject0->setText(tr("Project:"));
    m_reports->lblProject1->setText(tr("Project:"));
    emit projectCleared();
}

void frmMain::txtProject_Change()
{
    m_projects->cmdAddproj->setEnabled(!m_projects->txtProject->text().isEmpty());
}

void frmMain::cmdAddproj_Click()
{
    QListWidget* list = m_projects->lstProjects;
    const QString typed = m_projects->txtProject->text();
    const QString name = typed.toUpper();
    bool duplicate = typed.isEmpty();
    for (int i = 0; i < list->count() && !duplicate; ++i)
        duplicate = list->item(i)->text().toUpper() == name;

    std::string error;
    if (isUnsafeProjectName(nameBytes(name)) || !projectNameFitsFiles(nameBytes(name))) {
        m_services.messages->show(MessageIcon::Information, "DARV Error", "Invalid project name!");
    } else if (duplicate) {
        m_services.messages->show(MessageIcon::Information, "DARV Error", "Duplicate project name!");
    } else if (const FileWrite written = appendQuotedLine(projectListPath(m_installLoc), nameBytes(name)); !written) {
        // The list shows what is stored: a project that could not be written is not added.
        showWriteFailure("The project list", written.error().text);
    } else {
        QSignalBlocker block(list);
        list->addItem(name);
    }
    m_projects->txtProject->clear();
    selectProjectRow(list->count() - 1);
    if (const QListWidgetItem* item = selectedItem(list))
        setProjectCaptions(item->text());
}

void frmMain::cmdRemproj_Click()
{
    QListWidget* list = m_projects->lstProjects;
    QListWidgetItem* selected = selectedItem(list);
    if (!selected)
        return;
    const std::string name = nameBytes(selected->text());
    const bool safe = !isUnsafeProjectName(name);
    // Like the runs, removal holds the project's lock: a run of another DARV on this project would
    // otherwise go on writing files for a project that is gone.
    std::optional<ProjectLock> lock;
    if (safe) {
        lock = ProjectLock::acquire(m_installLoc, name);
        if (lock->state() == ProjectLock::State::HeldByOther) {
            m_services.messages->show(MessageIcon::Exclamation, "DARV Warning",
                                      ProjectLock::busyMessage(name, lock->ownerPid()) +
                                          "\nThe project was not removed.");
            return;
        }
        if (!lock->held()) {
            showWriteFailure("The project's lock file", lock->reason());
            return;
        }
    }
    std::vector<std::string> remaining;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i) != selected)
            remaining.push_back(nameBytes(list->item(i)->text().toUpper()));
    }
    if (const FileWrite written = rewriteQuotedLines(projectListPath(m_installLoc), remaining); !written) {
        // The project stays listed and keeps its files, as the list file still holds it.
        showWriteFailure("The project list", written.error().text);
        return;
    }
    {
        QSignalBlocker block(list);
        delete list->takeItem(list->row(selected));
        list->setCurrentRow(-1);
        list->clearSelection();
        list->setToolTip(QString());
    }

    // The age report stays: it is the record of drawings handed in long ago. A name from a hand-edited
    // list that would lead outside the data folder deletes nothing.
    if (safe) {
        std::string failures;
        for (const std::string& path : {locationFilePath(m_installLoc, name), collectedDataPath(m_installLoc, name),
                                        partlyReadListPath(m_installLoc, name), handleReportPath(m_installLoc, name),
                                        timeReportPath(m_installLoc, name)}) {
            std::error_code ec;
            std::filesystem::remove(path, ec);
            if (ec)
                failures += "\n" + path + ": " + ec.message();
        }
        if (!failures.empty())
            m_services.messages->show(MessageIcon::Critical, "DARV Error",
                                      "The project was removed from the list, but some of its files could not be "
                                      "deleted:" +
                                          failures);
        // The imported submissions are the students' work, not the system's files: they stay.
        std::error_code ec;
        if (const std::string submissions = submissionsFolder(m_installLoc, name);
            std::filesystem::is_directory(submissions, ec))
            m_services.messages->show(MessageIcon::Information, kAppTitle,
                                      "The project was removed. Its imported submissions stay in " + submissions +
                                          "; delete that folder when they are no longer needed.");
    }
    {
        QSignalBlocker block(m_locations->lstLocations);
        m_locations->lstLocations->clear();
        m_locations->lstLocations->setToolTip(QString());
    }
    CountDrawings();
    m_projects->cmdRemproj->setEnabled(false);
    m_locations->cmdAddloc->setEnabled(false);
    m_locations->cmdImport->setEnabled(false);
    m_locations->cmdRemloc->setEnabled(false);
    m_panel->cmdCollect->setEnabled(false);
    // Recompare, Jump To and Similar Drawings would act on no project at all: they go off too.
    m_panel->cmdCompare->setEnabled(false);
    m_locations->cmdJump->setEnabled(false);
    m_reports->cmdSimilar->setEnabled(false);
    emit projectCleared();
}

void frmMain::lstProjects_Click()
{
    const QString project = selectedProject();
    const std::string name = nameBytes(project);
    m_projects->lstProjects->setToolTip(project);
    QListWidget* locations = m_locations->lstLocations;
    {
        QSignalBlocker block(locations);
        locations->clear();
        locations->setToolTip(QString());
        const bool safe = !isUnsafeProjectName(name);
        if (const auto entries = safe ? readQuotedLines(locationFilePath(m_installLoc, name)) : std::nullopt) {
            for (const std::string& entry : *entries)
                insertLocationSorted(nameText(entry));
        }
    }
    m_panel->lblTotalFiles->setText(QStringLiteral("0000"));
    CountDrawings();
    m_projects->cmdRemproj->setEnabled(true);
    m_locations->cmdAddloc->setEnabled(true);
    m_locations->cmdImport->setEnabled(true);
    m_panel->cmdCollect->setEnabled(true);
    m_locations->cmdRemloc->setEnabled(false);
    std::error_code ec;
    const auto collectedSize = std::filesystem::file_size(collectedDataPath(m_installLoc, name), ec);
    m_panel->cmdCompare->setEnabled(!ec && collectedSize > 0);
    setProjectCaptions(project);
    m_locations->cmdJump->setEnabled(false);
    m_reports->cmdSimilar->setEnabled(true);
}

bool frmMain::CountDrawings()
{
    m_panel->cmdCollect->setEnabled(true);
    const DrawingCount count = countDrawings(locationEntries(), CountFailure::Stop);
    if (count.failed)
        return false;
    m_panel->lblTotalFiles->setText(QString::fromStdString(counterText(count.total)));
    return true;
}

void frmMain::cmdAddloc_Click()
{
    if (refuseProject())
        return;
    const QString folder = m_locations->dirMain->path();
    QListWidget* list = m_locations->lstLocations;
    bool exists = false;
    for (int i = 0; i < list->count() && !exists; ++i)
        exists = list->item(i)->text().mid(1) == folder;
    if (exists || folder.isEmpty()) {
        m_services.messages->show(MessageIcon::Critical, "DARV Error", "Path already exists!");
    } else {
        const QString entry =
            (checkValue(m_locations->chkSub0) == 1 ? QStringLiteral("+") : QStringLiteral("-")) + folder;
        const std::string path = locationFilePath(m_installLoc, nameBytes(selectedProject()));
        if (const FileWrite written = appendQuotedLine(path, nameBytes(entry)); written) {
            QSignalBlocker block(list);
            insertLocationSorted(entry);
        } else {
            showWriteFailure("The location file", written.error().text);
        }
    }
    CountDrawings();
}

void frmMain::cmdImport_Click()
{
    if (refuseProject())
        return;
    const QString archive = QFileDialog::getOpenFileName(
        this, tr("Import submissions"), QDir::homePath(),
        tr("Download archives (*.zip *.7z *.tar.gz *.tgz *.tar.xz *.txz *.tar);;All files (*)"));
    if (!archive.isEmpty())
        importSubmissions(archive);
}

void frmMain::importSubmissions(const QString& archive)
{
    if (refuseProject())
        return;
    const std::string project = nameBytes(selectedProject());
    // Like the runs, the import holds the project's lock: a collection must not read a class half replaced.
    const ProjectLock lock = ProjectLock::acquire(m_installLoc, project);
    if (lock.state() == ProjectLock::State::HeldByOther) {
        m_services.messages->show(MessageIcon::Exclamation, "DARV Warning",
                                  ProjectLock::busyMessage(project, lock.ownerPid()) + "\nNothing was imported.");
        return;
    }
    if (!lock.held()) {
        showWriteFailure("The project's lock file", lock.reason());
        return;
    }
    // The import runs on a worker thread while the window goes on painting (but takes no input), and is
    // always waited for: even when the window is closed meanwhile it ends whole or changes nothing.
    submissions::ImportReport report;
    QThread* worker = QThread::create([&report, path = nameBytes(archive), installLoc = m_installLoc, project] {
        report = submissions::importSubmissions(path, installLoc, project);
    });
    QEventLoop waiting;
    connect(worker, &QThread::finished, &waiting, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    worker->start();
    if (!worker->isFinished())
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    QApplication::restoreOverrideCursor();
    std::string message = submissions::importMessage(report);
    if (report.outcome == submissions::ImportReport::Outcome::Stopped) {
        m_services.messages->show(MessageIcon::Critical, "DARV Error", message);
        return;
    }
    const QString entry = QStringLiteral("+") + nameText(report.target);
    bool added = false;
    if (const FileWrite written =
            appendQuotedLineOnce(locationFilePath(m_installLoc, project), nameBytes(entry), added);
        !written) {
        showWriteFailure("The location file", written.error().text + "\nThe submissions were imported into " +
                                                  report.target +
                                                  ", but the folder is no location of the project yet.");
        return;
    }
    if (added) {
        QSignalBlocker block(m_locations->lstLocations);
        insertLocationSorted(entry);
        message += "\nThe folder was added to the project's locations as \"" + nameBytes(entry) + "\".";
    }
    CountDrawings();
    if (report.skipped.empty())
        m_services.messages->show(MessageIcon::Information, kAppTitle, message);
    else
        m_services.messages->show(MessageIcon::Exclamation, "DARV Warning", message);
}

void frmMain::cmdRemloc_Click()
{
    if (refuseProject())
        return;
    QListWidget* list = m_locations->lstLocations;
    QListWidgetItem* selected = selectedItem(list);
    if (!selected)
        return;
    const int row = list->row(selected);
    const QString selectedText = selected->text();
    {
        QSignalBlocker block(list);
        delete list->takeItem(row);
        list->setCurrentRow(-1);
        list->setToolTip(QString());
    }
    const std::string path = locationFilePath(m_installLoc, nameBytes(selectedProject()));
    if (const FileWrite written = rewriteQuotedLines(path, locationEntries()); !written) {
        // The entry stays listed, as the file still holds it.
        {
            QSignalBlocker block(list);
            insertLocationSorted(selectedText);
        }
        m_services.messages->show(MessageIcon::Critical, kAppTitle,
                                  "The location file could not be written:\n" + written.error().text);
        return;
    }
    if (list->count() > 0) {
        {
            QSignalBlocker block(list);
            list->setCurrentRow(0);
        }
        lstLocations_Click();
    } else {
        m_locations->cmdRemloc->setEnabled(false);
    }
    if (!CountDrawings())
        m_services.messages->show(MessageIcon::Critical, kAppTitle,
                                  "A location's folder cannot be read: the drawing count stopped there.");
}

void frmMain::lstLocations_Click()
{
    const QListWidgetItem* item = selectedItem(m_locations->lstLocations);
    m_locations->lstLocations->setToolTip(item ? item->text() : QString());
    m_locations->cmdRemloc->setEnabled(true);
    m_locations->cmdJump->setEnabled(true);
}

void frmMain::fillDriveList()
{
    QComboBox* drives = m_locations->drvMain;
    QSignalBlocker block(drives);
    drives->clear();
    for (const Volume& volume : browsableVolumes())
        drives->addItem(volume.label, volume.rootPath);
}

void frmMain::drvMain_Change()
{
    QComboBox* drives = m_locations->drvMain;
    const QString root = drives->currentData().toString();
    // The current folder of the system volume is the user's home folder.
    const QString folder = root == QStringLiteral("/") ? QDir::homePath() : root;
    if (m_locations->dirMain->setPath(folder)) {
        m_driveShown = drives->currentIndex();
        return;
    }
    m_services.messages->show(MessageIcon::Critical, "Drive Error", "Drive not ready!");
    if (drives->currentIndex() != 0 && drives->count() > 0) {
        drives->setCurrentIndex(0);
        drvMain_Change();
    }
}

void frmMain::cmdJump_Click()
{
    const QListWidgetItem* item = selectedItem(m_locations->lstLocations);
    if (!item)
        return;
    const QString path = item->text().mid(1);
    bool failed = false;
    QComboBox* drives = m_locations->drvMain;
    const int driveIndex = drives->findData(volumeRootFor(path, browsableVolumes()));
    if (driveIndex < 0) {
        failed = true;
        m_services.messages->show(MessageIcon::Critical, kAppTitle,
                                  "Drive does not exist - CANNOT jump to this location!");
    } else if (driveIndex != m_driveShown) {
        drives->setCurrentIndex(driveIndex);
        drvMain_Change();
    }
    if (!m_locations->dirMain->setPath(path))
        failed = true;
    if (failed)
        m_services.messages->show(MessageIcon::Critical, kAppTitle,
                                  "Path does not exist - CANNOT jump to this location!");
}

void frmMain::chkSub_Click()
{
    if (const FileWrite written = writeSettingFile(foldersFilePath(m_installLoc), checkValue(m_locations->chkSub0));
        !written)
        showWriteFailure("The sub-folder setting", written.error().text);
}

} // namespace darv
