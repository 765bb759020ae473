// The child of the crash-safety test: saves the two hives in turn over one file, as the device
// saves its hive, and writes one byte to descriptor 3 after each save, until it is killed.
#include "registry/atomic_file.hpp"
#include "tests/reliability/hive_files.hpp"

#include <cstdio>

#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <hive file>\n", argv[0]);
        return 2;
    }
    const std::string& first = velorin::reliability::newHive();
    const std::string& second = velorin::reliability::oldHive();
    for (unsigned long n = 0;; ++n) {
        velorin::registry::replaceFileAtomically(argv[1], n % 2 == 0 ? first : second);
        const char done = 'x';
        if (::write(3, &done, 1) != 1)
            return 1;
    }
}
