// The single-instance name: only a timely "raise" from our own user brings the window up.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/sdl/sdl_instance.h"

// A silent peer must not hold the game, nor another user's request steer it; the alarm ends a stalled run.
TEST(Instance, OnlyATimelyRaiseFromOurUserCounts) {
    setenv("DISPLAY", ":71", 1);
    ASSERT_EQ(platformFindOtherInstance("Plinkor"), 0);
    signal(SIGALRM, SIG_DFL);
    alarm(20);
    char name[64];  // our name on display :71, in the abstract namespace
    int n = snprintf(name, sizeof(name), "Plinkor-game-instance-%u-:71", (unsigned)getuid());
    static const struct {
        const char* request;  // nullptr: connects and sends nothing, keeping the connection open
        bool otherUser;       // sent by user nobody (needs root to become)
        int raises;
    } cases[] = {{"raise", false, 1}, {nullptr, false, 0}, {"hello", false, 0}, {"raise", true, 0}};
    for (const auto& c : cases) {
        if (c.otherUser && getuid() != 0) {
            printf("note: not root, the other-user case is skipped\n");
            continue;
        }
        int peer[2];
        ASSERT_EQ(pipe(peer), 0);
        pid_t pid = fork();
        if (pid == 0) {
            releaseInstance();  // the child's copy of our listening socket must not outlive us
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (c.otherUser && setuid(65534) != 0) {
                _exit(50);
            }
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            memcpy(address.sun_path + 1, name, (size_t)n);
            int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            socklen_t length = (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n);
            bool connected = connect(fd, (sockaddr*)&address, length) == 0;
            if (connected && c.request != nullptr) {
                (void)!write(fd, c.request, 5);
            }
            char done = connected ? 1 : 0;
            (void)!write(peer[1], &done, 1);
            pause();  // holds the connection until killed
            _exit(0);
        }
        close(peer[1]);
        char done = 0;
        ASSERT_EQ(read(peer[0], &done, 1), 1);
        close(peer[0]);
        ASSERT_EQ(done, 1) << "the peer could not connect";
        EXPECT_EQ(serviceInstance(), c.raises)
            << (c.request ? c.request : "(silent)") << (c.otherUser ? " other user" : "");
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}
