// Sounds of the play field: which slot each event plays, and which go through the field-voice limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "field/ball.h"
#include "field/debris.h"
#include "field/level.h"
#include "field/paddle.h"
#include "field/powerup.h"
#include "fieldkit.h"
#include "field/gamevalues.h"
#include "shell/mainloop.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"
#include "support/testutil.h"

// Slots 1..14 hold a short sound each; the mixer is never run, so voices stay until stopped.
class FieldSounds : public ::testing::Test {
protected:
    void SetUp() override {
        makeKitField();
        strcpy(runPaths.soundPath, "./Sound/");
        std::vector<uint8_t> samples(200, 1);
        for (int id = 1; id <= 14; id++) {
            std::string name = "s" + std::to_string(id) + ".raw";
            writeFileBytes("Sound/" + name, samples);
            loadSound(name.c_str(), id, 0);
        }
    }
    void TearDown() override { voices(); }
    // The sounds of the live voices, which are then stopped.
    static Ints voices(void) {
        Ints ids;
        for (int i = 0; i < liveVoiceCount(); i++) {
            ids.push_back(voiceAt(i).soundId);
        }
        while (liveVoiceCount() > 0) {
            stopVoice(0);
        }
        return ids;
    }
    ScratchFolder folder;
};

TEST_F(FieldSounds, CaughtPowerUpsPlayTheirTableSoundAndTheShowerAlsoItsWhoosh) {
    for (int i = 0; i < 5; i++) {
        playSound(10);  // five plain voices: the plain limit is reached
    }
    collectPowerUp(POWERUP_HOMING);         // 5, plain: refused
    collectPowerUp(POWERUP_FROZEN_PADDLE);  // 2, field voice: still starts
    paddle.x = 120;
    paddle.y = 300;
    spawnFallingPowerUp(120, 295, POWERUP_BALL_SHOWER);
    updateFallingPowerUps();
    EXPECT_EQ(voices(), (Ints{10, 10, 10, 10, 10, 2, 2, 11}));
}

TEST_F(FieldSounds, ABallOnThePaddleTapsSoftlyAtMostOnceInFourUpdatesUnlessTurnedOff) {
    writeFileBytes("Sound/tap.raw", std::vector<uint8_t>(200, 1));
    loadSound("tap.raw", 16, 0);
    paddle.x = 120;
    paddle.y = 300;
    paddle.halfWidth = 18;
    struct Row {
        uint32_t update;
        bool on;
        int taps;  // voices of slot 16 after the bounce
    };
    const Row rows[] = {{100, true, 1}, {101, true, 0}, {103, true, 0}, {104, true, 1},
                        {200, false, 0}, {300, true, 1}};
    for (const Row& r : rows) {
        game.updateCounter = r.update;
        setPaddleSound(r.on);
        ballList.balls[0] = Ball{intToFixed(120), intToFixed(296), 0, 3000, intToFixed(120), intToFixed(296), 3000};
        ballList.count = 1;
        stepBalls();
        ASSERT_LT(ballList.balls[0].vy, 0) << r.update;  // bounced
        EXPECT_EQ(voices(), Ints(r.taps, 16)) << r.update;
    }
}
