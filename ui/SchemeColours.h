#pragma once
// The program-wide colours of the current colour scheme, with which every
// window paints itself when it draws. They are four pixels of the player skin
// picture "MPLAYER"; until the colour-scheme work recolours that picture they
// are sampled from the picture as compiled in, or taken from a fixed table
// when it is missing.
#include "platform/ColorRef.h"

#include <QImage>

#include <optional>

extern COLORREF gSchemeColour1;  // panel backgrounds, message-box face (left)
extern COLORREF gSchemeColour2;  // grid backgrounds, secondary captions, message-box face (right)
extern COLORREF gSchemeColour3;  // frames, accents
extern COLORREF gSchemeColour4;  // label text, title bands, progress captions

struct SchemeColours {
  COLORREF colour1;  // panel back colour, at (8, 5)
  COLORREF colour2;  // grid back colour, at (50, 50)
  COLORREF colour3;  // frames, at (75, 255)
  COLORREF colour4;  // label text, at (174, 313)
};

// The four samples; none when the picture is too small to hold them.
std::optional<SchemeColours> SampleSchemeColours(const QImage& skin);
// The colours used while the skin picture is missing.
SchemeColours DefaultSchemeColours();
// Sets gSchemeColour1 to gSchemeColour4 from the picture "MPLAYER" of type
// "CUSTOM", or from the fixed table when that is missing or unreadable; true
// when they come from the picture.
bool LoadSchemeColours();
