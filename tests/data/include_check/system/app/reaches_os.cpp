// A core command that reaches for the OS.
#include <unistd.h>
#include <windows.h>
