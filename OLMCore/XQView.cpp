#include "OLMCore/XQView.h"

OLM_DEFINE_CLASS(XQView, ui::View)
