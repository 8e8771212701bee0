#pragma once
// The program-wide colours of the current colour scheme, sampled from the
// recoloured player skin; every window reads them when it paints itself.
#include "platform/ColorRef.h"

extern COLORREF gSchemeColour1;  // panel backgrounds, message-box face (left)
extern COLORREF gSchemeColour2;  // grid backgrounds, secondary captions, message-box face (right)
extern COLORREF gSchemeColour3;  // frames, accents
extern COLORREF gSchemeColour4;  // label text, title bands, progress captions
