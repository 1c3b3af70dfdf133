#include "platform/Sound.h"

#include <QFile>

#include <alsa/asoundlib.h>
#include <canberra.h>

namespace {

SoundCapture* activeCapture = nullptr;

constexpr std::uint32_t SoundId = 1;

// ALSA's library prints every failed device open to stderr.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

class Player {
public:
    Player()
    {
        snd_lib_error_set_handler(ignoreAlsaError);
        if (ca_context_create(&context_) != CA_SUCCESS)
            context_ = nullptr;
    }
    ~Player()
    {
        if (context_)
            ca_context_destroy(context_);
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void play(const QString& path)
    {
        if (!context_)
            return;
        // Failures (no device, no file) are not reported: the alarm goes on silently.
        ca_context_cancel(context_, SoundId);
        ca_context_play(context_, SoundId, CA_PROP_MEDIA_FILENAME, QFile::encodeName(path).constData(), nullptr);
    }

private:
    ca_context* context_ = nullptr;
};

} // namespace

void PlaySoundFile(const QString& path)
{
    if (SoundCapture::record(path))
        return;
    static Player player;
    player.play(path);
}

SoundCapture::SoundCapture() : outer_(activeCapture) { activeCapture = this; }

SoundCapture::~SoundCapture() { activeCapture = outer_; }

bool SoundCapture::record(const QString& path)
{
    if (!activeCapture)
        return false;
    activeCapture->played_.push_back(path);
    return true;
}
