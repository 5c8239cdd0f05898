/* Test helper: plays the game's paddle with a gamepad's d-pad, as a player watching the screen would.
   Usage: plinkor-xsteer WINDOW FIFO SECONDS. Reads the 480 x 640 window (the 240 x 320 frame at scale 2)
   many times a second, finds the ball and the paddle, and writes "dpleft 1", "dpright 0", ... lines to
   the virtual pad's FIFO to keep the paddle under where the falling ball will land, meeting it off
   centre so that it flies off towards the nearest block. Ends after SECONDS or on SIGTERM with the
   d-pad let go, and says in how many frames it saw the ball. It knows nothing of the game but its pictures. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

enum {
    FRAME_W = 240,
    FRAME_H = 320,
    LEFT_EDGE = 16, /* frame columns the ball's centre keeps inside (walls) */
    RIGHT_EDGE = 224,
    FIELD_TOP = 12,    /* below the score */
    PADDLE_FROM = 200, /* rows the paddle's top row is looked for in */
    PADDLE_TO = 314,
    ZONE_TOP = 242, /* the highest the paddle goes on Easy (field height 320 less a zone of 78) */
    HISTORY = 16,   /* the ball's recent places: its speed is measured over at least 60 ms */
};

static volatile sig_atomic_t stopping = 0;
static void onSignal(int sig) {
    stopping = sig;
}

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* The frame's pixels, 0xRRGGBB, sampled from the scaled window. */
static unsigned frame[FRAME_H][FRAME_W];

static int red(unsigned p) {
    return (p >> 16) & 255;
}
static int lowest(unsigned p) {
    int g = (p >> 8) & 255, b = p & 255, m = red(p) < g ? red(p) : g;
    return m < b ? m : b;
}
/* Blocks: warm, saturated pixels (the walls, the ball and the background are bluish or grey). */
static int isBlock(unsigned p) {
    return red(p) > 0x90 && red(p) - (int)(p & 255) > 0x60;
}
/* The ball's pixels: light and grey (the walls' light pixels are clearly blue). */
static int isBall(unsigned p) {
    return lowest(p) >= 0xB8 && (int)(p & 255) - red(p) <= 0x20;
}

/* The d-pad's left, right and up, each written to the FIFO only when it changes. */
enum { LEFT, RIGHT, UP };
static int fifo = -1, held[3];
static void button(int which, int down) {
    static const char* const names[3] = {"dpleft", "dpright", "dpup"};
    if (held[which] != down && dprintf(fifo, "%s %d\n", names[which], down) < 0) {
        perror("plinkor-xsteer: fifo");
    }
    held[which] = down;
}
/* -1 left, +1 right, 0 neither; the other side is let go first. */
static void hold(int direction) {
    button(direction < 0 ? RIGHT : LEFT, 0);
    button(direction < 0 ? LEFT : RIGHT, direction != 0);
}

/* The paddle's top row, centre and half width: the first row with a light run of 16 to 110 pixels. */
static int findPaddle(int* top, int* centre, int* half) {
    for (int y = PADDLE_FROM; y <= PADDLE_TO; y++) {
        int best = 0, bestStart = 0, run = 0;
        for (int x = 10; x < FRAME_W - 10; x++) {
            run = lowest(frame[y][x]) >= 0xA8 ? run + 1 : 0;
            if (run > best) {
                best = run;
                bestStart = x - run + 1;
            }
        }
        if (best >= 16 && best <= 110) {
            *top = y;
            *centre = bestStart + best / 2;
            *half = best / 2;
            return 1;
        }
    }
    return 0;
}

/* The lowest ball above row `above`: the centre of the lowest patch of at least 5 ball pixels. */
static int findBall(int above, double* bx, double* by) {
    int found = 0;
    for (int y = FIELD_TOP + 2; y < above - 2; y++) {
        for (int x = LEFT_EDGE - 2; x <= RIGHT_EDGE + 2; x++) {
            int n = 0;
            double sx = 0, sy = 0;
            for (int k = 0; k < 25 && isBall(frame[y][x]); k++) {
                int px = x + k % 5 - 2, py = y + k / 5 - 2;
                if (isBall(frame[py][px])) {
                    n++;
                    sx += px;
                    sy += py;
                }
            }
            if (n >= 5) {
                *bx = sx / n;
                *by = sy / n;
                found = 1;
            }
        }
    }
    return found;
}

/* Where a ball at x ends up between the walls, bouncing off them. */
static double fold(double x) {
    double span = RIGHT_EDGE - LEFT_EDGE, u = fmod(x - LEFT_EDGE, 2 * span);
    u += u < 0 ? 2 * span : 0;
    return LEFT_EDGE + (u <= span ? u : 2 * span - u);
}

/* How far right of the paddle's centre the ball should meet it to fly at the block nearest above
   `x`: a hit h pixels off centre (of a half width up to 20) leaves at 3h degrees from upright. */
