#include "platform/ui/BarButtonItem.h"

namespace ui {

OLM_DEFINE_CLASS(BarButtonItem, rt::Object)

} // namespace ui
