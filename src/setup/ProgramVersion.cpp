#include "ProgramVersion.h"

namespace talvern::setup {

int ProgramMajor() {
    return TALVERN_VERSION_MAJOR;
}
int ProgramMinor() {
    return TALVERN_VERSION_MINOR;
}
int ProgramRevision() {
    return TALVERN_VERSION_PATCH;
}

} // namespace talvern::setup
