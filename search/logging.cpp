#include "search/logging.h"

Q_LOGGING_CATEGORY(lcSearch, "tallowpen.search")
