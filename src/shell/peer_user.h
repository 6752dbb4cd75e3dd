#pragma once

#include <QtGlobal>
#include <optional>

// Who is at the other end of a local socket. Abstract sockets carry no file
// permissions, so the hand-over asks the kernel instead.

// The user id of the process at the other end of the connected local socket
// `descriptor`; none where the system cannot tell.
std::optional<quint32> PeerUserId(qintptr descriptor);

// This process's effective user id.
quint32 OwnUserId();
