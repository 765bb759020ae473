#include "sim/harness/program.hpp"

#include "tests/sample/sample_program.hpp"

namespace velorin::sim {

Program defaultProgram()
{
    return Program{"sample", &sample::sampleMain};
}

}  // namespace velorin::sim
