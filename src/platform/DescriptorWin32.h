// DescriptorWin32.h -- the C runtime's descriptors over the system's file handles, for the
// Windows implementations of the seam's file calls.
#pragma once

// Handles are the system's HANDLE, which is void*: the seam's headers stay free of Windows'.
namespace wordlark::platform {

// The C runtime's descriptor for a new handle (made without inheritance), binary: no line end
// is ever translated, so the files are byte for byte those of every other system. The handle
// is the descriptor's from then on, closed with it, or closed here when none can be made.
// -1, errno set, for an invalid handle or when no descriptor can be made.
int descriptorOf(void* handle, int flags);

// The handle under a descriptor; INVALID_HANDLE_VALUE (errno EBADF) for none.
void* handleOf(int fd);

}  // namespace wordlark::platform
