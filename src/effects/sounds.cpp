#include "effects/sounds.h"

#include "base/settings.h"
#include "platform/sound_output_pulse.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace modStandard {

bool SoundOn = true;

void PlaySoundEffect(const QString &name, qint32 flags)
{
    Q_UNUSED(flags);
    // The call lasts the sound's length from here: finding and decoding the sound take place
    // while it runs, not before.
    const auto since = std::chrono::steady_clock::now();
    if (!basBrivamo::readSoundStatus())
        return;
    const std::optional<QByteArray> bytes = brivamo::soundResource(name);
    if (!bytes)
        return;
    const std::optional<brivamo::PcmSound> sound = brivamo::decodeWave(*bytes);
    if (!sound)
        return;
    brivamo::soundOutput().playFrom(*sound, since);
}

} // namespace modStandard

namespace brivamo {

namespace {

const QString SoundFolder = QStringLiteral(":/sounds");

SoundOutput *installedOutput = nullptr;

// libsndfile reads the WAVE bytes in place through these callbacks.
struct MemoryFile
{
    const QByteArray *bytes;
    sf_count_t position;
};

sf_count_t memoryLength(void *user)
{
    return static_cast<MemoryFile *>(user)->bytes->size();
}

sf_count_t memorySeek(sf_count_t offset, int whence, void *user)
{
    auto *file = static_cast<MemoryFile *>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = file->position;
    else if (whence == SEEK_END)
        base = file->bytes->size();
    file->position = std::clamp<sf_count_t>(base + offset, 0, file->bytes->size());
    return file->position;
}

sf_count_t memoryRead(void *destination, sf_count_t count, void *user)
{
    auto *file = static_cast<MemoryFile *>(user);
    const sf_count_t available = std::max<sf_count_t>(0, file->bytes->size() - file->position);
    const sf_count_t n = std::clamp<sf_count_t>(count, 0, available);
    std::memcpy(destination, file->bytes->constData() + file->position, size_t(n));
    file->position += n;
    return n;
}

sf_count_t memoryWrite(const void *, sf_count_t, void *)
{
    return 0;
}

sf_count_t memoryTell(void *user)
{
    return static_cast<MemoryFile *>(user)->position;
}

} // namespace

std::optional<QByteArray> soundResource(const QString &name)
{
    if (name.isEmpty())
        return std::nullopt;
    QDirIterator it(SoundFolder, {QStringLiteral("*.wav")}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).completeBaseName().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }
    return std::nullopt;
}

std::optional<PcmSound> decodeWave(const QByteArray &bytes, int *format)
{
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    MemoryFile file{&bytes, 0};
    SF_INFO info{};
    SNDFILE *sound = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!sound)
        return std::nullopt;

    std::optional<PcmSound> result;
    if (info.channels > 0 && info.samplerate > 0 && info.frames > 0 && info.frames < (1 << 26)) {
        PcmSound pcm;
        pcm.sampleRate = info.samplerate;
        pcm.channels = info.channels;
        pcm.samples.resize(size_t(info.frames) * size_t(info.channels));
        const sf_count_t read = sf_readf_short(sound, pcm.samples.data(), info.frames);
        pcm.samples.resize(size_t(std::max<sf_count_t>(read, 0)) * size_t(info.channels));
        if (!pcm.samples.empty()) {
            if (format)
                *format = info.format;
            result = std::move(pcm);
        }
    }
    sf_close(sound);
    return result;
}

void setSoundOutput(SoundOutput *output)
{
    installedOutput = output;
}

SoundOutput &soundOutput()
{
    static PulseSoundOutput pulse;
    return installedOutput ? *installedOutput : pulse;
}

} // namespace brivamo
