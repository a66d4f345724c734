// Small helpers on code-page-932 byte strings.
#pragma once
#include <cstddef>
#include <string>

// Whole-text, case-sensitive equality as CompareStringA sees it in the system locale.
bool TextEquals(const std::string& a, const std::string& b);

// The last n bytes of text, or all of it when it is not longer than n.
std::string RightText(const std::string& text, size_t n);

std::string RepeatText(size_t n, const std::string& text);

// The last character of text (one or two bytes), stepping from the start so that a
// trail byte is never taken for a character of its own.
std::string LastCharText(const std::string& text);

// The bytes of buffer up to its first NUL, never reading past size.
std::string TextUpToNul(const char* buffer, size_t size);
