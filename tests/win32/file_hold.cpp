// Another program that holds a file open: the Wine tests' stand-in for an editor or a backup tool
// that opens a file without sharing it.
//   file_hold FILE WHILE   opens FILE with no sharing at all and keeps it open as long as the
//                          file WHILE exists; says "held" once it has FILE
// The exit status is 0 when FILE could be held, 1 when it could not.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: file_hold FILE WHILE\n");
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "file_hold: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  while (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES)
    Sleep(50);
  CloseHandle(file);
  return 0;
}
