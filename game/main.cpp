// The program: one complete game of the engine against itself.
#include "game/console.h"
#include "game/driver.h"

int main() {
  ConsoleOpen();
  RunGame();
}
