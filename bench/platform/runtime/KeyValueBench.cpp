// What a theme costs per restyle: about twenty keys set on every cell's style.

#include "platform/runtime/KeyValue.h"

#include <benchmark/benchmark.h>

#include <array>
#include <utility>

namespace {

class BenchShape : public rt::Object {
public:
    OLM_DECLARE_CLASS(BenchShape)
    static std::shared_ptr<BenchShape> make() { return rt::create<BenchShape>(); }

protected:
    friend struct rt::Access;
    BenchShape() = default;
};
OLM_DEFINE_CLASS(BenchShape, rt::Object)

class BenchCellStyle : public rt::Object {
public:
    OLM_DECLARE_CLASS(BenchCellStyle)
    static std::shared_ptr<BenchCellStyle> make() { return rt::create<BenchCellStyle>(); }
    static void registerKeys(rt::Keys<BenchCellStyle>& keys);

    void setColor(int i, std::optional<gfx::Color> c) { colors[i] = c; }
    void setWidth(int i, double w) { widths[i] = w; }

    std::array<std::optional<gfx::Color>, 7> colors;
    std::array<double, 4> widths{};
    gfx::EdgeInsets textInsets, eventInsets;
    long textAlignment = 0, eventAlignment = 0;
    bool stretchEvents = false, displayEventsAsText = false;
    double eventSpacing = 0;
    std::shared_ptr<BenchShape> eventShape;

protected:
    friend struct rt::Access;
    BenchCellStyle() = default;
};
OLM_DEFINE_CLASS(BenchCellStyle, rt::Object)

// Per-index setters as lambdas, the rest as fields.
void BenchCellStyle::registerKeys(rt::Keys<BenchCellStyle>& keys) {
    static constexpr const char* colorKeys[] = {"textColor",        "eventTextColor", "leftBorderColor",
                                                "rightBorderColor", "topBorderColor", "bottomBorderColor",
                                                "backgroundColor"};
    static constexpr const char* widthKeys[] = {"leftBorderWidth", "rightBorderWidth", "topBorderWidth",
                                                "bottomBorderWidth"};
    for (int i = 0; i < 7; ++i)
        keys.add(colorKeys[i], [i](BenchCellStyle& s, std::optional<gfx::Color> c) { s.setColor(i, c); });
    for (int i = 0; i < 4; ++i)
        keys.add(widthKeys[i], [i](BenchCellStyle& s, double w) { s.setWidth(i, w); });
    keys.add("textInsets", &BenchCellStyle::textInsets)
        .add("eventInsets", &BenchCellStyle::eventInsets)
        .add("textAlignment", &BenchCellStyle::textAlignment)
        .add("eventAlignment", &BenchCellStyle::eventAlignment)
        .add("stretchEvents", &BenchCellStyle::stretchEvents)
        .add("displayEventsAsText", &BenchCellStyle::displayEventsAsText)
        .add("eventSpacing", &BenchCellStyle::eventSpacing)
        .add("eventShape", &BenchCellStyle::eventShape);
}

void BM_SetTwentyKeys(benchmark::State& state) {
    const gfx::Color grey = gfx::Color::rgb8(207, 207, 207);
    const std::vector<std::pair<std::string, rt::Value>> settings = {
        {"textColor", gfx::Color::rgb8(163, 163, 163)},
        {"eventTextColor", gfx::Color::rgb8(0, 0, 0)},
        {"textAlignment", 6},
        {"leftBorderColor", grey},
        {"rightBorderColor", grey},
        {"topBorderColor", grey},
        {"bottomBorderColor", rt::Value::null()},
        {"leftBorderWidth", 1},
        {"rightBorderWidth", 1},
        {"topBorderWidth", 1},
        {"bottomBorderWidth", 1},
        {"eventAlignment", 9},
        {"backgroundColor", gfx::Color()},
        {"stretchEvents", false},
        {"eventSpacing", 1},
        {"displayEventsAsText", true},
        {"eventInsets", gfx::EdgeInsets{30, 2, 10, 2}},
        {"eventShape", BenchShape::make()},
        {"textInsets", gfx::EdgeInsets{10, 4, 4, 10}},
        {"noSuchKey", 1},
    };
    auto style = BenchCellStyle::make();
    auto previous = rt::setKeyValueReporter(nullptr);
    for (auto _ : state) {
        for (const auto& [key, value] : settings)
            benchmark::DoNotOptimize(rt::setValueForKey(*style, key, value));
    }
    rt::setKeyValueReporter(std::move(previous));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(settings.size()));
}
BENCHMARK(BM_SetTwentyKeys);

} // namespace
