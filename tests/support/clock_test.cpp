#include <gtest/gtest.h>
#include "korvelin.h"
TEST(Clock, Placeholder) {}
