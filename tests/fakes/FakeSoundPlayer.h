#pragma once

#include "platform/SoundPlayer.h"

#include <QStringList>

namespace ringtally::test {

/// A SoundPlayer that plays nothing and remembers every path it was asked to play.
class FakeSoundPlayer : public SoundPlayer {
public:
    void play(const QString& path) override { played.append(path); }

    QStringList played;
};

} // namespace ringtally::test
