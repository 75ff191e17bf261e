// Counts every heap allocation of the process (malloc, calloc, realloc and
// operator new, the interpreter's and SDL's included), for the frame tests
// and the frame benchmark, which both require frames that allocate nothing.
// Linked into a program, it counts from the program's start.
#pragma once

unsigned long vondAllocationCount();
