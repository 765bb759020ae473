#include "sim/harness/program.hpp"

#include "tests/sample/sample_app.h"

namespace velorin::sim {

Program defaultProgram()
{
    return Program{"sample", &sample::sampleMain, sample::sampleResources(), L"Sample"};
}

}  // namespace velorin::sim
