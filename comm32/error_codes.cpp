#include "comm32/error_codes.h"

#include "comm32/serial_types.h"

#include <cerrno>

namespace ob {

int32_t ErrorCodeFromErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EBUSY:
    case EPERM:
    case EISDIR:
    case EWOULDBLOCK: // the lock of a port in use
        return ERROR_ACCESS_DENIED;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTTY: // not a terminal device
        return ERROR_INVALID_FUNCTION;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EIO:
        return ERROR_IO_DEVICE;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace ob
