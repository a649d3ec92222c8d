#pragma once

// Writes and reads plain PCM WAV files for the sound tests and the sound bench,
// so that they need no sound files of their own.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace testwav {

inline constexpr int kRate = 22050;

// A sine tone at half of full scale, with 5 ms ramps at both ends so that the
// tone starts and stops without a click.
inline std::vector<std::int16_t> sine(double hz, double seconds, int rate = kRate) {
    const auto frames = static_cast<std::size_t>(std::lround(seconds * rate));
    const double ramp = 0.005 * rate;
    std::vector<std::int16_t> samples(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double edge = std::min({1.0, (i + 1) / ramp, (frames - i) / ramp});
        samples[i] = static_cast<std::int16_t>(
            std::lround(16383.0 * edge * std::sin(2 * std::numbers::pi * hz * i / rate)));
    }
    return samples;
}

inline std::vector<std::int16_t> silence(double seconds, int rate = kRate) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(std::lround(seconds * rate)), 0);
}

// A RIFF/WAVE image of 16-bit PCM; `samples` are interleaved when channels > 1.
inline QByteArray wavBytes(const std::vector<std::int16_t>& samples, int rate = kRate,
                           int channels = 1) {
    const auto dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray out;
    auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    u32(36 + dataBytes);
    out.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(static_cast<quint16>(channels));
    u32(static_cast<quint32>(rate));
    u32(static_cast<quint32>(rate * channels * 2));
    u16(static_cast<quint16>(channels * 2));
    u16(16);
    out.append("data");
    u32(dataBytes);
    for (std::int16_t s : samples)
        u16(static_cast<quint16>(s));
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline bool writeSine(const QString& path, double hz, double seconds) {
    return writeFile(path, wavBytes(sine(hz, seconds)));
}

struct Wav {
    int formatTag = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples; // interleaved; filled for 16-bit PCM only

    double seconds() const {
        return channels > 0 && rate > 0 ? double(samples.size()) / channels / rate : 0.0;
    }
};

// Reads the "fmt " and "data" chunks of a RIFF/WAVE file; nullopt if either is
// missing or the file is not RIFF/WAVE.
inline std::optional<Wav> readWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const char* base = bytes.constData();
    Wav wav;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const qsizetype size = qFromLittleEndian<quint32>(base + pos + 4);
        const qsizetype body = pos + 8;
        const qsizetype available = std::min(size, bytes.size() - body);
        if (id == "fmt " && available >= 16) {
            wav.formatTag = qFromLittleEndian<quint16>(base + body);
            wav.channels = qFromLittleEndian<quint16>(base + body + 2);
            wav.rate = static_cast<int>(qFromLittleEndian<quint32>(base + body + 4));
            wav.bits = qFromLittleEndian<quint16>(base + body + 14);
            haveFormat = true;
        } else if (id == "data") {
            haveData = true;
            if (haveFormat && wav.formatTag == 1 && wav.bits == 16) {
                wav.samples.resize(static_cast<std::size_t>(available / 2));
                for (std::size_t i = 0; i < wav.samples.size(); ++i)
                    wav.samples[i] = qFromLittleEndian<qint16>(base + body + 2 * i);
            }
        }
        pos = body + size + (size & 1);
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return wav;
}

} // namespace testwav
