#include "platform/files.hpp"

#include <fstream>
#include <system_error>

namespace orva {

std::filesystem::path prot_file(const Platform& p, std::string_view name) {
  return p.data_folder() / "PROT" / std::string(name);
}

bool AppendFile::open(const std::filesystem::path& path) {
  close();
  file_ = std::fopen(path.c_str(), "a");
  return file_ != nullptr;
}

void AppendFile::write_record(std::string_view line) {
  if (!file_) return;
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void AppendFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

std::optional<std::vector<std::string>> file_read_lines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool file_replace(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::filesystem::path tmp = path;
  tmp += ".new";
  {
    std::FILE* f = std::fopen(tmp.c_str(), "w");
    if (!f) return false;
    bool ok = true;
    for (const std::string& line : lines) {
      ok = ok && std::fwrite(line.data(), 1, line.size(), f) == line.size();
      ok = ok && std::fputc('\n', f) != EOF;
    }
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
      std::error_code ec;
      std::filesystem::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    return false;
  }
  return true;
}

}  // namespace orva
