// The user32 calls that Windows NT 3.51 lacks, looked up at run time, and the class
// registration that falls back to the old call.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* InsertMenuItemSig)(HMENU, UINT, BOOL, LPCMENUITEMINFOA);
typedef ATOM(WINAPI* RegisterClassExSig)(const WNDCLASSEXA*);
typedef HANDLE(WINAPI* LoadImageSig)(HINSTANCE, LPCSTR, UINT, int, int, UINT);

// Null where this Windows lacks the entry; each user has the older call that NT 3.51 has.
struct UserCalls {
    InsertMenuItemSig insertMenuItem; // else InsertMenuA
    RegisterClassExSig registerClassEx; // else RegisterClassA, without the small icon
    LoadImageSig loadImage; // else LoadIconA, at the system's icon size
};

extern UserCalls User; // looked up before the program starts; tests may take entries away

// Registers the class with RegisterClassExA, or where that is missing or refuses (as NT 3.51's
// does), with RegisterClassA and no small icon; false when both refuse.
bool RegisterWindowClass(const WNDCLASSEXA& windowClass);
