// Gamepads through SDL's game controller layer, hot-plugged, turned into key messages.
#pragma once

#include <SDL.h>

// Starts SDL's game controller layer; the pads present arrive as device-added events. Returns 1 on success.
int gamepadStart(void);
// Feeds the scripted virtual pad (PLINKOR_VIRTUAL_PAD) the commands that have arrived; once a pass.
void gamepadPoll(void);
// Handles a controller event (device added or removed, button, axis), posting key messages for
// buttons and for the left stick's directions. Returns 1 when the event was a controller's.
int gamepadEvent(const SDL_Event& e);
