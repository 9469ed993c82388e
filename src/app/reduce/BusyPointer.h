#pragma once

namespace kanvo {

// The busy (hourglass) pointer over the whole program while an object lives: on at
// construction, restored at destruction whichever way the scope is left. Nests.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace kanvo
