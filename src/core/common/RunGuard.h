#pragma once

namespace kanvo {

// Sets a "running" flag for a scope and clears it however the scope is left.
class RunGuard {
public:
    explicit RunGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunGuard() { flag_ = false; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    bool& flag_;
};

} // namespace kanvo
