#pragma once

// A write past the process's file-size limit (ulimit -f) ends the process by default: SIGXFSZ would kill the
// program in the middle of a backup, without a word. With the signal ignored the write fails with EFBIG and
// the engine reports it as it reports a full disk. Every program's main calls this first; ignoring is
// inherited by the processes it starts.
void ignoreFileSizeSignal();
