#include "scripts/logging.h"

Q_LOGGING_CATEGORY(lcScripts, "tallowpen.scripts")
