// The test helper's two platform steps, one twin per platform.
#pragma once

// Starts a copy of the helper (self) that sleeps ms milliseconds, inheriting
// our standard streams; not waited for.
void spawnSleeper(const char* self, const char* ms);
// Puts the index-th argument, read in UTF-16 from the command line, on the
// clipboard (Windows; nothing elsewhere).
void putOnClipboard(int index);
