// Runs the similarity check on a worker thread.
#include "similar/window/SimilarRunner.h"

namespace darv {

SimilarRunner::SimilarRunner(similar::DrawingSource source, QObject* parent)
    : QObject(parent), m_source(std::move(source))
{
    qRegisterMetaType<darv::similar::SimilarProgress>();
    qRegisterMetaType<std::shared_ptr<const darv::similar::SimilarResult>>();
}

SimilarRunner::~SimilarRunner()
{
    if (m_thread) {
        m_cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool SimilarRunner::start(const std::string& dataFolder, const std::string& project, similar::SimilarOptions options)
{
    if (m_thread) {
        // A run whose result was handed over ends at once: a new run may follow from the result's handler.
        if (!m_delivered)
            return false;
        m_thread->wait();
        m_thread = nullptr; // deleted by its own finished handler
    }
    m_cancel = false;
    m_delivered = false;
    QThread* thread = QThread::create([this, dataFolder, project, options = std::move(options)]() {
        similar::SimilarRun run(dataFolder, project, options, m_source);
        // Signals emitted here cross to the window's thread through its event loop.
        run.progress = [this](const similar::SimilarProgress& step) { emit progress(step); };
        auto result = std::make_shared<const similar::SimilarResult>(run.run(m_cancel));
        m_delivered = true;
        emit finished(result);
    });
    thread->setParent(this); // deleted with the runner at the latest
    m_thread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->deleteLater();
        if (m_thread == thread)
            m_thread = nullptr;
    });
    m_thread->start();
    return true;
}

void SimilarRunner::cancel()
{
    m_cancel = true;
}

} // namespace darv
