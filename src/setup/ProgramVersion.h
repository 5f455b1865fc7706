#pragma once
// The program's own version numbers, from the build.

namespace talvern::setup {

int ProgramMajor();
int ProgramMinor();
int ProgramRevision();

} // namespace talvern::setup
