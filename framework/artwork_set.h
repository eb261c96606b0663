#pragma once
// The wizard's artwork comes in sets rendered for 100, 125, 150, 175 and 200 %, each the same ids as PNG
// pictures of a resource type of its own ("ART100", "ART125", ...). A scale between two sets takes the
// larger one's pictures scaled down; a scale above the largest set takes that set's pictures scaled up.
// A module without an "ART100" picture of an id serves its bitmap resource of that id at 100 %.
#include <windows.h>

constexpr int ARTWORK_SET_COUNT = 5;

// The scale a set is drawn for, in dots per inch (96, 120, 144, 168, 192), and in percent.
int ArtworkSetDpi(int nSet);
int ArtworkSetPercent(int nSet);
// The set whose pictures a scale shows: its own, else the next larger one (the largest above it).
int ArtworkSetFor(int nDpi);

// Bitmap nId of hModule at a scale: the set's picture drawn 1:1 at its own scale, else scaled to the
// 100 % size times the scale. Null when the module has no such bitmap.
HBITMAP LoadArtworkBitmap(HMODULE hModule, UINT nId, int nDpi);
// A set's own picture as it is stored, unscaled; null without one.
HBITMAP LoadArtworkSetBitmap(HMODULE hModule, UINT nId, int nSet);
