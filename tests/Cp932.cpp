// Code page 932 text as UTF-8, for what tests and tools print on the Linux side.
#include "tests/Cp932.h"

#include <windows.h>

std::string Utf8FromCp932(const std::string& cp932)
{
    int wide = MultiByteToWideChar(932, 0, cp932.data(), (int)cp932.size(), nullptr, 0);
    std::wstring text((size_t)wide, L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), (int)cp932.size(), &text[0], wide);
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &utf8[0], n, nullptr, nullptr);
    return utf8;
}
