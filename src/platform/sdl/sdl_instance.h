// The single-instance name of the SDL backend: one running copy per user and display.
#pragma once

// Most requests answered in one pass: a flood of connections cannot stall the loop.
enum { INSTANCE_REQUESTS_PER_PASS = 4 };
// How long one request may take to arrive after its connection is accepted, in milliseconds.
enum { INSTANCE_READ_LIMIT_MS = 20 };

// Answers waiting connections of other copies; returns how many asked (in time, from our user) to
// bring the window to the front. Never blocks for longer than the read limit per request.
int serviceInstance(void);
// Gives the name up (the listening socket is closed); for tests and shutdown.
void releaseInstance(void);
