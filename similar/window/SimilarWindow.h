// The Similar Drawings window of a project: the options of the check, the ranked pairs, both drawings of
// the chosen pair side by side with what they share in red, the evidence in plain words with the two
// drawings' properties, and sheets to print or save as PDF. Made once and reused, like the help windows.
#pragma once

#include "similar/DrawingSource.h"
#include "similar/SimilarRun.h"

#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace darv {

class DrawingPairView;
class Messages;
class SimilarRunner;
struct EvidencePage;

class SimilarWindow : public QWidget
{
    Q_OBJECT
public:
    SimilarWindow(std::function<std::string()> installLoc, Messages& messages,
                  similar::DrawingSource source = similar::readForSimilarity, QWidget* parent = nullptr);
    ~SimilarWindow() override;

    // Shows the window for the project (the other projects may be named as earlier years).
    void openFor(const std::string& project, const std::vector<std::string>& otherProjects);

    // Starts a run; rebuildStore: rebuild the evidence store first (offered when it is damaged).
    void compare(bool rebuildStore = false);
    void cancel();
    bool running() const;
    // One sheet per selected pair (the shown one when none is selected) into a PDF file; false on failure.
    bool savePdf(const QString& path);

    // The parts, for the main window and the tests.
    QListWidget* templateList() const { return m_templates; }
    QListWidget* earlierList() const { return m_earlier; }
    QSpinBox* thresholdBox() const { return m_threshold; }
    QSpinBox* shareBox() const { return m_share; }
    QPushButton* compareButton() const { return m_compare; }
    QPushButton* cancelButton() const { return m_cancel; }
    QTableWidget* pairTable() const { return m_pairs; }
    DrawingPairView* pairView() const { return m_view; }
    QListWidget* evidenceList() const { return m_evidence; }
    QTableWidget* propertyTable() const { return m_properties; }
    QLabel* statusLabel() const { return m_status; }
    const std::vector<similar::SimilarPair>& pairs() const { return m_result; }

signals:
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildOptions();
    QWidget* buildEvidence();
    void addTemplates();
    void removeTemplate();
    void runEnded(const std::shared_ptr<const similar::SimilarResult>& result);
    void showPairs();
    void showPair(int index);
    void printSheets();
    void saveSheets();
    std::vector<EvidencePage> selectedPages();
    const dwg::Drawing* storedDrawing(const std::string& project, const std::string& path);
    void setRunning(bool running);
    void rememberSize();

    std::function<std::string()> m_installLoc;
    Messages& m_messages;
    QString m_dialogFolder; // where the file dialogs open: the home folder, then the one last used
    SimilarRunner* m_runner = nullptr;
    std::string m_project;
    std::vector<similar::SimilarPair> m_result;
    std::map<std::pair<std::string, std::string>, std::optional<dwg::Drawing>> m_drawings; // (project, path)

    QListWidget* m_templates = nullptr;
    QListWidget* m_earlier = nullptr;
    QSpinBox* m_threshold = nullptr;
    QSpinBox* m_share = nullptr;
    QPushButton* m_compare = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_pairs = nullptr;
    DrawingPairView* m_view = nullptr;
    QListWidget* m_evidence = nullptr;
    QTableWidget* m_properties = nullptr;
};

} // namespace darv
