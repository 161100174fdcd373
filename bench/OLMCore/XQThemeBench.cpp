#include "OLMCore/XQTheme.h"
#include "platform/runtime/KeyValue.h"

#include <benchmark/benchmark.h>

#include <optional>

namespace {

class BenchStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(BenchStyle)
    static std::shared_ptr<BenchStyle> make() { return rt::create<BenchStyle>(); }
    static void registerKeys(rt::Keys<BenchStyle>& keys) {
        keys.add("textColor", &BenchStyle::setTextColor)
            .add("backgroundColor", &BenchStyle::setBackgroundColor)
            .add("width", &BenchStyle::setWidth);
    }
    void setTextColor(std::optional<gfx::Color> c) {
        if (canSetValue(0x2, _textColor)) _textColor = c;
    }
    void setBackgroundColor(std::optional<gfx::Color> c) {
        if (canSetValue(0x4, _backgroundColor)) _backgroundColor = c;
    }
    void setWidth(double w) {
        if (canSetValue(0x80, _width)) _width = w;
    }

protected:
    friend struct rt::Access;
    BenchStyle() = default;

private:
    std::optional<gfx::Color> _textColor, _backgroundColor;
    double _width = 0;
};
OLM_DEFINE_CLASS(BenchStyle, XQStyleNode)

class BenchCell : public rt::Object {
public:
    OLM_DECLARE_CLASS(BenchCell)
};
OLM_DEFINE_CLASS(BenchCell, rt::Object)

class BenchOtherCell : public rt::Object {
public:
    OLM_DECLARE_CLASS(BenchOtherCell)
};
OLM_DEFINE_CLASS(BenchOtherCell, rt::Object)

// The shape of the default theme's month view: nine day-cell groups among others, about
// twenty values; one day cell restyled (with a delegate's theme block) per iteration.
void BM_RestyleDayCell(benchmark::State& state) {
    auto theme = XQTheme::make();
    const auto c = gfx::Color::rgb8(3, 3, 3);
    const auto& cell = BenchCell::staticClass();
    theme->addStyleGroupWithClass(cell, {{"textColor", c}, {"backgroundColor", c}, {"width", 1}});
    for (long s : {4L, 6L, 1L, 128L, 32L, 64L, 16L, 17L, 256L})
        theme->addStyleGroupWithClassState(cell, s, {{"textColor", c}, {"width", 2}});
    for (int i = 0; i < 3; ++i)
        theme->addStyleGroupWithClass(BenchOtherCell::staticClass(), {{"textColor", c}});
    auto style = BenchStyle::make();
    long i = 0;
    for (auto _ : state) {
        style->styleID()->setState((i++ % 2) != 0 ? 21 : 6);
        theme->stylesForClass(cell)->applyStylesToNode(style);
        style->beginThemeBlock();
        style->setBackgroundColor(c);
        style->endThemeBlock();
    }
}
BENCHMARK(BM_RestyleDayCell);

} // namespace
