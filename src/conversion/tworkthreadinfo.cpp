#include "tworkthreadinfo.h"

// The record is plain data; this unit gives the library its first object file and keeps the class
// in a file of its own name.
