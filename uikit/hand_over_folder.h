#pragma once

#include <QString>

namespace pq::ui {

// The folder that holds this user's hand-over sockets, so that no other user
// can put a socket under our names or reach ours.

// Why the folder cannot hold this user's sockets, or empty when it can: it
// must be a real folder (not a symbolic link) owned by this user's numeric id,
// usable by its owner, that nobody else may enter, read or write.
QString PrivateFolderFault(const QString& path);

// The folder of this user's hand-over sockets: $XDG_RUNTIME_DIR when it is
// set, else "pq-handover-" and the numeric user id in the temporary folder,
// created with mode 0700 when missing. Checked on every call. Empty when the
// folder fails the check: it then stays unused for the rest of the run, and
// one message on standard error says why.
QString HandOverFolder();

// This user's numeric id as text.
QString UserIdText();

} // namespace pq::ui
