// The castling rule.
#include "engine/castling.h"

bool standardRules = false;
