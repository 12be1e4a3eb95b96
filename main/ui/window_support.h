// Small helpers that every part of the window uses the same way.
#pragma once

namespace termdex {

// The hourglass for one long operation, put back on every path.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace termdex
