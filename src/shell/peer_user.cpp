#include "shell/peer_user.h"

#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

std::optional<quint32> PeerUserId(qintptr descriptor) {
    if (descriptor < 0) return std::nullopt;
#if defined(SO_PEERCRED)
    ucred credentials{};
    socklen_t length = sizeof(credentials);
    if (getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof(credentials))
        return std::nullopt;
    return quint32(credentials.uid);
#else
    uid_t user = 0;
    gid_t group = 0;
    if (getpeereid(int(descriptor), &user, &group) != 0) return std::nullopt;
    return quint32(user);
#endif
}

quint32 OwnUserId() {
    return quint32(geteuid());
}
