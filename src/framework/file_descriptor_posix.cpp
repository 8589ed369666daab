#include "framework/file_descriptor.h"

#include <unistd.h>

void CFileDescriptor::Reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);  // nothing useful can be done about a failing close
    m_fd = fd;
}
