// The log stream and the exit through which the program ends.
#include "vondLog.h"

#include <cstdlib>

std::ofstream vondError;

void vondExit(int status) {
    std::exit(status);
}
