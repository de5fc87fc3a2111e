// Preloaded into the converter by bench/durability: fdatasync and fsync
// return at once, so that a run's cost without its flushes can be set
// against the same run with them.

extern "C" int fdatasync(int) { return 0; }
extern "C" int fsync(int) { return 0; }
