// Files on disk as the tests look at them.
#pragma once
#include <string>
#include <vector>

// The whole content of a file, or "(no file)" when it cannot be read.
std::string ReadAll(const std::string& path);

void WriteAll(const std::string& path, const std::string& bytes);

// The names of the files in a folder, in the order Windows lists them; folders are left out.
std::vector<std::string> FilesIn(const std::string& folder);

// A folder of that name in the temporary folder, emptied of whatever an earlier run left there.
std::string FreshFolder(const std::string& name);
