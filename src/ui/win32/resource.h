// Resource ids of plumage.exe, shared by the resource script and the code.
#pragma once

#define IDI_PLUMAGE 1
// The pictures: 32-bit bitmap files (alpha kept), laid over the window's
// face colour when they are drawn.
#define IDR_IMAGE1 101
#define IDR_PICTURE3 102
#define IDR_LOGO 103
