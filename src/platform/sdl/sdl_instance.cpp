// The single-instance name: an abstract socket named after the user and the display, and its requests.
#include "platform/sdl/sdl_instance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/journal.h"
#include "platform/platform.h"

namespace {

int listening = -1;  // holds the name while we run
const char* instanceName = "Plinkor";

// Linux's abstract namespace: the name vanishes with the process, so a crash leaves no stale lock. A
// window belongs to one user on one display, so the name does too: another user, or a copy on
// another display (a test's own X server), neither finds nor reaches ours.
void instanceAddress(sockaddr_un* address, socklen_t* length) {
    memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    const char* display = getenv("DISPLAY");
    if (display == nullptr || display[0] == 0) {
        display = getenv("WAYLAND_DISPLAY");
    }
    if (display == nullptr) {
        display = "";
    }
    size_t room = sizeof(address->sun_path) - 1;
    int n = snprintf(address->sun_path + 1, room, "%s-game-instance-%u-%s", instanceName, (unsigned)getuid(),
                     display);
    if (n < 0 || (size_t)n >= room) {
        n = (int)room - 1;
    }
    *length = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n);
}

bool sameUser(int fd) {
    ucred peer;
    socklen_t size = sizeof(peer);
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof(peer) &&
           peer.uid == getuid();
}

// Reads one short request, waiting at most the read limit for it to arrive.
bool readRequest(int fd, char* request, size_t size) {
    pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, INSTANCE_READ_LIMIT_MS) != 1 || (p.revents & POLLIN) == 0) {
        return false;
    }
    ssize_t got = recv(fd, request, size - 1, MSG_DONTWAIT);
    if (got <= 0) {
        return false;
    }
    request[got] = 0;
    return true;
}

}  // namespace

int platformFindOtherInstance(const char* name) {
    if (journalReplaying()) {
        return journalFindOtherInstance(0);
    }
    instanceName = name;
    sockaddr_un address;
    socklen_t length;
    instanceAddress(&address, &length);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        return journalFindOtherInstance(0);
    }
    if (bind(fd, (sockaddr*)&address, length) != 0) {
        close(fd);
        return journalFindOtherInstance(1);
    }
    listen(fd, INSTANCE_REQUESTS_PER_PASS);
    listening = fd;
    return journalFindOtherInstance(0);
}

void platformRaiseOtherInstance(void) {
    sockaddr_un address;
    socklen_t length;
    instanceAddress(&address, &length);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    if (connect(fd, (sockaddr*)&address, length) == 0) {
        ssize_t sent = send(fd, "raise", 5, MSG_NOSIGNAL);
        (void)sent;
    }
    close(fd);
}

int serviceInstance(void) {
    if (listening < 0) {
        return 0;
    }
    int raises = 0;
    for (int i = 0; i < INSTANCE_REQUESTS_PER_PASS; i++) {
        int client = accept4(listening, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0) {
            break;
        }
        char request[16];
        if (sameUser(client) && readRequest(client, request, sizeof(request)) && strncmp(request, "raise", 5) == 0) {
            raises++;
        }
        close(client);
    }
    return raises;
}

void releaseInstance(void) {
    if (listening >= 0) {
        close(listening);
        listening = -1;
    }
}
