// The Similar Drawings window of a project: the options of the check, the class at a glance (the scores of
// every compared pair with the threshold line, the groups of students linked by pairs), the ranked pairs
// with the teacher's marks, both drawings of the chosen pair side by side with what they share in red, the
// evidence in plain words with the two drawings' properties, the pair's case file (mark and note), and sheets
// to print or save as PDF. Opens with the project's last check. Made once and reused, like the help windows.
#pragma once

#include "similar/DrawingSource.h"
#include "similar/LastResult.h"
#include "similar/PairMarks.h"
#include "similar/SimilarRun.h"
#include "similar/StoreOpening.h"

#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace darv {

class DrawingPairView;
class Messages;
class ScoreHistogram;
class SimilarRunner;
struct ClassSummary;
struct EvidencePage;

class SimilarWindow : public QWidget
{
    Q_OBJECT
public:
    SimilarWindow(std::function<std::string()> installLoc, Messages& messages,
                  similar::DrawingSource source = similar::readForSimilarity, QWidget* parent = nullptr);
    ~SimilarWindow() override;

    // The pair list's columns, names first.
    enum PairColumn { ColumnA, ColumnB, ColumnScore, ColumnSignal, ColumnMark, kPairColumns };

    // Shows the window for the project (the other projects may be named as earlier years).
    void openFor(const std::string& project, const std::vector<std::string>& otherProjects);

    // Starts a run; rebuildStore: rebuild the evidence store first (offered when it is damaged).
    void compare(bool rebuildStore = false);
    void cancel();
    bool running() const;
    // One sheet per selected pair (the shown one when none is selected) into a PDF file; false on failure.
    bool savePdf(const QString& path);
    // Marks the pair shown in the list's row (keeping its note); false when the store cannot be written.
    bool markPair(int row, similar::PairVerdict verdict);
    bool markPair(int row, similar::PairVerdict verdict, const std::string& note);

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
    ScoreHistogram* histogram() const { return m_histogram; }
    QTreeWidget* groupTree() const { return m_groups; }
    QLabel* classSummary() const { return m_summary; }
    QCheckBox* hideNotCopyBox() const { return m_hideNotCopy; }
    QComboBox* verdictBox() const { return m_verdict; }
    QPlainTextEdit* noteEdit() const { return m_note; }
    QLabel* markLabel() const { return m_markInfo; }
    QLabel* pictureNote() const { return m_pictureNote; }
    // The pair of the list's row (rows stay in the check's ranking; some may be hidden).
    const similar::SimilarPair& pairOfRow(int row) const;
    // The mark kept for the pair, "not reviewed" when there is none.
    similar::PairMark markOf(const similar::SimilarPair& pair) const;

signals:
    void runFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildOptions();
    QWidget* buildClassView();
    QWidget* buildEvidence();
    QWidget* buildCaseFile();
    void loadLastResult();
    void loadMarks();
    void showClass();
    // The result's pairs for the list: those reported, then those it kept under the threshold.
    void keepPairs(const similar::SimilarResult& result, double threshold);
    // No result shown: before another project's, another store's or a new run's.
    void forgetShown();
    void filterPairs();
    void thresholdMoved(double percent);
    void showPairContextMenu(const QPoint& at);
    void showMarkOf(const similar::SimilarPair* pair);
    void saveCaseFile();
    void groupClicked(QTreeWidgetItem* item);
    void showPairOf(const similar::SimilarPair& pair);
    QString signalWordsOf(const similar::SimilarPair& pair, similar::EvidenceStore* store);
    void showMarks();
    int currentIndex() const;
    ClassSummary sheetSummary() const;
    void addTemplates();
    void removeTemplate();
    void runEnded(const std::shared_ptr<const similar::SimilarResult>& result);
    void showPairs();
    void showPair(int row);
    void fitPairColumns();
    void printSheets();
    void saveSheets();
    std::vector<EvidencePage> selectedPages();
    const dwg::Drawing* storedDrawing(const std::string& project, const std::string& path);
    void setRunning(bool running);
    void rememberSize();
    // The evidence store the teacher chose (this computer's or the department server's), opened.
    // The window's store: one connection per window and server address (see KeptStore).
    similar::StoreAccess openStore() const;
    // cboStore and txtStoreAddress changed: the choice is used and remembered (an address with a password is used,
    // not remembered), and the project's last check shown from the chosen store.
    void storeChosen();

    std::function<std::string()> m_installLoc;
    std::string m_server; // the department server chosen in Store; empty: this computer
    mutable similar::KeptStore m_store;
    Messages& m_messages;
    QString m_dialogFolder; // where the file dialogs open: the home folder, then the one last used
    SimilarRunner* m_runner = nullptr;
    std::string m_project;
    // The reported pairs, then the pairs under the threshold the check kept for the list (SimilarResult::below).
    std::vector<similar::SimilarPair> m_result;
    double m_listedFloor = 50;                       // the lowest score the check kept a pair from
    bool m_belowCut = false;                         // it kept only the strongest of those under its threshold
    std::vector<similar::SimilarPair> m_sameStudent; // one student's own drawings, shown apart
    std::vector<double> m_scores;                    // every compared pair's
    double m_runThreshold = 50;                      // the threshold the shown result was made with
    similar::SimilarOptions m_shownOptions;          // the options the shown result was made with
    similar::SimilarOptions m_pendingOptions;        // those of the run going
    std::int64_t m_shownFinished = 0;                // when the shown result was made (seconds since 1970)
    std::size_t m_drawingCount = 0;
    std::map<similar::PairKey, similar::PairMark> m_marks;
    const similar::SimilarPair* m_shown = nullptr; // the pair in the views and the case file
    std::map<std::pair<std::string, std::string>, std::optional<dwg::Drawing>> m_drawings; // (project, path)

    QListWidget* m_templates = nullptr;
    QListWidget* m_earlier = nullptr;
    QSpinBox* m_threshold = nullptr;
    QSpinBox* m_share = nullptr;
    QComboBox* m_storeChoice = nullptr;  // cboStore: this computer or the department server
    QLineEdit* m_storeAddress = nullptr; // txtStoreAddress: the server's connection address
    QPushButton* m_compare = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_pairs = nullptr;
    DrawingPairView* m_view = nullptr;
    QListWidget* m_evidence = nullptr;
    QTableWidget* m_properties = nullptr;
    ScoreHistogram* m_histogram = nullptr;
    QTreeWidget* m_groups = nullptr;
    QLabel* m_summary = nullptr;
    QCheckBox* m_hideNotCopy = nullptr;
    QLabel* m_legend = nullptr;
    QLabel* m_pictureNote = nullptr;
    QComboBox* m_verdict = nullptr;
    QPlainTextEdit* m_note = nullptr;
    QLabel* m_markInfo = nullptr;
    QPushButton* m_saveMark = nullptr;
};

} // namespace darv
