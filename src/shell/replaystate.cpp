// The game's state at a level start: taken from the modules, stored as bytes, read back, put in place.
#include "shell/replaystate.h"

#include <algorithm>
#include <cstring>

#include "shell/mainloop.h"
#include "shell/random.h"
#include "shell/replay.h"

namespace {

// Bytes out: integers as zigzag varints, records as their size then their bytes.
struct SnapshotWriter {
    std::vector<uint8_t>* out;
    void number(int64_t v) {
        uint64_t z = ((uint64_t)v << 1) ^ (uint64_t)(v >> 63);
        while (z >= 0x80) {
            out->push_back((uint8_t)(z | 0x80));
            z >>= 7;
        }
        out->push_back((uint8_t)z);
    }
    template <typename T>
    void value(const T& v) {
        number((int64_t)v);
    }
    template <typename T>
    void record(const T& r) {
        number((int64_t)sizeof(T));
        const uint8_t* p = (const uint8_t*)&r;
        out->insert(out->end(), p, p + sizeof(T));
    }
    template <typename T>
    void list(const std::vector<T>& items, size_t) {
        number((int64_t)items.size());
        for (const T& item : items) {
            record(item);
        }
    }
};

// Bytes in, bounds-checked; `bad` once anything does not fit.
struct SnapshotReader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    bool bad;
    int64_t number(void) {
        uint64_t z = 0;
        for (int shift = 0; shift < 70; shift += 7) {
            if (pos >= size) {
                bad = true;
                return 0;
            }
            uint8_t b = data[pos++];
            z |= (uint64_t)(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                return (int64_t)(z >> 1) ^ -(int64_t)(z & 1);
            }
        }
        bad = true;
        return 0;
    }
    template <typename T>
    void value(T& v) {
        int64_t n = number();
        v = (T)n;
        if ((int64_t)v != n) {
            bad = true;
        }
    }
    template <typename T>
    void record(T& r) {
        int64_t n = number();
        if (bad || n != (int64_t)sizeof(T) || size - pos < sizeof(T)) {
            bad = true;
            return;
        }
        memcpy((void*)&r, data + pos, sizeof(T));
        pos += sizeof(T);
    }
    template <typename T>
    void list(std::vector<T>& items, size_t limit) {
        int64_t n = number();
        if (bad || n < 0 || (uint64_t)n > limit) {
            bad = true;
            return;
        }
        items.resize((size_t)n);
        for (T& item : items) {
            record(item);
        }
    }
};

// Every field once, in one order, for both directions.
template <typename Io, typename Snapshot>
void walk(Io& io, Snapshot& s) {
    io.value(s.updates);
    io.value(s.currentMode);
    io.value(s.previousMode);
    io.value(s.appActive);
    io.value(s.quitRequested);
    io.value(s.frameRendered);
    io.value(s.ticksPerSecond);
    io.value(s.updateStep);
    io.value(s.renderStep);
    io.value(s.nowTicks);
    io.value(s.secondClock);
    io.value(s.updateClock);
    io.value(s.renderClock);
    io.value(s.updatesThisSecond);
    io.value(s.presentsThisSecond);
    io.value(s.updatesLastSecond);
    io.value(s.presentsLastSecond);
    io.value(s.randState);
    io.record(s.game);
    io.record(s.flow);
    io.record(s.hintPanel);
    io.record(s.overlay);
    io.value(s.showStylusCursor);
    io.value(s.stylusX);
    io.value(s.stylusY);
    io.value(s.stylusDown);
    io.value(s.lastPress);
    io.value(s.lastRelease);
    io.value(s.quickTap);
    io.record(s.controlKeys);
    io.record(s.buttonCodes);
    io.record(s.pointer);
    io.record(s.paddle);
    io.value(s.previousPaddleLine);
    io.list(s.balls, MAX_BALLS);
    io.list(s.debris, MAX_DEBRIS);
    io.list(s.capsules, MAX_CAPSULES);
    io.list(s.activePowerUps, MAX_ACTIVE_POWERUPS);
    io.record(s.powerUpCounts);
    io.list(s.explosions, MAX_EXPLOSIONS);
}

