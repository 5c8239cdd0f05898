// The single-instance name: one per user and display, and requests that cannot stall or steer the game.
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
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_instance.h"

namespace {

// Connects to the name of user `uid` on display `display` as another program would.
int connectTo(unsigned uid, const char* display) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    int n = snprintf(address.sun_path + 1, sizeof(address.sun_path) - 1, "Plinkor-game-instance-%u-%s", uid, display);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);  // a full backlog refuses at once
    if (connect(fd, (sockaddr*)&address, (socklen_t)(offsetof(sockaddr_un, sun_path) + 1 + n)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

const unsigned nobody = 65534;

}  // namespace

// A second copy on the same display finds the first, one on another display (a test's own X server) or
// of another user does not. Only a "raise" from our user counts, and a peer that connects and sends
// nothing must not hold the game (the alarm ends a blocked test).
TEST(Instance, OneNamePerUserAndDisplayAndOnlyOurRaiseCounts) {
    setenv("DISPLAY", ":71", 1);
    ASSERT_EQ(platformFindOtherInstance("Plinkor"), 0);
    signal(SIGALRM, SIG_DFL);
    alarm(20);
    static const struct {
        const char* display;
        bool otherUser;
        const char* request;  // nullptr: only looks for the name
        int answer;           // found, or raises served
    } cases[] = {
        {":71", false, nullptr, 1}, {":72", false, nullptr, 0}, {":71", true, nullptr, 0}, {":71", false, "raise", 1},
        {":71", false, "", 0},      {":71", false, "hello", 0}, {":71", true, "raise", 0},
    };
    const unsigned me = getuid();
    for (const auto& c : cases) {
        if (c.otherUser && getuid() != 0) {
            continue;  // needs root to become another user
        }
        int peer[2];
        ASSERT_EQ(pipe(peer), 0);
        pid_t pid = fork();
        if (pid == 0) {
            releaseInstance();  // the child's copy of our listening socket must not outlive us
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (c.otherUser && setuid(nobody) != 0) {
                _exit(50);
            }
            setenv("DISPLAY", c.display, 1);
            char answer = (char)platformFindOtherInstance("Plinkor");
            if (c.request != nullptr) {
                int fd = connectTo(me, ":71");
                answer = fd >= 0 && write(fd, c.request, strlen(c.request)) >= 0 ? 1 : 0;
            }
            ssize_t told = write(peer[1], &answer, 1);
            (void)told;
            pause();  // holds the connection until killed
            _exit(0);
        }
        char answer = 0;
        ASSERT_EQ(read(peer[0], &answer, 1), 1);
        close(peer[0]);
        close(peer[1]);
        if (c.request == nullptr) {
            EXPECT_EQ(answer, c.answer) << c.display << (c.otherUser ? " other user" : "");
        } else {
            ASSERT_EQ(answer, 1) << "the peer could not connect";
            EXPECT_EQ(serviceInstance(), c.answer) << c.request << (c.otherUser ? " other user" : "");
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

TEST(Instance, AFloodIsAnsweredAFewAPass) {
    setenv("DISPLAY", ":71", 1);
    ASSERT_EQ(platformFindOtherInstance("Plinkor"), 0);
    std::vector<int> peers;
    for (int i = 0; i < 10; i++) {
        int fd = connectTo(getuid(), ":71");
        if (fd < 0) {
            break;  // the backlog is full: the rest are refused, not queued
        }
        ASSERT_EQ(write(fd, "raise", 5), 5);
        peers.push_back(fd);
    }
    ASSERT_GE(peers.size(), (size_t)INSTANCE_REQUESTS_PER_PASS + 1);
    EXPECT_EQ(serviceInstance(), INSTANCE_REQUESTS_PER_PASS);
    int rest = 0;
    for (int pass = 0; pass < 4; pass++) {
        rest += serviceInstance();
    }
    EXPECT_EQ(rest, (int)peers.size() - INSTANCE_REQUESTS_PER_PASS);
    for (int fd : peers) {
        close(fd);
    }
}
