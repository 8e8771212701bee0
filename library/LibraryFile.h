#pragma once
// Facts of the library file format that the program checks and stamps.

// The program's version, written into VersionData each time a library opens;
// a library stamped by a later version is refused.
inline constexpr int kProgramMajor = 1;
inline constexpr int kProgramMinor = 6;
inline constexpr int kProgramRevision = 5;
inline constexpr const char* kProgramReleaseStatus = "Final";
