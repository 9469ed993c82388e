#pragma once

#include <functional>

namespace kanvo {

// The busy pointer through a window's setBusy hook (which may be empty): on while held, off
// again on every way out of the scope. A scope made with on = false acquires it later, when the
// slow part of the work begins.
class BusyScope {
public:
    explicit BusyScope(const std::function<void(bool)>& setBusy, bool on = true) : setBusy_(setBusy)
    {
        if (on)
            acquire();
    }
    ~BusyScope() { release(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    void acquire()
    {
        if (!on_ && setBusy_) {
            setBusy_(true);
            on_ = true;
        }
    }
    void release()
    {
        if (on_) {
            setBusy_(false);
            on_ = false;
        }
    }

private:
    const std::function<void(bool)>& setBusy_;
    bool on_ = false;
};

} // namespace kanvo
