#include "options/ColourSchemeModel.h"

COLORREF gSchemeColour1 = 0;
COLORREF gSchemeColour2 = 0;
COLORREF gSchemeColour3 = 0;
COLORREF gSchemeColour4 = 0;
