#pragma once

// The stack of current graphics contexts (per thread). Views draw into whatever context is
// current; snapshots open an image context, draw, take the image and close it.
//
//   gfx::beginImageContext(size, opaque, scale);   // scale 0 = the screen's
//   if (gfx::GraphicsContext* c = gfx::currentContext()) { ...draw... }
//   gfx::ImageRef image = gfx::imageFromCurrentImageContext();
//   gfx::endImageContext();
//
// or, when nothing is drawn after the image is taken, without copying its pixels:
//
//   gfx::ImageRef image = gfx::endImageContextWithImage();
//
// An image context has its origin at the top left, y down, and a CTM scaled by its scale,
// so drawing is in points. An opaque one starts black, a transparent one clear. When the
// size in pixels is zero or less (or not finite, or too large to allocate) no drawable
// context is pushed: `currentContext()` is null and the image is null until the matching
// `endImageContext()`, which still balances the begin.

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

namespace gfx {

void beginImageContext(Size size, bool opaque, double scale);
// The top of the stack: an image context, a pushed context, or null.
GraphicsContext* currentContext();
// A copy of the pixels drawn so far into the current image context; null when the top of
// the stack is not a drawable image context.
ImageRef imageFromCurrentImageContext();
// Pops the top of the stack when it is an image context (otherwise does nothing).
void endImageContext();
// Pops the top of the stack when it is an image context and answers the image drawn into
// it, its pixels handed over rather than copied; null when the top is not an image context
// or had nothing to draw into.
ImageRef endImageContextWithImage();

// Makes `context` (owned by the caller, may be null) current until the matching popContext.
void pushContext(GraphicsContext* context);
// Pops the top of the stack when it was pushed by pushContext (otherwise does nothing).
void popContext();

// Depth of the stack, for checks that pushes and pops balance.
std::size_t contextStackDepth();

} // namespace gfx
