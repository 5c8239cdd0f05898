// Sounds of the play field: which slot each event plays, and which go through the field-voice limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fieldkit.h"
#include "shell/runfolder.h"
#include "sound/mixer.h"
#include "sound/sample.h"

// Slots 1..16 hold a short sound each; the mixer is never run, so voices stay until stopped.
class FieldSounds : public KitFiles {
protected:
    void SetUp() override {
        KitFiles::SetUp();
        makeKitField();
        strcpy(runPaths.soundPath, "./Sound/");
        std::vector<uint8_t> samples(200, 1);
        for (int id = 1; id <= 16; id++) {
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
};

TEST_F(FieldSounds, CaughtPowerUpsPlayTheirTableSoundAndTheShowerAlsoItsWhoosh) {
    for (int i = 0; i < 5; i++) {
        playSound(10);  // five plain voices: the plain limit is reached
    }
    collectPowerUp(POWERUP_HOMING);         // 5, plain: refused
    collectPowerUp(POWERUP_FROZEN_PADDLE);  // 2, field voice: still starts
    spawnFallingPowerUp(120, 295, POWERUP_BALL_SHOWER);
    updateFallingPowerUps();
    EXPECT_EQ(voices(), (Ints{10, 10, 10, 10, 10, 2, 2, 11}));
}

TEST_F(FieldSounds, ABallOnThePaddleTapsSoftlyAtMostOnceInFourUpdatesUnlessTurnedOff) {
    // Update counter, the tap turned on, then the taps (slot 16) after a bounce.
    const int rows[][3] = {{100, 1, 1}, {101, 1, 0}, {103, 1, 0}, {104, 1, 1}, {200, 0, 0}, {300, 1, 1}};
    for (const auto& r : rows) {
        game.updateCounter = (uint32_t)r[0];
        setPaddleSound(r[1] != 0);
        ballList.count = 0;
        placeBall(120, 296, 0, 3000, 3000);
        stepBalls();
        ASSERT_LT(ballList.balls[0].vy, 0) << r[0];  // bounced
        EXPECT_EQ(voices(), Ints(r[2], 16)) << r[0];
    }
}
