#pragma once
// The search window as the tests find it: created once, its fields and options back at their defaults.

class TFILESCH;

TFILESCH* searchWindowAtDefaults();
