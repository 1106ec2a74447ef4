#pragma once

#include "platform/SoundPlayer.h"

#include <QHash>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct ca_context;

namespace ringtally {

/// Plays wave files through libcanberra (PulseAudio, or ALSA where no sound server runs). One
/// context serves every sound for the player's lifetime; it is made, and connects to the sound
/// server, on a thread of the player's own, so that neither the first sound nor a sound server
/// that is slow to answer ever holds up the caller.
class CanberraSoundPlayer : public SoundPlayer {
public:
    /// How a sound ended: 0 when it played to its end, else libcanberra's (negative) error code.
    /// Called on a thread of libcanberra's or of the player's, never on the caller's.
    using Finished = std::function<void(const QString& path, int code)>;

    explicit CanberraSoundPlayer(Finished finished = {});
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    /// Queues the file for the player's thread, which starts it and moves on without waiting for
    /// its end; sounds may overlap. Stopping the player stops the sounds still playing.
    void play(const QString& path) override;

private:
    void run();
    void start(const QString& path);
    void report(quint32 id, int code);
    static void finishedCallback(ca_context* context, quint32 id, int code, void* player);

    Finished finished_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QString> queue_;
    bool stopping_ = false;
    QHash<quint32, QString> playing_; // sounds started and not yet ended, by libcanberra's id
    quint32 lastId_ = 0;
    ca_context* context_ = nullptr; // used on the player's thread only, until it has ended
    std::thread thread_;
};

} // namespace ringtally
