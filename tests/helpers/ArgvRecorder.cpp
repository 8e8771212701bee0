// A tiny program the launcher tests run as an external application: it writes
// its arguments, each followed by a NUL byte, to the file named by the
// environment variable RW_ARGV_RECORD, so a test can compare them byte for byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const char* out = std::getenv("RW_ARGV_RECORD");
  if (!out) return 2;
  // Written under a second name first, so a reader never sees half a record.
  char part[4096];
  std::snprintf(part, sizeof part, "%s.part", out);
  std::FILE* file = std::fopen(part, "wb");
  if (!file) return 3;
  for (int i = 1; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, file);
  std::fclose(file);
  std::rename(part, out);
  return 0;
}
