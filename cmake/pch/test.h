// Headers precompiled for the test programs. QtTest stays out: its headers depend on
// macros that differ between the test programs, which would make the header unusable.
#include "widgets.h"

#include <gtest/gtest.h>
