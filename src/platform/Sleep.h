#pragma once

// Blocks the calling thread for the given milliseconds.
void Sleep(unsigned milliseconds);
