# Sourced by the scripts that run sanitized programs: Qt's and the system
# libraries' own leaks are not ours (fuzz/lsan.supp), and undefined behaviour
# is reported with where it happened.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1"
