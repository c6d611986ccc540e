// Synthesises the conflict alert: a short two-tone chime as a 16-bit PCM mono WAV file.
#include "tools/AlertSound.h"

#include <QtEndian>
#include <cmath>
#include <numbers>

namespace darv {

namespace {

void appendLe16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

// One tone: a sine with a little of its octave for a brighter, bell-like timbre, with a short attack
// and an exponential decay so that the tone neither clicks on nor cuts off abruptly.
void AlertSound::appendTone(QByteArray& pcm, double frequency, double seconds)
{
    const int count = static_cast<int>(seconds * kSampleRate);
    const double attack = 0.006 * kSampleRate;
    const double release = 0.02 * kSampleRate;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        double envelope = std::exp(-t * 5.0);
        if (i < attack)
            envelope *= i / attack;
        if (count - i < release)
            envelope *= (count - i) / release;
        const double phase = 2.0 * std::numbers::pi * frequency * t;
        const double value = (0.8 * std::sin(phase) + 0.2 * std::sin(2.0 * phase)) * envelope * 0.7;
        appendLe16(pcm, static_cast<quint16>(static_cast<qint16>(std::lround(value * 32767.0))));
    }
}

void AlertSound::appendSilence(QByteArray& pcm, double seconds)
{
    const int count = static_cast<int>(seconds * kSampleRate);
    pcm.append(QByteArray(count * 2, '\0'));
}

// High-low, high-low: 0.6 seconds in all.
QByteArray AlertSound::samples()
{
    QByteArray pcm;
    for (int repeat = 0; repeat < 2; ++repeat) {
        appendTone(pcm, 1046.5, 0.13); // C6
        appendSilence(pcm, 0.01);
        appendTone(pcm, 784.0, 0.14); // G5
        appendSilence(pcm, 0.02);
    }
    return pcm;
}

QByteArray AlertSound::wavFile()
{
    const QByteArray pcm = samples();
    const auto dataSize = static_cast<quint32>(pcm.size());
    QByteArray wav;
    wav.append("RIFF");
    appendLe32(wav, 36 + dataSize);
    wav.append("WAVE");
    wav.append("fmt ");
    appendLe32(wav, 16);
    appendLe16(wav, 1); // PCM
    appendLe16(wav, 1); // mono
    appendLe32(wav, kSampleRate);
    appendLe32(wav, kSampleRate * 2); // bytes per second
    appendLe16(wav, 2);               // block alignment
    appendLe16(wav, 16);              // bits per sample
    wav.append("data");
    appendLe32(wav, dataSize);
    wav.append(pcm);
    return wav;
}

} // namespace darv
