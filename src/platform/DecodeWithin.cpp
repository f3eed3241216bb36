#include "DecodeWithin.h"

#include <QHash>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// What a worker hands back; shared, as the waiting side may give up first.
struct Decoding {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<DecodedSound> sound;
};

// Decodes still running past their limit, by file. Touched from the thread
// that plays sounds only.
QHash<QString, std::shared_ptr<Decoding>> &overdue()
{
    static QHash<QString, std::shared_ptr<Decoding>> decodings;
    return decodings;
}

} // namespace

namespace SoundFile {

std::optional<DecodedSound> decodeFileWithin(const QString &path, std::chrono::milliseconds limit,
                                             const Decoder &decoder)
{
    auto late = overdue().find(path);
    if (late != overdue().end()) {
        const std::shared_ptr<Decoding> decoding = late.value();
        std::lock_guard lock(decoding->mutex);
        if (!decoding->done)
            return std::nullopt;
        overdue().erase(late);
        return std::move(decoding->sound);
    }

    auto decoding = std::make_shared<Decoding>();
    std::thread([decoding, path, decoder] {
        auto sound = decoder(path);
        std::lock_guard lock(decoding->mutex);
        decoding->sound = std::move(sound);
        decoding->done = true;
        decoding->finished.notify_all();
    }).detach();

    std::unique_lock lock(decoding->mutex);
    if (!decoding->finished.wait_for(lock, limit, [&] { return decoding->done; })) {
        overdue().insert(path, decoding);
        return std::nullopt;
    }
    return std::move(decoding->sound);
}

bool decodeOverdue(const QString &path)
{
    return overdue().contains(path);
}

} // namespace SoundFile
