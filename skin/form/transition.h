// The show animation's transition from an old picture to a new one, apart from any window:
// the effect masks, the frame composition and the timed loop that presents the frames.
#pragma once

#include "framework/graphics/vx_bitmap.h"
#include "skin/form/form_options.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace zaprelay::skin {

// How far the new picture shows in each cell: 0 the old picture, 255 the new one, values
// between blend the two. One byte per cell, rows top-down.
class TTransitionMask {
public:
    TTransitionMask() = default;
    TTransitionMask(int32_t width, int32_t height) { SetSize(width, height); }

    // Negative sizes count as zero; every cell becomes 0.
    void SetSize(int32_t width, int32_t height);
    void Clear();
    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    bool Empty() const { return m_cells.empty(); }
    // 0 outside the mask.
    uint8_t At(int32_t x, int32_t y) const;
    // Ignored outside the mask.
    void Set(int32_t x, int32_t y, uint8_t value);
    uint8_t* Row(int32_t y) { return m_cells.data() + static_cast<std::size_t>(y) * m_width; }
    const uint8_t* Row(int32_t y) const { return m_cells.data() + static_cast<std::size_t>(y) * m_width; }
    const std::vector<uint8_t>& Cells() const { return m_cells; }
    std::vector<uint8_t>& Cells() { return m_cells; }

private:
    int32_t m_width = 0;
    int32_t m_height = 0;
    std::vector<uint8_t> m_cells;
};

// A small generator of our own, so no effect touches the C library's random state.
class TMaskRandom {
public:
    explicit TMaskRandom(uint32_t seed = 0) { Seed(seed); }
    void Seed(uint32_t seed);
    uint32_t Next();
    // Uniform in 0..bound-1; 0 for a bound of 0.
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>((uint64_t{Next()} * bound) >> 32); }

private:
    uint32_t m_state = 0;
};

// keRandomSelect becomes one of the 14 real effects, chosen by random(); a value outside the
// enumeration becomes keFade; every other effect stays as it is.
TkeEffect ResolveEffect(TkeEffect effect, const std::function<uint32_t()>& random);

// Fills mask (cleared first) with the effect's cells for percent (clamped to 0..100). Every
// effect covers nothing at 0 and sets every cell to 255 at 100. kePixelLine draws its random
// choice from random, a new one on every call; the others do not use it. keRandomSelect and
// unknown values draw like keFade.
void GenerateMask(TkeEffect effect, int percent, TTransitionMask& mask, TMaskRandom& random);
// The same with a generator of this thread's own for kePixelLine, seeded from the clock.
void GenerateMask(TkeEffect effect, int percent, TTransitionMask& mask);

// Sets the cells of the line from (x0, y0) to (x1, y1), both ends included, stepping in
// integers; the parts outside the mask are left out.
void DrawMaskLine(TTransitionMask& mask, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t value);

struct TTransitionSettings {
    TkeEffect Effect = keFade;
    TVxDirection Direction = kdNone;
    int32_t Resolution = 1;  // pixels per mask cell, kept within 1..TVxAnimation::kMaxResolution
    int32_t TileCount = 1;   // tiles across and down, kept within 1..TVxAnimation::kMaxTileCount
};

// The mask one tile needs for a picture of width x height: W div R div N + 1 cells across and
// H div R div N + 1 down, swapped for the quarter turns (the mask is read transposed then).
void TransitionMaskSize(int32_t width,
                        int32_t height,
                        const TTransitionSettings& settings,
                        int32_t& maskWidth,
                        int32_t& maskHeight);

// One frame: frame takes from's size (when to's differs, frame is a copy of to). Each of the
// N x N tiles (W div N + 1 by H div N + 1 pixels) reads the whole mask, each cell covering
// R x R pixels; pixels past the picture are left out. A pixel is from's where to's is
// TransparentColor or the mask is 0, to's where it is 255, else to's blended over from's with
// the mask value as alpha. A mask smaller than the settings need reads as 0 where it is missing.
void ComposeTransitionFrame(const TVxBitmap& from,
                            const TVxBitmap& to,
                            const TTransitionMask& mask,
                            const TTransitionSettings& settings,
                            TVxBitmap& frame);

// One transition between two pictures of the same size; both must outlive it.
class TTransition {
public:
    // keRandomSelect is resolved here, with a generator seeded from the clock.
    TTransition(const TVxBitmap& from, const TVxBitmap& to, const TTransitionSettings& settings);
    TTransition(const TTransition&) = delete;
    TTransition& operator=(const TTransition&) = delete;

    TkeEffect Effect() const { return m_settings.Effect; }
    const TTransitionSettings& Settings() const { return m_settings; }
    // The composed picture at percent (0..100); valid until the next call.
    const TVxBitmap& Frame(int percent);
    // The mask the last frame was composed from.
    const TTransitionMask& Mask() const { return m_mask; }

private:
    const TVxBitmap& m_from;
    const TVxBitmap& m_to;
    TTransitionSettings m_settings;
    TMaskRandom m_random;
    TTransitionMask m_mask;
    TVxBitmap m_frame;
};

using TPresentFrame = std::function<void(const TVxBitmap& frame)>;
// Milliseconds on a clock that does not go back; only differences are used.
using TElapsedMs = std::function<double()>;

// Presents frames from `from` to `to` for timeMs milliseconds as measured by elapsedMs, the
// percent following the time, then presents `to` itself (the caller draws it leaving out
// TransparentColor pixels). A clock that stands still ends the loop after a bounded number of
// frames. Returns the number of frames presented before `to`.
int RunTransition(const TVxBitmap& from,
                  const TVxBitmap& to,
                  const TTransitionSettings& settings,
                  int32_t timeMs,
                  const TPresentFrame& present,
                  const TElapsedMs& elapsedMs);

}  // namespace zaprelay::skin
