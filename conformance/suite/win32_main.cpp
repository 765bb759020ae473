// The suite on Windows: a console program, so that its lines go to standard output.
#include "report.hpp"

int main()
{
    return ConformanceMain();
}
