#include "player/clsRWPlayer.h"

std::unique_ptr<clsRWPlayer> gPlayer;
