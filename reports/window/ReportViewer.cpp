// The behaviour of the Reports page: showing the chosen report of the selected project and printing it.
#include "reports/window/ReportViewer.h"

#include "base/DataFolder.h"
#include "reports/window/ReportPrinter.h"
#include "reports/window/ReportText.h"
#include "reports/window/ReportsPage.h"
#include "widgets/NameText.h"

#include <QDate>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include <array>
#include <optional>

namespace darv {

namespace {

enum class ReportKind { Time, Handle, Age, Similar };

struct KindText
{
    std::string (*path)(const std::string& installLoc, const std::string& project);
    const char* missing;
    const char* title;
};

const std::array<KindText, 4> kKinds = {{
    {timeReportPath, "No available TIME CONFLICTS for Project: ", "Time Conflicts"},
    {handleReportPath, "No available HANDLE [Entity] CONFLICTS for Project: ", "Handle Conflicts"},
    {ageReportPath, "No available DWG Date CONFLICTS for Project: ", "DWG Date Conflicts"},
    {similarReportPath, "No available SIMILAR DRAWINGS report for Project: ", "Similar Drawings"},
}};

// The option picked on the page, if any.
std::optional<ReportKind> chosenKind(const ReportsPage& page)
{
    for (int i = 0; i < 3; ++i)
        if (page.optReport[i]->isChecked())
            return static_cast<ReportKind>(i);
    if (page.optSimilar->isChecked())
        return ReportKind::Similar;
    return std::nullopt;
}

const KindText& textOf(ReportKind kind)
{
    return kKinds[static_cast<std::size_t>(kind)];
}

std::string reportPath(ReportKind kind, const std::string& installLoc, const QString& project)
{
    return textOf(kind).path(installLoc, nameBytes(project));
}

} // namespace

ReportViewer::ReportViewer(ReportsPage* page, std::function<QString()> selectedProject,
                           std::function<std::string()> installLoc, PrintSetup& printSetup, QObject* parent)
    : QObject(parent), m_page(page), m_selectedProject(std::move(selectedProject)), m_installLoc(std::move(installLoc)),
      m_printSetup(printSetup)
{
    for (int i = 0; i < 3; ++i)
        connect(m_page->optReport[i], &QRadioButton::clicked, this, [this, i] { optReport_Click(i); });
    connect(m_page->optSimilar, &QRadioButton::clicked, this, [this] { optReport_Click(3); });
    connect(m_page->cmdPrint, &QPushButton::clicked, this, &ReportViewer::cmdPrint_Click);
}

void ReportViewer::optReport_Click(int /*index*/)
{
    // The options' states decide, not which one was clicked.
    m_loadedFile.clear();
    ShowSelectedReport();
}

void ReportViewer::ShowSelectedReport()
{
    const QString project = m_selectedProject();
    if (project.isEmpty()) {
        // No project: no report of another one may stay on show, nor be printed.
        m_page->RichTextBox1->clear();
        m_loadedFile.clear();
        m_page->cmdPrint->setEnabled(false);
        return;
    }
    const std::optional<ReportKind> kind = chosenKind(*m_page);
    if (!kind)
        return;

    const std::string path = reportPath(*kind, m_installLoc(), project);
    if (const std::optional<QByteArray> bytes = readReportFile(path)) {
        m_page->RichTextBox1->setPlainText(reportViewText(*bytes));
        m_loadedFile = nameText(path);
        m_page->cmdPrint->setEnabled(true);
    } else {
        m_page->RichTextBox1->setPlainText(QString::fromLatin1(textOf(*kind).missing) + project);
        m_loadedFile.clear();
        m_page->cmdPrint->setEnabled(false);
    }
}

void ReportViewer::cmdPrint_Click()
{
    // Printing takes the option selected now; with no option at all the last kind is taken.
    const ReportKind kind = chosenKind(*m_page).value_or(ReportKind::Age);
    const std::string installLoc = m_installLoc();
    if (m_selectedProject().isEmpty())
        return;
    ReportPrinter printer(m_printSetup);
    printer.print(QString::fromLatin1(textOf(kind).title), reportPath(kind, installLoc, m_selectedProject()),
                  QString::fromStdString(resourcePath(installLoc, "darvlogo-print.jpg")),
                  ReportPrinter::footerText(QDate::currentDate()), m_page->window());
}

} // namespace darv
