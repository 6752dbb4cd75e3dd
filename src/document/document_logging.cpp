#include "document/document_logging.h"

Q_LOGGING_CATEGORY(lcInflate, "neridal.document.inflate", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLenient, "neridal.document.lenient", QtWarningMsg)
