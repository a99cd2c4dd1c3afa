#include "picture_load.h"

#include <QThreadPool>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "picture.h"

struct PictureLoad::State {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<QImage> picture;
    PictureLoad* receiver = nullptr;  // null once the load is gone
};

PictureLoad::PictureLoad(const QString& path, const QSize& target, QObject* parent)
    : QObject(parent), state_(std::make_shared<State>()) {
    BoundPictureDecoders();
    state_->receiver = this;
    QThreadPool::globalInstance()->start([state = state_, path, target] {
        QImage picture = LoadCoverPicture(path, target);
        const std::lock_guard lock(state->mutex);
        state->picture = std::move(picture);
        state->done.notify_all();
        // Posted under the lock, so the receiver cannot go meanwhile; its going drops the post.
        if (state->receiver != nullptr)
            QMetaObject::invokeMethod(state->receiver, &PictureLoad::deliver, Qt::QueuedConnection);
    });
}

PictureLoad::~PictureLoad() {
    const std::lock_guard lock(state_->mutex);
    state_->receiver = nullptr;
}

void PictureLoad::settle(std::chrono::milliseconds wait) {
    {
        std::unique_lock lock(state_->mutex);
        if (!state_->done.wait_for(lock, wait, [this] { return state_->picture.has_value(); })) return;
    }
    deliver();
}

void PictureLoad::deliver() {
    if (delivered_) return;
    QImage picture;
    {
        const std::lock_guard lock(state_->mutex);
        if (!state_->picture) return;
        picture = std::move(*state_->picture);
    }
    delivered_ = true;
    emit loaded(picture);
}
