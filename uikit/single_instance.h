#pragma once

#include <QString>

namespace pq::ui {

// The one running copy of a program for this user and display.
//
// A program claims its hand-over server name at start by locking a file
// beside the name's socket ("<socket>.lock") for as long as it runs; the
// system lets go of the lock when the process ends, however it ends. A
// second copy finds the lock taken: it asks the first to come forward
// through the hand-over server, and ends.
class InstanceClaim {
  public:
    // An empty name (no hand-over in this run) claims nothing: every copy
    // runs.
    explicit InstanceClaim(const QString& serverName);
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    // Another running copy holds the claim.
    bool anotherRuns() const { return anotherRuns_; }
    // Asks the copy holding the claim to bring its window to the front. It
    // may still be starting, so this asks again for up to timeoutMs; true
    // when it answered.
    bool raiseOther(int timeoutMs = 5000) const;

  private:
    QString serverName_;
    int lock_ = -1;
    bool anotherRuns_ = false;
};

} // namespace pq::ui
