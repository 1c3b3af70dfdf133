#pragma once
#include <QString>

#include <vector>

// Plays a sound file in the background; a new sound cuts off the one still
// playing. Without a sound device, or without the file, nothing happens and
// nothing is said. GUI thread only.
void PlaySoundFile(const QString& path);

// While one exists, PlaySoundFile records the paths instead of playing. For tests.
class SoundCapture {
public:
    SoundCapture();
    ~SoundCapture();
    SoundCapture(const SoundCapture&) = delete;
    SoundCapture& operator=(const SoundCapture&) = delete;

    const std::vector<QString>& played() const { return played_; }

    // Records the path in the innermost capture; false when none exists.
    static bool record(const QString& path);

private:
    std::vector<QString> played_;
    SoundCapture* outer_;
};
