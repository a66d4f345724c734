// Small helpers on code-page-932 byte strings.
#include "text/Text.h"

#include <windows.h>

bool TextEquals(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, 0, a.data(), (int)a.size(),
                          b.data(), (int)b.size()) == CSTR_EQUAL;
}

std::string RightText(const std::string& text, size_t n)
{
    if (text.size() <= n)
        return text;
    return text.substr(text.size() - n);
}

std::string RepeatText(size_t n, const std::string& text)
{
    std::string result;
    result.reserve(n * text.size());
    for (size_t i = 0; i < n; ++i)
        result += text;
    return result;
}

std::string LastCharText(const std::string& text)
{
    size_t last = 0;
    for (size_t i = 0; i < text.size(); ) {
        last = i;
        bool lead = IsDBCSLeadByte((BYTE)text[i]) && i + 1 < text.size();
        i += lead ? 2 : 1;
    }
    return text.substr(last);
}

std::string TextUpToNul(const char* buffer, size_t size)
{
    size_t n = 0;
    while (n < size && buffer[n] != '\0')
        ++n;
    return std::string(buffer, n);
}