// The values the game uses as indexes or loop bounds, checked before anything is put in place.
const char* unfitValue(const GameSnapshot& s) {
    if (s.currentMode != MODE_NEXT_LEVEL) {
        return "it was not taken at a level start";
    }
    if (s.ticksPerSecond <= 0 || s.updateStep <= 0 || s.renderStep <= 0) {
        return "its clock steps are not positive";
    }
    if (s.game.difficulty < 1 || s.game.difficulty > DIFFICULTY_COUNT || s.game.levelIndex < 0 ||
        s.game.levelIndex >= LEVEL_COUNT) {
        return "its difficulty or level is out of range";
    }
    if (s.flow.nameLength < 0 || s.flow.nameLength > NAME_CHARS || s.flow.name[NAME_CHARS] != 0 ||
        s.flow.selectedControlRow < -1 || s.flow.selectedControlRow >= CONTROL_COUNT) {
        return "its name entry or control row is out of range";
    }
    if (s.flow.revealCounter < 0 || s.flow.revealSweep < 0 || s.flow.revealSweep >= REVEAL_CELLS) {
        return "its level chooser counters are out of range";
    }
    // The overlay's log window is 16 lines; its scroll stays within them.
    if (s.overlay.visibleLines < 0 || s.overlay.visibleLines > 64 || s.overlay.scroll < 0 ||
        s.overlay.scroll > s.overlay.visibleLines * 6) {
        return "its overlay window is out of range";
    }
    for (const ActivePowerUp& a : s.activePowerUps) {
        if (a.kind < 0 || a.kind >= POWERUP_KINDS) {
            return "it holds a power-up of no known kind";
        }
    }
    for (const FallingPowerUp& c : s.capsules) {
        if (c.kind < 0 || c.kind >= POWERUP_KINDS) {
            return "it holds a capsule of no known kind";
        }
    }
    for (const Explosion& e : s.explosions) {
        if ((e.kind != EXPLOSION_SMALL && e.kind != EXPLOSION_BIG) || e.age < 0) {
            return "it holds an explosion of no known kind";
        }
    }
    return nullptr;
}

}  // namespace

void takeGameSnapshot(GameSnapshot* s) {
    s->updates = updateWatch.updates;
    s->currentMode = mainLoop.currentMode;
    s->previousMode = mainLoop.previousMode;
    s->appActive = appActive;
    s->quitRequested = mainLoop.quitRequested;
    s->frameRendered = mainLoop.frameRendered;
    s->ticksPerSecond = mainLoop.ticksPerSecond;
    s->updateStep = mainLoop.updateStep;
    s->renderStep = mainLoop.renderStep;
    s->nowTicks = mainLoop.nowTicks;
    s->secondClock = mainLoop.secondClock;
    s->updateClock = mainLoop.updateClock;
    s->renderClock = mainLoop.renderClock;
    s->updatesThisSecond = mainLoop.updatesThisSecond;
    s->presentsThisSecond = mainLoop.presentsThisSecond;
    s->updatesLastSecond = mainLoop.updatesLastSecond;
    s->presentsLastSecond = mainLoop.presentsLastSecond;
    s->randState = gameRandState();
    memcpy((void*)&s->game, &game, sizeof(game));
    memcpy((void*)&s->flow, &flow, sizeof(flow));
    s->hintPanel = hintPanel;
    s->overlay = overlay;
    s->showStylusCursor = showStylusCursor;
    s->stylusX = stylus.x;
    s->stylusY = stylus.y;
    s->stylusDown = stylus.down;
    s->lastPress = stylus.lastPress;
    s->lastRelease = stylus.lastRelease;
    s->quickTap = stylus.quickTap;
    memcpy(s->controlKeys, controlKeys, sizeof(controlKeys));
    memcpy(s->buttonCodes, buttonCodes, sizeof(buttonCodes));
    readPointerCarry(&s->pointer);
    s->paddle = paddle;
    s->previousPaddleLine = ballList.previousPaddleLine;
    s->balls.assign(ballList.balls, ballList.balls + ballList.count);
    s->debris.assign(debrisList.pieces, debrisList.pieces + debrisList.count);
    s->capsules.assign(powerUps.capsules, powerUps.capsules + powerUps.capsuleCount);
    s->activePowerUps.assign(powerUps.active, powerUps.active + powerUps.activeCount);
    memcpy(s->powerUpCounts, powerUps.counts, sizeof(powerUps.counts));
    s->explosions.assign(effects.explosions, effects.explosions + effects.explosionCount);
}

