// Script constants of the display library: states, modes, orientations and attributes.
// Scripts see each one as a global under its upper-case name.
#pragma once

#include "tzx/types.h"

namespace tzx::display {

// Object type numbers of displays and double buffers, and box collision.
inline constexpr int kDisplay = kTypeDisplay;
inline constexpr int kDoublebuffer = 38;
inline constexpr int kBox = 14;

// Snapshot sources.
inline constexpr int kSnapwindow = 0;
inline constexpr int kSnapdisplay = 1;
inline constexpr int kSnapdesktop = 2;

// Display states.
inline constexpr int kDispstateOpen = 1;
inline constexpr int kDispstateClosed = 0;
inline constexpr int kDispstateMinimized = 2;

// Display modes.
inline constexpr int kDispmodeFullscreen = 2;
inline constexpr int kDispmodeFullscreenscale = 7;
inline constexpr int kDispmodeWindowed = 1;
inline constexpr int kDispmodeAsk = 3;
inline constexpr int kDispmodeAskauto = 12;
inline constexpr int kDispmodeAsklayers = 13;
inline constexpr int kDispmodeModerequester = 4;
inline constexpr int kDispmodeFakefullscreen = 6;
inline constexpr int kDispmodeSystemscale = 8;
inline constexpr int kDispmodeModeswitch = 9;

// Scale engines.
inline constexpr int kScalemodeNone = 0;
inline constexpr int kScalemodeAuto = 1;
inline constexpr int kScalemodeLayer = 2;

// Window position that stays where it is.
inline constexpr int kKeepposition = 100000;

// Screen orientations.
inline constexpr int kOrientationNone = 0;
inline constexpr int kOrientationPortrait = 1;
inline constexpr int kOrientationLandscape = 3;
inline constexpr int kOrientationPortraitrev = 2;
inline constexpr int kOrientationLandscaperev = 4;

// Screen densities.
inline constexpr int kDensityNone = 0;
inline constexpr int kDensityLow = 1;
inline constexpr int kDensityMedium = 2;
inline constexpr int kDensityHigh = 3;

// Immersive modes (stored; no effect on this platform).
inline constexpr int kImmersiveNone = 0;
inline constexpr int kImmersiveNormal = 1;
inline constexpr int kImmersiveLeanback = 2;
inline constexpr int kImmersiveSticky = 3;

// Display attributes.
inline constexpr int kAttrwidth = 0;
inline constexpr int kAttrheight = 1;
inline constexpr int kAttrmaxwidth = 2;
inline constexpr int kAttrmaxheight = 3;
inline constexpr int kAttrbgpic = 4;
inline constexpr int kAttrlayers = 6;
inline constexpr int kAttrxpos = 7;
inline constexpr int kAttrypos = 8;
inline constexpr int kAttrcursorx = 21;
inline constexpr int kAttrcursory = 22;
inline constexpr int kAttrborderleft = 24;
inline constexpr int kAttrbordertop = 25;
inline constexpr int kAttrborderright = 26;
inline constexpr int kAttrborderbottom = 27;
inline constexpr int kAttrhostwidth = 28;
inline constexpr int kAttrhostheight = 29;
inline constexpr int kAttrfontascender = 30;
inline constexpr int kAttrfontdescender = 31;
inline constexpr int kAttrfontname = 32;
inline constexpr int kAttrfontsize = 33;
inline constexpr int kAttrfontscalable = 34;
inline constexpr int kAttrfontaa = 35;
inline constexpr int kAttrpointer = 38;
inline constexpr int kAttrstate = 40;
inline constexpr int kAttractive = 41;
inline constexpr int kAttrmode = 42;
inline constexpr int kAttrscalemode = 43;
inline constexpr int kAttrscalewidth = 44;
inline constexpr int kAttrscaleheight = 45;
inline constexpr int kAttrborderless = 46;
inline constexpr int kAttrfixed = 47;
inline constexpr int kAttrsizeable = 48;
inline constexpr int kAttrnohide = 49;
inline constexpr int kAttrnomodeswitch = 50;
inline constexpr int kAttrtitle = 51;
inline constexpr int kAttrmarginleft = 52;
inline constexpr int kAttrmarginright = 53;
inline constexpr int kAttroutputdevice = 54;
inline constexpr int kAttrdoublebuffer = 55;
inline constexpr int kAttrhostdepth = 56;
inline constexpr int kAttrnoclose = 61;
inline constexpr int kAttrmaskmode = 63;
inline constexpr int kAttralphaintensity = 64;
inline constexpr int kAttrrawwidth = 67;
inline constexpr int kAttrrawheight = 68;
inline constexpr int kAttrlayerson = 69;
inline constexpr int kAttrorientation = 70;
inline constexpr int kAttrkeyboard = 71;
inline constexpr int kAttrpubscreen = 76;
inline constexpr int kAttrdensity = 77;
inline constexpr int kAttrxdpi = 78;
inline constexpr int kAttrydpi = 79;
inline constexpr int kAttrmonitor = 86;
inline constexpr int kAttradapter = 87;
inline constexpr int kAttrmenu = 88;
inline constexpr int kAttrhostmonitors = 89;
inline constexpr int kAttrxserver = 90;
inline constexpr int kAttrmaximized = 92;
inline constexpr int kAttrhosttitlebarheight = 93;
inline constexpr int kAttrhosttaskbar = 94;
inline constexpr int kAttrsprites = 95;
inline constexpr int kAttrhostscalex = 96;
inline constexpr int kAttrhostscaley = 97;
inline constexpr int kAttrhostscale = 100;
inline constexpr int kAttrimmersivemode = 101;
inline constexpr int kAttrsystembars = 102;
inline constexpr int kAttrdepth = 103;
inline constexpr int kAttrpalette = 104;
inline constexpr int kAttrtransparentpen = 105;
inline constexpr int kAttrcycle = 106;
inline constexpr int kAttrpen = 107;
inline constexpr int kAttrpalettemode = 108;
inline constexpr int kAttrdithermode = 109;
inline constexpr int kAttrshadowpen = 111;
inline constexpr int kAttrborderpen = 112;
inline constexpr int kAttrfontdepth = 113;
inline constexpr int kAttrfontpalette = 114;
inline constexpr int kAttrfonttransparentpen = 115;
inline constexpr int kAttrfonttype = 116;
inline constexpr int kAttrfontengine = 117;
inline constexpr int kAttrfontcharmap = 118;
inline constexpr int kAttrbulletpen = 119;
inline constexpr int kAttrinterpolate = 120;
inline constexpr int kAttrscaleswitch = 121;
inline constexpr int kAttrfontloader = 124;
inline constexpr int kAttrfontheight = 125;
inline constexpr int kAttrfontformat = 128;

}  // namespace tzx::display
