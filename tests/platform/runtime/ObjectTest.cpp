#include "platform/runtime/Object.h"

#include <gtest/gtest.h>

namespace {

class Base : public rt::Object {
public:
    OLM_DECLARE_CLASS(Base)
    static std::shared_ptr<Base> make(int v) { return rt::create<Base>(v); }
    int value = 0;
    int hookValue = 0;

protected:
    friend struct rt::Access;
    Base() = default;
    void init(int v) {
        value = v;
        hookValue = hook(); // reaches the subclass: the object is fully constructed
    }
    virtual int hook() const { return 1; }
};
OLM_DEFINE_CLASS(Base, rt::Object)

class Derived : public Base {
public:
    OLM_DECLARE_CLASS(Derived)
    static std::shared_ptr<Derived> make(int v) { return rt::create<Derived>(v); }

protected:
    friend struct rt::Access;
    Derived() = default;
    int hook() const override { return 2; }
};
OLM_DEFINE_CLASS(Derived, Base)

} // namespace

TEST(Object, InitialiserRunsAfterConstructionAndReachesSubclassHooks) {
    auto d = Derived::make(7);
    EXPECT_EQ(d->value, 7);
    EXPECT_EQ(d->hookValue, 2);
    EXPECT_EQ(rt::sharedFrom(d.get()), d);
}

TEST(Object, ClassDescriptorsFollowTheSuperclassChain) {
    auto d = Derived::make(1);
    EXPECT_EQ(d->objectClass().name(), "Derived");
    EXPECT_TRUE(d->isKindOf(Base::staticClass()));
    EXPECT_TRUE(d->isKindOf(rt::Object::staticClass()));
    EXPECT_FALSE(d->isMemberOf(Base::staticClass()));
    EXPECT_FALSE(Base::staticClass().isSubclassOf(Derived::staticClass()));
}

TEST(Object, FactoriesAreKeyedBySignature) {
    rt::Class cls("Table", nullptr);
    cls.setFactory<std::shared_ptr<Base>(int)>([](int v) { return std::static_pointer_cast<Base>(Derived::make(v)); });
    EXPECT_TRUE(cls.hasFactory<std::shared_ptr<Base>(int)>());
    auto made = cls.make<std::shared_ptr<Base>(int)>(5);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 5);
    // No factory of that signature: an empty result, not a crash.
    EXPECT_EQ((cls.make<std::shared_ptr<Base>()>()), nullptr);
}
