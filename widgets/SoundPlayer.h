// Starts a WAV file playing without waiting for it.
#pragma once

#include <QString>

class QSoundEffect;

namespace darv {

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // True when playing began: the file could be loaded and there is a sound device. Never waits.
    virtual bool play(const QString& wavPath) = 0;
};

class SystemSoundPlayer : public SoundPlayer
{
public:
    SystemSoundPlayer();
    ~SystemSoundPlayer() override;
    bool play(const QString& wavPath) override;

private:
    QSoundEffect* m_effect = nullptr;
};

} // namespace darv
