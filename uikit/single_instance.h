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

// The one running program of its kind that works on a folder, wherever it
// runs: two displays of one computer, or two computers that share the
// folder, never work on the same files at once.
//
// The claim is a lock the system keeps on the file "<folder>/.<program>.lock"
// for as long as the program runs (an open-file-description lock, or flock
// where the system has none; network file systems pass both on to their
// server). The system lets go of it when the process ends, however it ends,
// and a file server when the computer holding it is gone, so a lock is never
// left behind: the file itself stays, and only tells who holds the lock. The
// lock is on the folder's own file, so every path to the folder (a link, a
// mount on another computer) finds the same one.
class FolderClaim {
  public:
    enum class State {
        Held,     // this program holds the folder
        Taken,    // another program holds it: holder() tells which
        Unlocked, // the folder cannot be locked (it cannot be written, or the
                  // file system has no locks): nothing keeps a second program out
    };

    // Who holds a folder, as its lock file tells.
    struct Holder {
        QString host;       // the computer's name
        qint64 process = 0; // its process id there
        QString user;       // numeric user id
        QString display;    // DisplayNameText() of its display
        QString server;     // its hand-over server name; empty for none
    };

    // `serverName` is this program's hand-over server name, for a second
    // program to bring this one forward.
    FolderClaim(const QString& folder, const QString& program, const QString& serverName);
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    State state() const { return state_; }
    // Why the folder could not be locked (Unlocked).
    const QString& problem() const { return problem_; }
    const Holder& holder() const { return holder_; }
    // The holder runs for this user on this computer and display: its window
    // can come forward here.
    bool holderIsHere() const;
    // The holder in words: "on this computer (process 4711, display :1)",
    // "on the computer \"office\" (process 4711)"; "elsewhere" when its lock
    // file does not say.
    QString holderText() const;

  private:
    State state_ = State::Unlocked;
    int lock_ = -1;
    Holder holder_;
    QString problem_;
};

// This computer's name.
QString HostName();

} // namespace pq::ui
