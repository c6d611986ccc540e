// Starts a WAV file playing without waiting for it.
#include "widgets/SoundPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace darv {

SystemSoundPlayer::SystemSoundPlayer() = default;

SystemSoundPlayer::~SystemSoundPlayer()
{
    delete m_effect;
}

bool SystemSoundPlayer::play(const QString& wavPath)
{
    // Without a sound device (as on a build machine) playing does not start, silently.
    if (QMediaDevices::audioOutputs().isEmpty())
        return false;
    QFile file(wavPath);
    if (!file.open(QIODevice::ReadOnly) || file.read(4) != "RIFF")
        return false;
    if (!m_effect)
        m_effect = new QSoundEffect;
    m_effect->stop();
    m_effect->setSource(QUrl::fromLocalFile(wavPath));
    m_effect->play();
    return m_effect->status() != QSoundEffect::Error;
}

} // namespace darv
