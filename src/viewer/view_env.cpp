#include "viewer/view_env.h"

ViewEnv& ViewEnvironment() {
    static ViewEnv env;
    return env;
}
