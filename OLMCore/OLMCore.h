#pragma once

// Everything the framework builds on from the core: the base view, style nodes and themes,
// date ranges, fills, strokes and shapes, and the arrow images.

#include "OLMCore/ImageEffects.h"
#include "OLMCore/XQDateRange.h"
#include "OLMCore/XQFill.h"
#include "OLMCore/XQShape.h"
#include "OLMCore/XQStyleGroup.h"
#include "OLMCore/XQStyleNode.h"
#include "OLMCore/XQTheme.h"
#include "OLMCore/XQView.h"
