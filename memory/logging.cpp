#include "memory/logging.h"

Q_LOGGING_CATEGORY(lcMemory, "tallowpen.memory")
