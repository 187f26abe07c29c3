#pragma once
// Helper threads weigh less than the window's thread: on a machine busy with other jobs, the window still
// gets a processor as soon as it has events, while the helpers take what is left.

// Lowers the priority of the calling thread alone.
void lowerThisThreadPriority();
