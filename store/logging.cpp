#include "store/logging.h"

Q_LOGGING_CATEGORY(lcStore, "tallowpen.store")
