// Jobs on the receiver line, written as plain sequential code.
//
// A job is a coroutine: it sends a command, then `co_await`s a pause or a
// reply, and the window thread goes on with its events meanwhile. Nothing
// spins an event loop to wait. The line's owner (Receiver2) runs one job at
// a time and resumes it from its timers and the port's signals.
//
//     rxjob::Task<std::optional<QString>> Receiver2::aReadRxState()
//     {
//         send_cmd(cmd::storeState());
//         co_await pause(50);
//         ...
//     }
//
// GCC 12 miscompiles a co_await inside ?:, && or || (temporaries destroyed
// twice): write each co_await as a statement of its own,
//     const bool ok = co_await rx->chars(17);
//
// A Task starts when it is awaited (or when the owner starts it) and owns
// its frame: destroying a suspended Task destroys the whole chain of jobs
// it awaits, which is how the owner drops a job whose window went away.
#pragma once
#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace rxjob {

namespace detail {
struct PromiseBase {
    std::coroutine_handle<> continuation;
    struct Final {
        bool await_ready() noexcept { return false; }
        template <class P>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<P> h) noexcept
        {
            if (auto c = h.promise().continuation)
                return c;
            return std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    std::suspend_always initial_suspend() noexcept { return {}; }
    Final final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { std::terminate(); }
};

template <class Promise>
class TaskBase {
public:
    using Handle = std::coroutine_handle<Promise>;
    TaskBase() = default;
    explicit TaskBase(Handle h) : h_(h) {}
    TaskBase(TaskBase &&o) noexcept : h_(std::exchange(o.h_, {})) {}
    TaskBase &operator=(TaskBase &&o) noexcept
    {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, {});
        }
        return *this;
    }
    TaskBase(const TaskBase &) = delete;
    TaskBase &operator=(const TaskBase &) = delete;
    ~TaskBase() { reset(); }

    bool valid() const { return bool(h_); }
    bool done() const { return !h_ || h_.done(); }
    // Starts (or goes on with) the job from outside a coroutine.
    void start()
    {
        if (h_ && !h_.done())
            h_.resume();
    }
    void reset()
    {
        if (h_)
            h_.destroy();
        h_ = {};
    }

    bool await_ready() const noexcept { return !h_ || h_.done(); }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> c) noexcept
    {
        h_.promise().continuation = c;
        return h_;
    }

protected:
    Handle h_;
};
} // namespace detail

template <class T = void>
class Task;

template <class T>
struct TaskPromise : detail::PromiseBase {
    std::optional<T> value;
    Task<T> get_return_object() noexcept;
    template <class U>
    void return_value(U &&v)
    {
        value.emplace(std::forward<U>(v));
    }
};

template <>
struct TaskPromise<void> : detail::PromiseBase {
    Task<void> get_return_object() noexcept;
    void return_void() noexcept {}
};

template <class T>
class [[nodiscard]] Task : public detail::TaskBase<TaskPromise<T>> {
public:
    using promise_type = TaskPromise<T>;
    using detail::TaskBase<TaskPromise<T>>::TaskBase;
    T await_resume() { return std::move(*this->h_.promise().value); }
};

template <>
class [[nodiscard]] Task<void> : public detail::TaskBase<TaskPromise<void>> {
public:
    using promise_type = TaskPromise<void>;
    using detail::TaskBase<TaskPromise<void>>::TaskBase;
    void await_resume() noexcept {}
};

template <class T>
Task<T> TaskPromise<T>::get_return_object() noexcept
{
    return Task<T>(std::coroutine_handle<TaskPromise<T>>::from_promise(*this));
}

inline Task<void> TaskPromise<void>::get_return_object() noexcept
{
    return Task<void>(std::coroutine_handle<TaskPromise<void>>::from_promise(*this));
}

} // namespace rxjob
