#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace discstart {

// Work done on a worker thread whose result is handed to `done` on the thread of `context`,
// the object that holds this. Starting again, cancelling or going away drops a result still to
// come; the work itself runs to its end and must own everything it touches.
template <typename T>
class Background {
  public:
    Background() = default;
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;
    ~Background() { cancel(); }

    void start(QObject* context, std::function<T()> work, std::function<void(T)> done) {
        cancel();
        auto state = std::make_shared<State>();
        state_ = state;
        done_ = std::move(done);
        QThreadPool::globalInstance()->start([state, work = std::move(work), this, context] {
            T result = work();
            const std::lock_guard lock(state->mutex);
            state->result = std::move(result);
            state->ready.notify_all();
            // Posted under the lock, so `this` and its context cannot go meanwhile; the
            // context's going drops the post.
            if (state->wanted)
                QMetaObject::invokeMethod(
                    context, [this, state] { deliver(state); }, Qt::QueuedConnection);
        });
    }

    void cancel() {
        if (!state_) return;
        const std::lock_guard lock(state_->mutex);
        state_->wanted = false;
        state_.reset();
    }

    // Waits up to `wait` for the result and, when it is there, hands it over now.
    bool settle(std::chrono::milliseconds wait) {
        const std::shared_ptr<State> state = state_;
        if (!state) return false;
        {
            std::unique_lock lock(state->mutex);
            if (!state->ready.wait_for(lock, wait, [&] { return state->result.has_value(); })) return false;
        }
        deliver(state);
        return true;
    }

    bool busy() const { return state_ != nullptr; }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable ready;
        std::optional<T> result;
        bool wanted = true;
    };

    void deliver(const std::shared_ptr<State>& state) {
        if (state != state_) return;  // cancelled, or already handed over
        std::optional<T> result;
        {
            const std::lock_guard lock(state->mutex);
            result = std::move(state->result);
            state->wanted = false;
        }
        state_.reset();
        if (result) done_(std::move(*result));
    }

    std::shared_ptr<State> state_;
    std::function<void(T)> done_;
};

}  // namespace discstart
