#pragma once
// Form geometry is kept in twips (1/1440 inch); drawing is in pixels. One
// conversion each way, rounded half to even.

// Twips per pixel of the primary screen: 1440 / logical DPI (15 at 96 DPI).
// Without a screen (no application yet) the 96 DPI value.
double TwipsPerPixelX();
double TwipsPerPixelY();

int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);
