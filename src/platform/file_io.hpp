// The few steps on open files that the protocol append and the whole-file
// writes share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/file.h>

namespace orva {

// The text of a system error number, as the diver is told it.
std::string os_reason(int error);

// Writes the whole buffer; false (with errno set) when that was not possible.
// `written` counts the bytes that reached the file. Makes only the calls a
// signal handler may make.
bool write_all(int fd, std::string_view data, std::size_t* written = nullptr);

// Takes a file's lock at once, without waiting: true when it is held now;
// otherwise errno tells whether another process holds it (EWOULDBLOCK).
bool lock_at_once(int fd, int how = LOCK_EX);

}  // namespace orva
