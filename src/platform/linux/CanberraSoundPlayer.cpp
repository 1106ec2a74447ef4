#include "platform/linux/CanberraSoundPlayer.h"

#include <QFile>

#include <canberra.h>
#include <dlfcn.h>

namespace ringtally {

namespace {

// libcanberra and the libraries it needs are loaded with the first sound, on the player's
// thread, so a start that plays no sound (or plays it later) does not pay for loading them.
struct Canberra {
    decltype(&ca_context_create) contextCreate = nullptr;
    decltype(&ca_context_change_props) contextChangeProps = nullptr;
    decltype(&ca_context_play_full) contextPlayFull = nullptr;
    decltype(&ca_context_destroy) contextDestroy = nullptr;
    decltype(&ca_proplist_create) proplistCreate = nullptr;
    decltype(&ca_proplist_sets) proplistSets = nullptr;
    decltype(&ca_proplist_destroy) proplistDestroy = nullptr;

    bool loaded() const
    {
        return contextCreate && contextChangeProps && contextPlayFull && contextDestroy && proplistCreate
            && proplistSets && proplistDestroy;
    }
};

template <typename Function> void resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
}

// Loaded once and never unloaded: its sound server backend keeps threads of its own.
const Canberra& canberra()
{
    static const Canberra loaded = [] {
        Canberra functions;
        void* library = ::dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (!library)
            return functions;
        resolve(library, "ca_context_create", functions.contextCreate);
        resolve(library, "ca_context_change_props", functions.contextChangeProps);
        resolve(library, "ca_context_play_full", functions.contextPlayFull);
        resolve(library, "ca_context_destroy", functions.contextDestroy);
        resolve(library, "ca_proplist_create", functions.proplistCreate);
        resolve(library, "ca_proplist_sets", functions.proplistSets);
        resolve(library, "ca_proplist_destroy", functions.proplistDestroy);
        return functions;
    }();
    return loaded;
}

} // namespace

CanberraSoundPlayer::CanberraSoundPlayer(Finished finished) : finished_(std::move(finished))
{
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
    // Stops the sounds still playing; libcanberra reports each one's end from here.
    if (context_)
        canberra().contextDestroy(context_);
}

void CanberraSoundPlayer::play(const QString& path)
{
    if (path.isEmpty())
        return;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(path);
        if (!thread_.joinable())
            thread_ = std::thread(&CanberraSoundPlayer::run, this);
    }
    wake_.notify_one();
}

void CanberraSoundPlayer::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        const QString path = queue_.front();
        queue_.pop_front();
        lock.unlock();
        start(path);
        lock.lock();
    }
}

void CanberraSoundPlayer::start(const QString& path)
{
    quint32 id = 0;
    {
        // Known before the sound starts: its end may be reported before ca_context_play_full returns.
        const std::lock_guard lock(mutex_);
        id = ++lastId_;
        playing_.insert(id, path);
    }
    const Canberra& ca = canberra();
    if (!ca.loaded()) {
        report(id, CA_ERROR_NOTSUPPORTED);
        return;
    }
    if (!context_) {
        if (const int created = ca.contextCreate(&context_); created != CA_SUCCESS) {
            context_ = nullptr;
            report(id, created);
            return;
        }
        ca.contextChangeProps(context_, CA_PROP_APPLICATION_NAME, "Ringtally", CA_PROP_APPLICATION_ID,
            "ringtally", static_cast<const char*>(nullptr));
    }
    // The context connects to the sound server at its first sound; when that fails, at the next.
    // Once connected, libcanberra connects again by itself should the server restart.
    ca_proplist* properties = nullptr;
    int code = ca.proplistCreate(&properties);
    if (code == CA_SUCCESS) {
        code = ca.proplistSets(properties, CA_PROP_MEDIA_FILENAME, QFile::encodeName(path).constData());
        if (code == CA_SUCCESS)
            code = ca.contextPlayFull(context_, id, properties, &CanberraSoundPlayer::finishedCallback, this);
        ca.proplistDestroy(properties);
    }
    // libcanberra calls back only for the sounds it has started.
    if (code != CA_SUCCESS)
        report(id, code);
}

void CanberraSoundPlayer::report(quint32 id, int code)
{
    QString path;
    {
        const std::lock_guard lock(mutex_);
        const auto found = playing_.find(id);
        if (found == playing_.end())
            return;
        path = found.value();
        playing_.erase(found);
    }
    if (finished_)
        finished_(path, code);
}

void CanberraSoundPlayer::finishedCallback(ca_context* /*context*/, quint32 id, int code, void* player)
{
    static_cast<CanberraSoundPlayer*>(player)->report(id, code);
}

} // namespace ringtally
