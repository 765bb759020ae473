// The sample as a program for the simulator's harness.
#pragma once

#include "sim/harness/program.hpp"
#include "tests/sample/sample_app.h"

namespace velorin::test {

inline sim::Program sampleProgram()
{
    return sim::Program{"sample", &sample::sampleMain, sample::sampleResources(), L"Sample", {}};
}

}  // namespace velorin::test
