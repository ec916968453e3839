#pragma once

#include "Script.h"

#include <string>
#include <string_view>

namespace framequill {

// Splits a file's content into lines. CR, LF and CR LF each end a line (so LF CR ends two); a terminator
// at the very end starts no further line; a NUL byte ends the text. Nothing is trimmed or decoded.
//   "a\r\nb\nc\rd" -> a, b, c, d     "a\n\rb" -> a, "", b     "a\0b\nc" -> a     "" -> (no lines)
Script SplitScriptText(std::string_view content);

// Every line followed by CR LF; no lines give no bytes.
std::string JoinScriptText(const Script& lines);

// Reads the whole file in one piece. Throws EFOpenError when it cannot be read as a regular file.
Script LoadScriptFile(const std::string& path);

// Puts "{}{}" before every line whose first byte is not "{" (an empty line becomes "{}{}").
void NormaliseScript(Script& lines);

// The path with ".sub" appended, unless its last four bytes are exactly ".sub".
std::string ProposeSaveName(std::string_view loadedPath);

// Writes the lines to a temporary file beside the target, flushes it to disk and renames it over the
// target, so that a failed save never damages an existing file. Throws EFCreateError when the file
// cannot be created there, EWriteError when the bytes cannot all be written.
void SaveScriptFile(const std::string& path, const Script& lines);

} // namespace framequill
