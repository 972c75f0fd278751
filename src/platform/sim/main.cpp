// The `velmox` program: Velmox on the simulated desktop. (The desktop script runner lands with
// the simulated desktop; until then the program only names itself.)
#include <cstdio>

int main() {
  std::puts("velmox: simulated desktop not yet available");
  return 2;
}
