#pragma once
// The wizard's artwork comes in sets rendered for 100, 125, 150, 175 and 200 %. The 100 % set is the
// bitmaps under their ids; every other set holds the same ids as PNG pictures of a resource type of
// its own ("ART150", ...). A scale between two sets takes the larger one's pictures scaled down; a
// scale above the largest set takes that set's pictures scaled up.
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
