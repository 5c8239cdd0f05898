// The game's state at a level start as one plain record: taken, written, read back and put in place.
//
// A journal that continues a session (the recent part of a long one) starts with this record: the
// replay runs the start-up, then puts the record in place where the recording's loop entered the level,
// and goes on from there as the recording did. The level itself is loaded from the files afresh by
// the level start, so the record holds no field pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "field/ball.h"
#include "field/debris.h"
#include "field/effects.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "field/gamevalues.h"
#include "game/modes.h"
#include "game/play.h"
#include "shell/input.h"
#include "shell/overlay.h"

struct GameSnapshot {
    uint32_t updates;  // updates run in the session before this point
    int32_t currentMode, previousMode;
    // The main loop's bookkeeping.
    int32_t appActive, quitRequested, frameRendered;
    int64_t ticksPerSecond, updateStep, renderStep;    // counter ticks
    int64_t nowTicks, secondClock, updateClock, renderClock;  // counter readings
    int32_t updatesThisSecond, presentsThisSecond, updatesLastSecond, presentsLastSecond;
    uint32_t randState;  // the shared generator
    // The game flow and the screens around play (settings and unlocks are in the game values).
    GameValues game;
    FlowState flow;
    HintPanel hintPanel;
    OverlayState overlay;
    int32_t showStylusCursor;
    // Input.
    int32_t stylusX, stylusY, stylusDown;  // logical screen pixels; 1 while pressed
    int64_t lastPress, lastRelease;         // counter readings
    int32_t quickTap;
    int32_t controlKeys[CONTROL_COUNT];
    int32_t buttonCodes[1];
    PointerCarry pointer;
    // The play field's moving parts.
    Paddle paddle;
    int32_t previousPaddleLine;
    std::vector<Ball> balls;
    std::vector<Debris> debris;
    std::vector<FallingPowerUp> capsules;
    std::vector<ActivePowerUp> activePowerUps;
    int16_t powerUpCounts[POWERUP_KINDS];
    std::vector<Explosion> explosions;
};

// The state as it stands now.
void takeGameSnapshot(GameSnapshot* out);
// Puts a snapshot in place (one that readGameSnapshot accepted).
void putGameSnapshot(const GameSnapshot& in);

// The pair that stores the record: writes it as bytes, and reads such bytes back. The reader refuses
// (0, with *error) bytes that are short, long, of another build's record sizes, or hold a value that
// would reach outside the game's tables.
void writeGameSnapshot(const GameSnapshot& in, std::vector<uint8_t>* out);
int readGameSnapshot(const uint8_t* bytes, size_t size, GameSnapshot* out, std::string* error);
