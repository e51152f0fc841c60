#pragma once

// How the run ended, for the process's exit code.  The product and Tessaro
// learn the outcome from the files; the code is for whoever else starts the
// program (a script, the support desk).
class CRunOutcome {
public:
    // The command failed or stopped on an error it has told the user of.
    static void NoteFailed();
    // A later try in the same dialog did its work after all.
    static void NoteDone();
    // 1 after a failure, else 0 (done, nothing to do, or declined).
    static int ExitCode();
};
