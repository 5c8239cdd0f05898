// One-time initialisation and the splash screens, which load the sounds, settings, fonts and sprites.
#include "game/startup.h"

#include "field/ball.h"
#include "field/effects.h"
#include "field/gamevalues.h"
#include "game/game.h"
#include "game/modes.h"
#include "game/settings.h"
#include "gfx/font.h"
#include "gfx/picture.h"
#include "gfx/surface.h"
#include "platform/platform.h"
#include "shell/desktop.h"
#include "shell/display.h"
#include "shell/input.h"
#include "shell/log.h"
#include "shell/mainloop.h"
#include "shell/overlay.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sample.h"

const EffectFile effectFiles[EFFECT_FILES] = {
    {"cleep2.raw", SOUND_MENU_CLICK},
    {"fearme1.raw", SOUND_FEAR_ME},
    {"electron.raw", SOUND_ELECTRON},
    {"scoreup.raw", SOUND_SCORE_UP},
    {"generalsfx8.raw", SOUND_POSITIVE_JINGLE},
    {"generalsfx48.raw", SOUND_NEGATIVE_JINGLE},
    {"DESTROY.raw", SOUND_DESTROY},
    {"maximize03.raw", SOUND_GROW},
    {"minimize3.raw", SOUND_SHRINK},
    {"chomp.raw", SOUND_CHOMP},
    {"fizz.raw", SOUND_FIZZ},
    {"doh.raw", SOUND_DOH},
    {"zwiff.raw", SOUND_POWER_UP},
    {"paddletap.raw", SOUND_PADDLE_TAP},
};

enum {
    FONT_GAMMA = 80,   // the fonts are measured from pictures loaded at this gamma
    HOLD_SECONDS = 1,  // a splash holds until more than this many whole seconds have passed
};

// skip_intro: the splashes' loading done at once, behind the loading picture, and the title music
// started as the last splash would start it.
static void skipSplashes(void) {
    loadLogoBatch();
    loadIntroBatch();
    setLoopEnd(SOUND_MUSIC_A);
    startVoice(SOUND_MUSIC_A, 1);
    requestMusic(0);
    mainLoop.currentMode = MODE_MAIN_MENU;
}

void gameInit(void) {
    buildAngleTables();
    buildExplosionSequence();
    setPaddleSound(desktopOptions.paddleSound != 0);
    mainLoop.currentMode = MODE_SPLASH_LOGO;
    musicInit();
    overlay.off = 1;
    if (desktopOptions.skipIntro) {
        skipSplashes();
    }
}

void gameShutdown(void) {}

static void freePicture(Surface** handle) {
    if (*handle != nullptr) {
        removeSurface(handle);
    }
}

void loadLogoBatch(void) {
    for (int i = 0; i < EFFECT_FILES; i++) {
        loadSound(effectFiles[i].name, effectFiles[i].id, 0);
    }
    if (!loadSettings()) {
        logMessage(1, "[WARNING] Unable to load settings. Setting defaults.\n");
        setDefaultSettings();
    }
}

void loadIntroBatch(void) {
    int previousGamma = getGamma();
    setGamma(FONT_GAMMA);
    loadPicture("c_tickertape.png", &flowPictures.fontTickerTape);
    loadFont(flowPictures.fontTickerTape, 0, 30);
    loadPicture("c_neopolitical.png", &flowPictures.fontNeopolitical);
    loadFont(flowPictures.fontNeopolitical, 1, 18);
    setGamma(previousGamma);
    loadPicture("sprites.png", &effects.spritesPicture);
    loadPicture("icons.png", &effects.iconsPicture);
    loadPicture("power-ups.png", &effects.powerUpsPicture);
    loadSoundDoubled("coolcat.raw", SOUND_MUSIC_A, 1);
    loadSoundDoubled("scream.raw", SOUND_SCREAM, 0);
}

void enterSplash(int32_t mode) {
    switch (mode) {
    case MODE_SPLASH_LOGO:
        loadPicture("qzlogo.png", &flowPictures.logo);
        loadPicture("8quorn.png", &flowPictures.logoMaker);
        flow.logoCounter = 0;
        break;
    case MODE_SPLASH_INTRO:
        loadPicture("kvintro.png", &flowPictures.intro);
        flow.splashCounter = 0;
        break;
    case MODE_SPLASH_MONKEY:
        freePicture(&flowPictures.blackScreen);
        flowPictures.blackScreen = createSurface(DEFAULT_WIDTH, DEFAULT_HEIGHT);
        loadSoundDoubled("monkey.raw", SOUND_MONKEY_JINGLE, 0);
        loadPicture("monkey.png", &flowPictures.monkey);
        loadPicture("monkeym.png", &flowPictures.monkeyMouth);
        flow.splashCounter = 0;
        break;
    default:
        break;
    }
}

void leaveSplash(int32_t mode) {
    switch (mode) {
    case MODE_SPLASH_LOGO:
        freePicture(&flowPictures.logo);
        freePicture(&flowPictures.logoMaker);
        break;
    case MODE_SPLASH_INTRO:
        freePicture(&flowPictures.intro);
        break;
    case MODE_SPLASH_MONKEY:
        freePicture(&flowPictures.monkey);
        freePicture(&flowPictures.monkeyMouth);
        freePicture(&flowPictures.blackScreen);
        // A looping voice needs its loop end, or it would repeat its first sample for ever.
        setLoopEnd(SOUND_MUSIC_A);
        startVoice(SOUND_MUSIC_A, 1);
        break;
    default:
        break;
    }
}

int32_t updateSplash(int32_t mode) {
    int logo = mode == MODE_SPLASH_LOGO;
    int32_t* counter = logo ? &flow.logoCounter : &flow.splashCounter;
    int64_t* start = logo ? &flow.logoStart : &flow.splashStart;
    if (*counter == 0) {
        *start = platformCounter();
    }
    int64_t now = platformCounter();
    if (*counter == SPLASH_LOAD_AT) {
        if (mode == MODE_SPLASH_INTRO) {
            loadIntroBatch();
        } else if (mode == MODE_SPLASH_MONKEY) {
            playSound(SOUND_MONKEY_JINGLE);
        }
    }
    if (*counter < SPLASH_HOLD_FROM) {
        *counter += SPLASH_STEP;
    } else if ((mainLoop.ticksPerSecond > 0 && (now - *start) / mainLoop.ticksPerSecond > HOLD_SECONDS) ||
               stylus.down) {
        *counter += SPLASH_STEP;
    }
    if (logo && *counter == SPLASH_LOAD_AT) {
        loadLogoBatch();
    }
    if (*counter > SPLASH_END_AFTER) {
        switch (mode) {
        case MODE_SPLASH_LOGO:
            return MODE_SPLASH_INTRO;
        case MODE_SPLASH_INTRO:
            return MODE_SPLASH_MONKEY;
        default:
            requestMusic(0);
            return MODE_MAIN_MENU;
        }
    }
    return mode;
}
