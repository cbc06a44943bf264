#ifndef FOLVANE_FUZZSETUP_H
#define FOLVANE_FUZZSETUP_H

#include <QString>

// Every target gets, before its first input, the application object the
// script engine needs, both message channels silenced, and the default
// document written as seeds into the folder named by FOLVANE_FUZZ_SEEDS,
// when it is set.

// A folder of the process's own for the files a check writes.
QString fuzzFolder();

// Stops the run, so the fuzzer keeps the input, when a check fails.
void fuzzCheck(bool ok, const char* what);

#endif
