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
    if (m_thread)
        return false;
    m_cancel = false;
    m_thread = QThread::create([this, dataFolder, project, options = std::move(options)]() {
        similar::SimilarRun run(dataFolder, project, options, m_source);
        // Signals emitted here cross to the window's thread through its event loop.
        run.progress = [this](const similar::SimilarProgress& step) { emit progress(step); };
        auto result = std::make_shared<const similar::SimilarResult>(run.run(m_cancel));
        emit finished(result);
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->deleteLater();
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
