#pragma once

// Object classes for the runtime tests: a shape, a subclass of it and an unrelated fill,
// as the themes box them. Each test file that includes this gets its own copy.

#include "platform/runtime/Object.h"

namespace {

class Shape : public rt::Object {
public:
    OLM_DECLARE_CLASS(Shape)
    friend struct rt::Access;
};
OLM_DEFINE_CLASS(Shape, rt::Object)

class RoundShape : public Shape {
public:
    OLM_DECLARE_CLASS(RoundShape)
    friend struct rt::Access;
};
OLM_DEFINE_CLASS(RoundShape, Shape)

class Fill : public rt::Object {
public:
    OLM_DECLARE_CLASS(Fill)
    friend struct rt::Access;
};
OLM_DEFINE_CLASS(Fill, rt::Object)

} // namespace
