// Process entry: runs the game and returns its exit code.
#include "game/game_main.h"

int main() { return GameMain(); }
