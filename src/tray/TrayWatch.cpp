#include "tray/TrayWatch.h"

namespace ringtally {

TrayWatch::TrayWatch(std::function<bool()> present) : present_(std::move(present))
{
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, &TrayWatch::look);
}

void TrayWatch::start()
{
    looked_ = 0;
    timer_.start();
}

void TrayWatch::look()
{
    if (present_()) {
        timer_.stop();
        emit appeared();
    } else if (++looked_ >= kWatchSeconds) {
        timer_.stop();
        emit noneAppeared();
    }
}

} // namespace ringtally
