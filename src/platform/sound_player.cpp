#include "platform/sound_player.h"

#include "platform/errors.h"

#include <QFile>

#include <alsa/asoundlib.h>
#include <sndfile.h>

#include <vector>

namespace {

// Closes the decoder and the device whichever way play() ends.
struct Playback {
    SNDFILE* file = nullptr;
    snd_pcm_t* pcm = nullptr;
    ~Playback()
    {
        if (pcm)
            snd_pcm_close(pcm);
        if (file)
            sf_close(file);
    }
};

MediaError AlsaError(int err) { return MediaError(QString::fromLocal8Bit(snd_strerror(err))); }

} // namespace

void AlsaSoundPlayer::play(const QString& path)
{
    Playback p;
    SF_INFO info{};
    p.file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!p.file)
        throw MediaError(QString::fromLocal8Bit(sf_strerror(nullptr)));
    if (info.channels <= 0 || info.samplerate <= 0)
        throw MediaError(QStringLiteral("Unsupported sound format"));

    int err = snd_pcm_open(&p.pcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        p.pcm = nullptr;
        throw AlsaError(err);
    }
    err = snd_pcm_set_params(p.pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                             static_cast<unsigned>(info.channels),
                             static_cast<unsigned>(info.samplerate), 1, 500000);
    if (err < 0)
        throw AlsaError(err);

    const sf_count_t chunkFrames = 4096;
    std::vector<short> buffer(static_cast<size_t>(chunkFrames * info.channels));
    sf_count_t frames;
    while ((frames = sf_readf_short(p.file, buffer.data(), chunkFrames)) > 0) {
        const short* data = buffer.data();
        while (frames > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(p.pcm, data, frames);
            if (written < 0) {
                err = snd_pcm_recover(p.pcm, static_cast<int>(written), 1);
                if (err < 0)
                    throw AlsaError(err);
                continue;
            }
            data += written * info.channels;
            frames -= written;
        }
    }
    snd_pcm_drain(p.pcm);
}

void RecordingSoundPlayer::play(const QString& path)
{
    played << path;
    if (!failWith.isEmpty())
        throw MediaError(failWith);
}

bool HasSoundDevice()
{
    int card = -1;
    return snd_card_next(&card) == 0 && card >= 0;
}
