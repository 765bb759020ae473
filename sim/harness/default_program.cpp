#include "sim/harness/program.hpp"

#include "app/charge_screen_app.h"
#include "app/process_globals.h"
#include "res/velorin_resources.hpp"

namespace velorin::sim {

Program defaultProgram()
{
    return Program{"velorin", &VelorinMain, res::resourceModule(), L"Velorin", &ResetProcessGlobals};
}

}  // namespace velorin::sim
