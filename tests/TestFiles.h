// Files on disk as the tests look at them.
#pragma once
#include <string>
#include <vector>

// The whole content of a file, or "(no file)" when it cannot be read.
std::string ReadAll(const std::string& path);

// Whether the file now holds exactly bytes.
bool WriteAll(const std::string& path, const std::string& bytes);

// The names of the files in a folder, sorted; folders are left out.
std::vector<std::string> FilesIn(const std::string& folder);

// The folder at path, made with any missing parents, or a folder of that name in Windows'
// temporary folder when path has no drive; emptied of whatever an earlier run left there.
std::string FreshFolder(const std::string& path);
