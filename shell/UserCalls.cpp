// The user32 calls that Windows NT 3.51 lacks, looked up at run time.
#include "shell/UserCalls.h"

static UserCalls RealUserCalls()
{
    HMODULE user = GetModuleHandleA("user32.dll");
    UserCalls calls = {
        (InsertMenuItemSig)(void*)GetProcAddress(user, "InsertMenuItemA"),
        (RegisterClassExSig)(void*)GetProcAddress(user, "RegisterClassExA"),
        (LoadImageSig)(void*)GetProcAddress(user, "LoadImageA"),
    };
    return calls;
}

UserCalls User = RealUserCalls();

bool RegisterWindowClass(const WNDCLASSEXA& windowClass)
{
    if (User.registerClassEx && User.registerClassEx(&windowClass))
        return true;
    WNDCLASSA old = {};
    old.style = windowClass.style;
    old.lpfnWndProc = windowClass.lpfnWndProc;
    old.cbClsExtra = windowClass.cbClsExtra;
    old.cbWndExtra = windowClass.cbWndExtra;
    old.hInstance = windowClass.hInstance;
    old.hIcon = windowClass.hIcon;
    old.hCursor = windowClass.hCursor;
    old.hbrBackground = windowClass.hbrBackground;
    old.lpszMenuName = windowClass.lpszMenuName;
    old.lpszClassName = windowClass.lpszClassName;
    return RegisterClassA(&old) != 0;
}
