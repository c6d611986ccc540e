// Runs the similarity check on a worker thread so the window stays responsive: progress and the result
// come back to the window's thread as signals; Cancel is checked between drawings.
#pragma once

#include "similar/DrawingSource.h"
#include "similar/SimilarRun.h"

#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <string>

namespace darv {

class SimilarRunner : public QObject
{
    Q_OBJECT
public:
    explicit SimilarRunner(similar::DrawingSource source, QObject* parent = nullptr);
    ~SimilarRunner() override; // a run still going is cancelled and waited for

    // False when a run is already going.
    bool start(const std::string& dataFolder, const std::string& project, similar::SimilarOptions options);
    void cancel();
    bool running() const { return m_thread != nullptr; }

signals:
    void progress(const darv::similar::SimilarProgress& progress);
    void finished(std::shared_ptr<const darv::similar::SimilarResult> result);

private:
    similar::DrawingSource m_source;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_delivered{false}; // the running thread has handed over its result
    QThread* m_thread = nullptr;
};

} // namespace darv
