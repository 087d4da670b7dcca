// The fault helpers live with the rest of the shared test pieces.
#pragma once
#include "platform_test_support.h"
