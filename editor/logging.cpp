#include "editor/logging.h"

Q_LOGGING_CATEGORY(lcEditor, "tallowpen.editor")
