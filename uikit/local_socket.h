#pragma once

#include <QByteArray>
#include <QString>

namespace pq::ui {

// The few calls on Unix stream sockets that the hand-over needs, made on the
// descriptors themselves: the programs reach their first frame without
// loading a network library.

// Connects to the socket at the path, waiting up to timeoutMs for a server
// that is slow to accept. The descriptor (non-blocking, closed on exec), or
// -1 when nobody answers in time.
int ConnectLocal(const QString& path, int timeoutMs);

// Whether the process at the other end of a connected socket runs as this
// user, as the kernel recorded it when the connection was made.
bool PeerIsThisUser(int descriptor);

// Writes all the bytes to a connected non-blocking socket, waiting up to
// timeoutMs whenever it cannot take more. False when they could not all be
// handed over.
bool WriteAll(int descriptor, const QByteArray& bytes, int timeoutMs);

// Listens on the path, replacing whatever file lies there: the socket file
// appears at once with its final name and with access for this user only.
// The listening descriptor (non-blocking, closed on exec), or -1.
int ListenLocal(const QString& path);

// Closes a descriptor, going on after an interrupted call.
void CloseDescriptor(int descriptor);

} // namespace pq::ui
