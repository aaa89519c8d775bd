#include "platform/DescriptorWin32.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "platform/ErrnoWin32.h"

namespace wordlark::platform {

int descriptorOf(void* handle, int flags)
{
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoFromLastError();
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

void* handleOf(int fd)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
    }
    return handle;
}

}  // namespace wordlark::platform
