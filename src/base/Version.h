#pragma once

namespace zelvo {

// The program's version, from the project's version in CMake: the one place the about box,
// --version, the data directory's version mark and the package take it from. Defined in a
// source file generated at configure time.
extern const char* const kProgramVersion;

}  // namespace zelvo
