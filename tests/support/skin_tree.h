// Test support for skin objects: trees written in the component stream's text form, a host
// window and form component that record what the objects ask of them, and a skin bitmap list
// built from pixel rows.
#pragma once

#include "framework/graphics/bitmap_link.h"
#include "framework/graphics/pixel.h"
#include "framework/graphics/raster_canvas.h"
#include "skin/objects/skin_host.h"
#include "skin/objects/skin_object.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zaprelay::skin::test {

struct SkinObjectDeleter {
    void operator()(TVxSkinObject* object) const { object->Free(); }
};
using OwnedSkinObject = std::unique_ptr<TVxSkinObject, SkinObjectDeleter>;

// Reads a tree from the component stream's text form, where nested "object Name: Class"
// blocks stand for the children (stored skins carry them in the binary "Objects" property);
// every class must be registered. Raises what the reader raises.
OwnedSkinObject TreeFromText(std::string_view text);
// The text form of a tree, as a text record holds it.
std::string TreeToText(TVxSkinObject& object);
// The first descendant (or the object) of that name and type; fails the test when missing.
template <typename T = TVxSkinObject>
T& Find(TVxSkinObject& root, std::string_view name) {
    auto* found = dynamic_cast<T*>(root.FindObject(name));
    if (found == nullptr) {
        throw std::logic_error("no object " + std::string(name) + " of that type");
    }
    return *found;
}

class TFakeFormActions : public TVxSkinFormActions {
public:
    TVxBorderIcons Icons =
        BorderIconSet({kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize, kbiHelp, kbiRollup, kbiTray});
    std::vector<std::string> Calls;  // "Close", "Minimize", ..., "Custom:<name>"

    TVxBorderIcons BorderIcons() const override { return Icons; }
    void Close() override { Calls.emplace_back("Close"); }
    void ContextHelp() override { Calls.emplace_back("ContextHelp"); }
    void Minimize() override { Calls.emplace_back("Minimize"); }
    void Maximize() override { Calls.emplace_back("Maximize"); }
    void Restore() override { Calls.emplace_back("Restore"); }
    void Rollup() override { Calls.emplace_back("Rollup"); }
    void MinToTray() override { Calls.emplace_back("MinToTray"); }
    void ShowSystemMenu() override { Calls.emplace_back("ShowSystemMenu"); }
    void CustomAction(TVxSkinObject& button) override { Calls.push_back("Custom:" + button.Name()); }
};

class TFakeSkinHost : public TVxSkinHost {
public:
    TFakeFormActions* Form = nullptr;  // what VXM_GETSKINFORM answers
    uint8_t Order = 0;
    bool IsForm = false;
    TPoint ClientOrigin{0, 0};         // screen position of the client area
    TColor IconColor = 0x0000FF;       // the icon is drawn as a 16x16 square of this colour
    std::vector<std::string> Changed;  // names of the objects whose repaint was asked
    std::vector<TPoint> Hints;         // screen points of the hints asked for
    int FormRequests = 0;
    int MessageRuns = 0;

    void SkinObjectChanged(TVxSkinObject& object) override { Changed.push_back(object.Name()); }
    TVxSkinFormActions* GetSkinForm() override {
        ++FormRequests;
        return Form;
    }
    uint8_t ReadingOrder() const override { return Order; }
    // A right-to-left control swaps the sides of the shortcut text.
    uint32_t DrawTextBiDiModeFlags(uint32_t flags) const override { return Order == 1 ? flags ^ 0x02 : flags; }
    TPoint ClientToScreen(TPoint point) const override { return {point.X + ClientOrigin.X, point.Y + ClientOrigin.Y}; }
    void ActivateHint(TPoint screenPoint) override { Hints.push_back(screenPoint); }
    bool DrawWindowIcon(TCanvas& canvas, TPoint point) override {
        if (!IsForm) {
            return false;
        }
        canvas.FillRect({point.X, point.Y, point.X + 16, point.Y + 16}, IconColor);
        return true;
    }
    void ProcessMessages() override { ++MessageRuns; }
};

// A small raster target, cleared to a colour no test draws.
class TTestSurface {
public:
    static constexpr TPixel kBackground = 0xFF010203;
    TTestSurface(int32_t width, int32_t height)
        : m_width(width),
          m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kBackground),
          m_canvas(TPixelSurface{m_pixels.data(), width, height}) {}
    TCanvas& Canvas() { return m_canvas; }
    TPixel At(int32_t x, int32_t y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    // How many pixels inside rect have the colour.
    int Count(const TRect& rect, TColor color) const {
        int count = 0;
        for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
            for (int32_t x = rect.Left; x < rect.Right; ++x) {
                count += At(x, y) == ColorToPixel(color) ? 1 : 0;
            }
        }
        return count;
    }

private:
    int32_t m_width;
    std::vector<TPixel> m_pixels;
    TRasterCanvas m_canvas;
};

// A child that notes the State and Active it is drawn with, and fails its Draw on request.
class TProbeObject : public TVxSkinObject {
public:
    using TVxSkinObject::TVxSkinObject;
    bool Throws = false;
    std::vector<std::pair<uint8_t, bool>> Seen;  // State, Active at each Draw

    void Draw(TCanvas& /*canvas*/) override {
        Seen.emplace_back(State, Active);
        if (Throws) {
            throw std::runtime_error("probe draw failed");
        }
    }
};

// A named bitmap of the given size filled with one pixel value, for a bitmap list.
std::unique_ptr<TVxBitmap> SolidBitmap(const std::string& name, int32_t width, int32_t height, TPixel pixel);

}  // namespace zaprelay::skin::test
