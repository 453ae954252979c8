// What a command-line program needs of its platform: its arguments, files
// named by them, and standard streams that carry bytes unchanged. One
// implementation per platform, chosen by the build.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>
#include <vector>

namespace zelkor {

// The command-line arguments after the program's name, as UTF-8. On Windows
// they are read from the wide-character command line, so characters outside
// the system's code page arrive whole; `argc` and `argv` are then unused.
[[nodiscard]] std::vector<std::string> ProgramArguments(int argc, char** argv);

// Opens the file at `utf8_path` for reading bytes, as std::fopen does ("rb");
// null with errno set on failure.
[[nodiscard]] std::FILE* OpenFileForReading(const std::string& utf8_path);

// Makes standard input, output and error carry bytes unchanged, with no line
// end translation either way. Call once, before any of them is used.
void UseBinaryStandardStreams();

// What a program writes to a stream.
enum class StreamText {
  kUtf8,   // UTF-8 text
  kBytes,  // bytes to pass on as they are
};

// Standard output and standard error. A stream that writes UTF-8 text to a
// Windows console goes through the console's wide-character interface, so
// the text reads correctly whatever code page the console is set to; every
// other stream (files, pipes, any Linux terminal) gets the bytes unchanged.
[[nodiscard]] std::ostream& StandardOutput(StreamText text);
[[nodiscard]] std::ostream& StandardError(StreamText text);

}  // namespace zelkor
