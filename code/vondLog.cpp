// The log stream and the exit through which the program ends.
#include "vondLog.h"

#include <cstdlib>

std::ofstream vondError;

#ifdef VOND_FUZZING
int vondExitStatus = -1;

void vondExit(int status) {
    vondExitStatus = status;
    throw vondExitRequest{status};
}
#else
void vondExit(int status) {
    std::exit(status);
}
#endif
