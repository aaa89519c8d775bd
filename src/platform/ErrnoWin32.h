// ErrnoWin32.h -- the last Windows error as errno, so that every system reports failures alike.
#pragma once

namespace wordlark::platform {

// Sets errno to the nearest C error number of the calling thread's last Windows error.
void setErrnoFromLastError();

}  // namespace wordlark::platform
