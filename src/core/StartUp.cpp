#include "core/StartUp.h"

#include "core/SettingsFile.h"
#include "core/SingleInstance.h"
#include "core/StartUpSteps.h"
#include "core/Welcome.h"
#include "platform/Clock.h"

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

// How often the wait for the splash window's paint looks at the clock.
constexpr int kWaitStepMs = 50;
// The wait ends at the next whole second of the wall clock, so it never lasts longer than this.
constexpr qint64 kLongestWaitMs = 1000;

} // namespace

StartUp::StartUp(SingleInstance& instance, SettingsFile& settings, Settings& memory, Clock& clock,
    Prompter& prompter, ProgramVersion version, std::function<void()> loadMainWindow)
    : instance_(instance),
      settings_(settings),
      memory_(memory),
      clock_(clock),
      prompter_(prompter),
      version_(version),
      loadMainWindow_(std::move(loadMainWindow))
{
}

StartUp::~StartUp()
{
    delete splash_;
    delete welcome_;
}

Welcome* StartUp::welcome() const
{
    return qobject_cast<Welcome*>(welcome_.data());
}

bool StartUp::run()
{
    if (!instance_.acquire())
        return false;

    splash_ = new Splash(settings_, version_);
    // The wait lets the splash window be painted; without one there is nothing to wait for, and a
    // start should not take a second longer for it.
    if (settings_.readInt16(u"Configuration"_s, u"Splash"_s, 1) == 1) {
        splash_->show();
        waitForPaint();
    }

    if (isFirstRun(settings_)) {
        auto* welcome = new Welcome(settings_, memory_, prompter_, loadMainWindow_);
        welcome_ = welcome;
        welcome->show();
    } else {
        loadMainWindow_();
    }
    // The main window's load may have run a nested event loop; the splash window is still there
    // because Hideme has not been started yet.
    if (splash_)
        splash_->Hideme.start();
    return true;
}

void StartUp::waitForPaint()
{
    // Until the wall clock's second moves on, so that the splash window gets painted; the steady
    // clock bounds the wait when the wall clock is set back meanwhile.
    const qint64 notedSecond = clock_.now().toSecsSinceEpoch();
    const qint64 started = clock_.steadyMs();
    while (clock_.now().toSecsSinceEpoch() <= notedSecond && clock_.steadyMs() - started < kLongestWaitMs)
        clock_.runEventsFor(kWaitStepMs);
}

} // namespace ringtally
