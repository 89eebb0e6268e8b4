#include "platform/sound_player.h"

#include "platform/errors.h"

#include <QFile>

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace {

// ALSA and libsndfile (with the codec libraries it pulls in) are loaded on the
// first play, not at program start: most runs play no sound at all.
struct SoundLibraries {
    decltype(&sf_open) sfOpen = nullptr;
    decltype(&sf_strerror) sfStrerror = nullptr;
    decltype(&sf_readf_short) sfReadfShort = nullptr;
    decltype(&sf_close) sfClose = nullptr;
    decltype(&snd_pcm_open) pcmOpen = nullptr;
    decltype(&snd_pcm_set_params) pcmSetParams = nullptr;
    decltype(&snd_pcm_writei) pcmWritei = nullptr;
    decltype(&snd_pcm_recover) pcmRecover = nullptr;
    decltype(&snd_pcm_drain) pcmDrain = nullptr;
    decltype(&snd_pcm_close) pcmClose = nullptr;
    decltype(&snd_strerror) strError = nullptr;
    QString loadError; // empty when every function was found
};

template <typename Function>
void Resolve(void* library, const char* name, Function& function, QString& error)
{
    function = library ? reinterpret_cast<Function>(::dlsym(library, name)) : nullptr;
    if (!function && error.isEmpty())
        error = QString::fromLocal8Bit(library ? ::dlerror() : "sound library missing");
}

SoundLibraries LoadSoundLibraries()
{
    SoundLibraries l;
    void* sndfile = ::dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!sndfile)
        l.loadError = QString::fromLocal8Bit(::dlerror());
    void* alsa = ::dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa && l.loadError.isEmpty())
        l.loadError = QString::fromLocal8Bit(::dlerror());
    Resolve(sndfile, "sf_open", l.sfOpen, l.loadError);
    Resolve(sndfile, "sf_strerror", l.sfStrerror, l.loadError);
    Resolve(sndfile, "sf_readf_short", l.sfReadfShort, l.loadError);
    Resolve(sndfile, "sf_close", l.sfClose, l.loadError);
    Resolve(alsa, "snd_pcm_open", l.pcmOpen, l.loadError);
    Resolve(alsa, "snd_pcm_set_params", l.pcmSetParams, l.loadError);
    Resolve(alsa, "snd_pcm_writei", l.pcmWritei, l.loadError);
    Resolve(alsa, "snd_pcm_recover", l.pcmRecover, l.loadError);
    Resolve(alsa, "snd_pcm_drain", l.pcmDrain, l.loadError);
    Resolve(alsa, "snd_pcm_close", l.pcmClose, l.loadError);
    Resolve(alsa, "snd_strerror", l.strError, l.loadError);
    return l;
}

const SoundLibraries& Sound()
{
    static const SoundLibraries libraries = LoadSoundLibraries();
    if (!libraries.loadError.isEmpty())
        throw MediaError(libraries.loadError);
    return libraries;
}

// Closes the decoder and the device whichever way play() ends.
struct Playback {
    const SoundLibraries& lib;
    SNDFILE* file = nullptr;
    snd_pcm_t* pcm = nullptr;
    ~Playback()
    {
        if (pcm)
            lib.pcmClose(pcm);
        if (file)
            lib.sfClose(file);
    }
};

MediaError AlsaError(int err) { return MediaError(QString::fromLocal8Bit(Sound().strError(err))); }

} // namespace

void AlsaSoundPlayer::play(const QString& path)
{
    const SoundLibraries& lib = Sound();
    Playback p{lib};
    SF_INFO info{};
    p.file = lib.sfOpen(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!p.file)
        throw MediaError(QString::fromLocal8Bit(lib.sfStrerror(nullptr)));
    if (info.channels <= 0 || info.samplerate <= 0)
        throw MediaError(QStringLiteral("Unsupported sound format"));

    int err = lib.pcmOpen(&p.pcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        p.pcm = nullptr;
        throw AlsaError(err);
    }
    err = lib.pcmSetParams(p.pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(info.channels),
                           static_cast<unsigned>(info.samplerate), 1, 500000);
    if (err < 0)
        throw AlsaError(err);

    const sf_count_t chunkFrames = 4096;
    std::vector<short> buffer(static_cast<size_t>(chunkFrames * info.channels));
    sf_count_t frames;
    while ((frames = lib.sfReadfShort(p.file, buffer.data(), chunkFrames)) > 0) {
        const short* data = buffer.data();
        while (frames > 0) {
            snd_pcm_sframes_t written = lib.pcmWritei(p.pcm, data, frames);
            if (written < 0) {
                err = lib.pcmRecover(p.pcm, static_cast<int>(written), 1);
                if (err < 0)
                    throw AlsaError(err);
                continue;
            }
            data += written * info.channels;
            frames -= written;
        }
    }
    lib.pcmDrain(p.pcm);
}

void RecordingSoundPlayer::play(const QString& path)
{
    played << path;
    if (!failWith.isEmpty())
        throw MediaError(failWith);
}

// ALSA finds its cards by opening their control devices; the same test here
// spares loading ALSA at start-up.
bool HasSoundDevice()
{
    for (int card = 0; card < 32; ++card) {
        char path[32];
        std::snprintf(path, sizeof path, "/dev/snd/controlC%d", card);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
    }
    return false;
}
