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

// Runs `body` in a child process and returns its exit status.
template <typename Body> int inChild(Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

const unsigned nobody = 65534;

}  // namespace

TEST(Instance, OneNamePerUserAndDisplay) {
    setenv("DISPLAY", ":71", 1);
    ASSERT_EQ(platformFindOtherInstance("Plinkor"), 0);
    static const struct {
        const char* display;
        bool otherUser;
        int found;
    } cases[] = {
        {":71", false, 1},  // a second copy of ours
        {":72", false, 0},  // our copy on another display (a test's own X server)
        {":71", true, 0},   // another user on the same display
    };
    for (const auto& c : cases) {
        if (c.otherUser && getuid() != 0) {
            printf("note: not root, the other-user case is skipped\n");
            continue;
        }
        int found = inChild([&] {
            if (c.otherUser && setuid(nobody) != 0) {
                return 50;
            }
            setenv("DISPLAY", c.display, 1);
            return platformFindOtherInstance("Plinkor");
        });
        EXPECT_EQ(found, c.found) << c.display << (c.otherUser ? " other user" : "");
    }
}

TEST(Instance, OnlyATimelyRaiseFromOurUserCounts) {
    setenv("DISPLAY", ":71", 1);
    ASSERT_EQ(platformFindOtherInstance("Plinkor"), 0);
    // A request that never comes must not hold the game: the alarm ends a blocked test.
    signal(SIGALRM, SIG_DFL);
    alarm(20);
    static const struct {
        const char* request;  // nullptr: connects and sends nothing, keeping the connection open
        bool otherUser;
        int raises;
    } cases[] = {
        {"raise", false, 1},
        {nullptr, false, 0},
        {"hello", false, 0},
        {"raise", true, 0},
    };
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
            close(peer[0]);
            if (c.otherUser && setuid(nobody) != 0) {
                _exit(50);
            }
            int fd = connectTo(0, ":71");
            if (fd >= 0 && c.request != nullptr) {
                ssize_t sent = write(fd, c.request, 5);
                (void)sent;
            }
            char done = fd >= 0 ? 1 : 0;
            ssize_t told = write(peer[1], &done, 1);
            (void)told;
            pause();  // holds the connection until killed
            _exit(0);
        }
        close(peer[1]);
        char done = 0;
        ASSERT_EQ(read(peer[0], &done, 1), 1);
        close(peer[0]);
        ASSERT_EQ(done, 1) << "the peer could not connect";
        EXPECT_EQ(serviceInstance(), c.raises) << (c.request ? c.request : "(silent)")
                                               << (c.otherUser ? " other user" : "");
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
