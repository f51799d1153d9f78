#pragma once

namespace pq::ui {

// The busy cursor over the whole program, until SetArrowCursor.
void SetWaitCursor();
// The standard arrow again.
void SetArrowCursor();

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
  public:
    WaitCursor() { SetWaitCursor(); }
    ~WaitCursor() { SetArrowCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace pq::ui