static int aimOffset(double x, int paddleTop, int half) {
    int bestX = -1, bestY = 0;
    for (int y = FIELD_TOP + 8; y < paddleTop - 60; y++) {
        for (int c = LEFT_EDGE; c <= RIGHT_EDGE; c++) {
            if (isBlock(frame[y][c]) && (bestX < 0 || fabs(c - x) < fabs(bestX - x))) {
                bestX = c;
                bestY = y;
            }
        }
    }
    if (bestX < 0) {
        return 0;
    }
    /* Aim a few pixels into the block, not at its near edge. */
    int away = bestX > x ? 1 : (bestX < x ? -1 : 0);
    for (int k = 0; k < 5 && away != 0 && isBlock(frame[bestY][bestX + away]); k++) {
        bestX += away;
    }
    double degrees = atan2(bestX - x, paddleTop - bestY) * 57.3;
    /* Never straight up: a ball that rises through a gap it made would only come straight back. */
    if (fabs(degrees) < 9) {
        degrees = bestX >= x ? 9 : -9;
    }
    int offset = (int)lround(degrees / 3 * (half > 20 ? half : 20) / 20);
    int limit = half - 6 > 0 ? half - 6 : 0;
    return offset > limit ? limit : (offset < -limit ? -limit : offset);
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: plinkor-xsteer WINDOW FIFO SECONDS\n");
        return 2;
    }
    Window window = (Window)strtoul(argv[1], NULL, 0);
    double seconds = atof(argv[3]), start = now(), vx = 0, vy = 0, paddleV = 0, lastCentreT = 0;
    Display* display = XOpenDisplay(NULL);
    fifo = open(argv[2], O_WRONLY | O_NONBLOCK);
    if (display == NULL || fifo < 0) {
        fprintf(stderr, "plinkor-xsteer: no display or no FIFO\n");
        return 1;
    }
    signal(SIGTERM, onSignal);
    double seenT[HISTORY], seenX[HISTORY], seenY[HISTORY];
    int seen = 0, lastCentre = 0, frames = 0, balls = 0;
    while (!stopping && now() - start < seconds) {
        XImage* image = XGetImage(display, window, 0, 0, 2 * FRAME_W, 2 * FRAME_H, AllPlanes, ZPixmap);
        if (image == NULL) {
            usleep(20000);
            continue;
        }
        double t = now();
        for (int y = 0; y < FRAME_H; y++) {
            for (int x = 0; x < FRAME_W; x++) {
                frame[y][x] = (unsigned)XGetPixel(image, 2 * x, 2 * y) & 0xFFFFFF;
            }
        }
        XDestroyImage(image);
        frames++;
        int top, centre, half, target = FRAME_W / 2;
        double bx, by;
        if (!findPaddle(&top, &centre, &half)) {
            hold(0);
            button(UP, 0);
            usleep(10000);
            continue;
        }
        if (findBall(top, &bx, &by)) {
            balls++;
            int last = (seen + HISTORY - 1) % HISTORY;
            if (seen > 0 && (fabs(bx - seenX[last]) > 30 || fabs(by - seenY[last]) > 30)) {
                seen = 0;
            }
            seenT[seen % HISTORY] = t;
            seenX[seen % HISTORY] = bx;
            seenY[seen % HISTORY] = by;
            seen++;
            vx = vy = 0;
            for (int k = seen - 2; k >= 0 && k > seen - HISTORY; k--) {
                if (t - seenT[k % HISTORY] >= 0.06) {
                    vx = (bx - seenX[k % HISTORY]) / (t - seenT[k % HISTORY]);
                    vy = (by - seenY[k % HISTORY]) / (t - seenT[k % HISTORY]);
                    break;
                }
            }
            double landing = bx;
            if (vy > 20) {
                landing = fold(bx + vx * (top - 3 - by) / vy);
            }
            target = (int)lround(landing) - aimOffset(landing, top, half);
        } else {
            seen = 0;
        }
        /* Where the paddle will be once this reaches the game: it keeps moving meanwhile. */
        if (lastCentreT > 0 && t - lastCentreT > 0.001) {
            paddleV = 0.7 * paddleV + 0.3 * (centre - lastCentre) / (t - lastCentreT);
        }
        lastCentre = centre;
        lastCentreT = t;
        int error = target - (int)lround(centre + paddleV * 0.05);
        /* The paddle meets the ball sooner at the top of its zone: the level goes quicker. */
        button(UP, top > ZONE_TOP + 2);
        hold(error > 2 ? 1 : (error < -2 ? -1 : 0));
        usleep(8000);
    }
    hold(0);
    button(UP, 0);
    printf("plinkor-xsteer: %d frames, the ball seen in %d\n", frames, balls);
    XCloseDisplay(display);
    return 0;
}
