#pragma once
// Moved to search/; this forwarder goes with the next change.
#include "search/FindInDocument.h"
