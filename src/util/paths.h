#pragma once

// Path helpers on names as bytes.

#include <optional>
#include <string>

// File-name part of path; destination unchanged when path is null or empty.
void file_name_of(const char* path, std::string& destination);

// Directory part of path, not made absolute ("." for a bare file name);
// destination emptied first, left empty when path is null or empty.
void dir_name_of(const char* path, std::string& destination);

// path made absolute against base; nothing done when either is null.
void absolute_path(const char* base, const char* path, std::string& destination);

// Steps that lead from directory `from` to directory `to`, both absolute
// ("../z/w/"); no result when either is null or not absolute.
std::optional<std::string> relative_path(const char* from, const char* to);

// path made absolute against the working directory, with empty and "."
// steps dropped and ".." taking the step before it, as QDir::cleanPath does,
// but for the root, whose ".." is the root itself; the bytes of the steps
// stay as they are.
std::string clean_absolute_path(const std::string& path);
