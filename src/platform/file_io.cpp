#include "platform/file_io.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orva {

std::string os_reason(int error) { return std::strerror(error); }

bool write_all(int fd, std::string_view data, std::size_t* written) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
    if (written) *written += static_cast<std::size_t>(n);
  }
  return true;
}

bool lock_at_once(int fd, int how) {
  int result;
  do result = ::flock(fd, how | LOCK_NB);
  while (result != 0 && errno == EINTR);
  return result == 0;
}

}  // namespace orva
