// Code page 932 text as UTF-8, for what tests and tools print on the Linux side.
#pragma once
#include <string>

std::string Utf8FromCp932(const std::string& cp932);
