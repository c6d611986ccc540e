// The behaviour of the Reports page: showing the chosen report of the selected project and printing it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <string>

namespace darv {

class PrintSetup;
class ReportsPage;

class ReportViewer : public QObject
{
    Q_OBJECT
public:
    // selectedProject gives the selected project's name (empty when none), installLoc the data folder.
    ReportViewer(ReportsPage* page, std::function<QString()> selectedProject, std::function<std::string()> installLoc,
                 PrintSetup& printSetup, QObject* parent = nullptr);

    // The file last loaded into the view; empty after an option click resets it and after a failed load.
    QString loadedFile() const { return m_loadedFile; }

    // An option was picked: forget the loaded file, then show the report of the chosen kind.
    void optReport_Click(int index);
    // Loads the chosen kind's report of the selected project into the view; "Print..." follows the
    // result. Does nothing while no option is picked or no project is selected.
    void ShowSelectedReport();
    void cmdPrint_Click();

private:
    ReportsPage* m_page;
    std::function<QString()> m_selectedProject;
    std::function<std::string()> m_installLoc;
    PrintSetup& m_printSetup;
    QString m_loadedFile;
};

} // namespace darv
