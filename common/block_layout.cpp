// The layouts are checked at compile time in the header; this unit makes
// sure the header compiles on its own.
#include "common/block_layout.h"
