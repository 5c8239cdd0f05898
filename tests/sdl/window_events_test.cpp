// Window events on the SDL backend: leaving the window and coming back reach the game as messages.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "platform/platform.h"

TEST(SdlWindowEvents, LeavingAndComingBackBecomeActivateMessages) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    static const struct {
        Uint8 event;
        std::vector<std::pair<int32_t, uint32_t>> sent;
    } cases[] = {
        {SDL_WINDOWEVENT_FOCUS_LOST, {{MSG_ACTIVATEAPP, 0}}},
        {SDL_WINDOWEVENT_MINIMIZED, {{MSG_ACTIVATEAPP, 0}}},
        {SDL_WINDOWEVENT_FOCUS_GAINED, {{MSG_ACTIVATEAPP, 1}}},
        {SDL_WINDOWEVENT_MOVED, {}},
    };
    for (const auto& c : cases) {
        SDL_Event e = {};
        e.type = SDL_WINDOWEVENT;
        e.window.event = c.event;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        std::vector<std::pair<int32_t, uint32_t>> sent;
        PlatformMessage msg;
        while (platformPeekMessage(&msg)) {
            sent.push_back({msg.message, msg.wParam});
        }
        EXPECT_EQ(sent, c.sent) << (int)c.event;
    }
}
