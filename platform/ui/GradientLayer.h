#pragma once

// A layer that fills its bounds with an axial gradient. `startPoint` and `endPoint` are in
// unit coordinates of the bounds ((0, 0) the top-left corner, (1, 1) the bottom-right); the
// colours are spread over the locations (fractions along the axis, evenly spaced when not
// given or when their count differs from the colours'), and the end colours extend beyond
// both ends. One colour fills the bounds; no colours draw nothing.

#include "platform/ui/Layer.h"

#include <optional>
#include <vector>

namespace ui {

class GradientLayer : public Layer {
public:
    OLM_DECLARE_CLASS(GradientLayer)
    static std::shared_ptr<GradientLayer> make() { return rt::create<GradientLayer>(); }

    const std::vector<gfx::Color>& colors() const { return _colors; }
    void setColors(std::vector<gfx::Color> colors);
    const std::optional<std::vector<double>>& locations() const { return _locations; }
    void setLocations(std::optional<std::vector<double>> locations);
    gfx::Point startPoint() const { return _startPoint; }
    // Non-finite points are ignored.
    void setStartPoint(gfx::Point p);
    gfx::Point endPoint() const { return _endPoint; }
    void setEndPoint(gfx::Point p);

    // Adds "colors", "locations", "startPoint" and "endPoint".
    LayerValue valueForKey(std::string_view key) const override;
    bool setValueForKey(std::string_view key, const LayerValue& value) override;

    // The locations the gradient is drawn with: the given ones, or evenly spaced.
    std::vector<double> effectiveLocations() const;

    void drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const override;
    int ownContentDrawingCount(const LayerState& state) const override {
        return Layer::ownContentDrawingCount(state) + (_colors.empty() ? 0 : 1);
    }

protected:
    GradientLayer() = default;
    friend class rt::Access;

private:
    std::vector<gfx::Color> _colors;
    std::optional<std::vector<double>> _locations;
    gfx::Point _startPoint{0.5, 0};
    gfx::Point _endPoint{0.5, 1};
};

} // namespace ui
