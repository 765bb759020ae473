// The process checks' child on Windows: a console program of its own beside conformance.exe.
#include "process_child.hpp"

int main()
{
    return ConformanceChildMain();
}
