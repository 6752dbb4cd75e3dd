#include "shell/app_shell.h"

// Start-up, the single-instance hand-over, the main frame and the end of run
// are in RunApplication.
int main(int argc, char** argv) {
    return RunApplication(argc, argv);
}
