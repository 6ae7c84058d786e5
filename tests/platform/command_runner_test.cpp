#include "platform/command_runner.h"

#include <gtest/gtest.h>
