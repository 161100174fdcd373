#pragma once

// Class tables (presenters by view mode, transitions by mode) hold class descriptors whose
// factory makes an instance with a frame. `classWithFactory<Base, T>()` gives T's descriptor
// with that factory installed, so an entry is one line:
//
//     table[XQCalendarViewModeMonth] = &classWithFactory<XQCalendarPresenter, XQCalendarMonthPresenter>();
//
// Base names the table's type and its `Factory` signature; T needs `T::make(frame)`.

#include "platform/graphics/Geometry.h"
#include "platform/runtime/Class.h"

#include <memory>

template <class Base, class T> const rt::Class& classWithFactory() {
    // Descriptors are defined as mutable statics (OLM_DEFINE_CLASS) and handed out read-only;
    // installing a factory is the one change made to them, on the main thread, before use.
    auto& cls = const_cast<rt::Class&>(T::staticClass());
    cls.template setFactory<typename Base::Factory>(
        [](const gfx::Rect& frame) -> std::shared_ptr<Base> { return T::make(frame); });
    return cls;
}
