// Synthesises the conflict alert: a short two-tone chime as a 16-bit PCM mono WAV file.
#pragma once

#include <QByteArray>

namespace darv {

class AlertSound
{
public:
    static constexpr int kSampleRate = 22050;

    // The complete WAV file: RIFF header, "fmt " chunk (PCM, 1 channel, 16 bits) and the samples.
    static QByteArray wavFile();

private:
    static QByteArray samples();
    static void appendTone(QByteArray& pcm, double frequency, double seconds);
    static void appendSilence(QByteArray& pcm, double seconds);
};

} // namespace darv
