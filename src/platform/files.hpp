// Text files of the data folder's PROT folder: the protocol file, the state
// files and the coefficient files.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.hpp"

namespace orva {

// The folder "C:\ORVA\PROT\" of the system, followed by a file name.
std::filesystem::path prot_file(const Platform& p, std::string_view name);

// A file opened for appending; every record is flushed as it is written, so
// nothing written is lost when the program is killed.
class AppendFile {
 public:
  // Opens (creating when missing); false when the file cannot be opened.
  bool open(const std::filesystem::path& path);
  bool is_open() const { return file_ != nullptr; }
  void write_record(std::string_view line);
  void close();
  ~AppendFile() { close(); }

 private:
  std::FILE* file_ = nullptr;
};

// Every line of a text file (a trailing CR removed), or nothing when it cannot
// be opened.
std::optional<std::vector<std::string>> file_read_lines(const std::filesystem::path& path);

// Writes the lines to a new file beside the old one and renames it into place,
// so that a failed write never leaves a half-written file where a good one
// was. False when the file could not be written.
bool file_replace(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace orva