void putGameSnapshot(const GameSnapshot& s) {
    updateWatch.updates = s.updates;
    mainLoop.currentMode = s.currentMode;
    mainLoop.previousMode = s.previousMode;
    setAppActive(s.appActive);
    mainLoop.quitRequested = s.quitRequested;
    mainLoop.frameRendered = s.frameRendered;
    mainLoop.ticksPerSecond = s.ticksPerSecond;
    mainLoop.updateStep = s.updateStep;
    mainLoop.renderStep = s.renderStep;
    mainLoop.nowTicks = s.nowTicks;
    mainLoop.secondClock = s.secondClock;
    mainLoop.updateClock = s.updateClock;
    mainLoop.renderClock = s.renderClock;
    mainLoop.updatesThisSecond = s.updatesThisSecond;
    mainLoop.presentsThisSecond = s.presentsThisSecond;
    mainLoop.updatesLastSecond = s.updatesLastSecond;
    mainLoop.presentsLastSecond = s.presentsLastSecond;
    seedGameRand(s.randState);
    memcpy((void*)&game, &s.game, sizeof(game));
    memcpy((void*)&flow, &s.flow, sizeof(flow));
    hintPanel = s.hintPanel;
    overlay = s.overlay;
    showStylusCursor = s.showStylusCursor;
    stylus.x = s.stylusX;
    stylus.y = s.stylusY;
    stylus.down = s.stylusDown;
    stylus.lastPress = s.lastPress;
    stylus.lastRelease = s.lastRelease;
    stylus.quickTap = s.quickTap;
    memcpy(controlKeys, s.controlKeys, sizeof(controlKeys));
    memcpy(buttonCodes, s.buttonCodes, sizeof(buttonCodes));
    writePointerCarry(s.pointer);
    paddle = s.paddle;
    ballList.previousPaddleLine = s.previousPaddleLine;
    ballList.count = (int32_t)s.balls.size();
    std::copy(s.balls.begin(), s.balls.end(), ballList.balls);
    debrisList.count = (int32_t)s.debris.size();
    std::copy(s.debris.begin(), s.debris.end(), debrisList.pieces);
    powerUps.capsuleCount = (int32_t)s.capsules.size();
    std::copy(s.capsules.begin(), s.capsules.end(), powerUps.capsules);
    powerUps.activeCount = (int32_t)s.activePowerUps.size();
    std::copy(s.activePowerUps.begin(), s.activePowerUps.end(), powerUps.active);
    memcpy(powerUps.counts, s.powerUpCounts, sizeof(powerUps.counts));
    effects.explosionCount = (int32_t)s.explosions.size();
    std::copy(s.explosions.begin(), s.explosions.end(), effects.explosions);
}

void writeGameSnapshot(const GameSnapshot& in, std::vector<uint8_t>* out) {
    out->clear();
    SnapshotWriter w{out};
    walk(w, in);
}

int readGameSnapshot(const uint8_t* bytes, size_t size, GameSnapshot* out, std::string* error) {
    SnapshotReader r{bytes, size, 0, false};
    walk(r, *out);
    if (r.bad || r.pos != size) {
        *error = "the journal is damaged: the game's state it continues from is broken";
        return 0;
    }
    const char* unfit = unfitValue(*out);
    if (unfit != nullptr) {
        *error = std::string("the journal is damaged: the game's state it continues from is unusable: ") + unfit;
        return 0;
    }
    return 1;
}
